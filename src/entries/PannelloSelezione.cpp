#include "entries/PannelloSelezione.h"

#include "entries/EntriesDialog.h"
#include "entries/RunTime.h"
#include "frame/SharedValues.h"
#include "platform/Guarded.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include <utility>

namespace zar {

namespace {

QComboBox* nuovoBox(QWidget* parent, int indice) {
    auto* c = new QComboBox(parent);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setObjectName(QStringLiteral("Cmb_Field_%1").arg(indice));
    return c;
}

} // namespace

PannelloSelezione::PannelloSelezione(SharedValues& shared, MembroSelezione membro, QWidget* form)
    : QObject(form), m_shared(shared), m_membro(std::move(membro)), m_cella(CellaDelMembro(m_membro)),
      m_form(form) {
    m_numeroBox = m_membro.filtri == MembroSelezione::Filtri::SoloGara ? 1 : 4;

    fra_ci = new QGroupBox(QStringLiteral("Dati Gara"), form);
    fra_ci->setObjectName(QStringLiteral("fra_ci"));
    auto* grid = new QGridLayout(fra_ci);
    static const char* const titoliBox[] = {"Codice", "Categoria", "Classe", "Taglia"};
    for (int i = 0; i < m_numeroBox; ++i) {
        Cmb_Field[size_t(i)] = nuovoBox(fra_ci, i);
        Cmb_Field[size_t(i)]->installEventFilter(this);
        grid->addWidget(new QLabel(QString::fromUtf8(titoliBox[i]), fra_ci), i, 0);
        grid->addWidget(Cmb_Field[size_t(i)], i, 1);
    }
    Cmb_Field[0]->setMinimumWidth(220);
    Lbl_Gara = etichettaValore(fra_ci, QStringLiteral("Lbl_Gara"), 120);
    Lbl_Localita = etichettaValore(fra_ci, QStringLiteral("Lbl_Localita"), 120);
    Lbl_Giudice = etichettaValore(fra_ci, QStringLiteral("Lbl_Giudice"), 120);
    Lbl_Data = etichettaValore(fra_ci, QStringLiteral("Lbl_Data"), 120);
    const std::pair<const char*, QLabel*> header[] = {
        {"Gara", Lbl_Gara}, {"Località", Lbl_Localita}, {"Giudice", Lbl_Giudice}, {"Data", Lbl_Data}};
    int row = 0;
    for (const auto& [titolo, label] : header) {
        grid->addWidget(new QLabel(QString::fromUtf8(titolo), fra_ci), row, 2);
        grid->addWidget(label, row, 3);
        ++row;
    }
    grid->setColumnStretch(3, 1);

    etichettaNumero = new QLabel(QStringLiteral("Numero Iscritti :"), form);
    LblNumRecords = new QLabel(form);
    LblNumRecords->setObjectName(QStringLiteral("LblNumRecords"));
    LstInsRisultati = new ListaIscritti(m_membro.colonne, m_membro.ordinamento, form);
    LstInsRisultati->setObjectName(QStringLiteral("LstInsRisultati"));
    LstInsRisultati->viewport()->installEventFilter(this);
}

Selezione PannelloSelezione::selezione() const {
    Selezione s;
    s.CodiceGara = Cmb_Field[0]->currentText();
    if (m_numeroBox == 4) {
        s.Categoria = Cmb_Field[1]->currentText();
        s.Classe = Cmb_Field[2]->currentText();
        s.Taglia = Cmb_Field[3]->currentText();
    }
    return s;
}

void PannelloSelezione::carica() {
    Cmb_Field[0]->clear();
    Cmb_Field[0]->addItem(QString());
    Statement st(*m_shared.dbGare, QStringLiteral("SELECT CodiceGara FROM TblGare ORDER BY CodiceGara"));
    while (st.step())
        Cmb_Field[0]->addItem(st.column(0).toString());
    if (m_numeroBox == 4) {
        const QStringList* liste[] = {&ListaCategorie(), &ListaClassi(), &ListaTaglie()};
        for (int i = 1; i < 4; ++i) {
            Cmb_Field[size_t(i)]->clear();
            Cmb_Field[size_t(i)]->addItems(*liste[i - 1]);
        }
    }
    for (int i = 0; i < m_numeroBox; ++i) {
        Cmb_Field[size_t(i)]->setCurrentIndex(-1);
        Cmb_Field[size_t(i)]->setEditText(QString());
    }
    LeggiUltimaGara(m_shared);
    CaricaLista();
}

void PannelloSelezione::CaricaLista() {
    LstInsRisultati->setIscritti({}, m_cella);
    m_selezioneLista = selezione();
    const auto filtro = FiltroPerSelezione(m_membro, m_selezioneLista);
    if (!filtro) {
        emit listaCaricata();
        return; // the count keeps its text
    }
    std::vector<RigaIscritto> righe = LeggiIscritti(*m_shared.dbGare, *filtro);
    LblNumRecords->setText(QString::number(righe.size()));
    // The texts are made as the list shows them.
    LstInsRisultati->setIscritti(std::move(righe), m_cella);
    emit listaCaricata();
}

void PannelloSelezione::ProponiUltimaGara() {
    const QString codice = m_shared.UltimaGara;
    if (codice.isEmpty())
        return;
    m_shared.UltimaGara.clear(); // asked at most once per opening
    if (MsgBox(DomandaUltimaGara(codice, m_membro.domanda), vbYesNo + vbExclamation) != vbYes)
        return;
    Statement st(
        *m_shared.dbGare,
        QStringLiteral("SELECT CodiceGara, Gara, Localita, Giudice, Data FROM TblGare WHERE CodiceGara = ?"));
    st.bind(1, codice);
    if (!st.step()) {
        MsgBox(GaraNonTrovata(codice), vbOKOnly);
        return;
    }
    Cmb_Field[0]->setEditText(st.column(0).toString());
    Lbl_Gara->setText(st.column(1).toString());
    Lbl_Localita->setText(st.column(2).toString());
    Lbl_Giudice->setText(st.column(3).toString());
    Lbl_Data->setText(st.column(4).toString());
    CaricaLista();
    if (m_membro.stampa == MembroSelezione::Stampa::UscitaGara)
        emit stampaAbilitata(true);
}

void PannelloSelezione::mostraIntestazione(const QString& codice) {
    Statement st(*m_shared.dbGare,
                 QStringLiteral("SELECT Gara, Localita, Giudice, Data FROM TblGare WHERE CodiceGara = ?"));
    st.bind(1, codice);
    const bool found = st.step();
    // A code not in the register clears the header rather than keep another competition's.
    Lbl_Gara->setText(found ? st.column(0).toString() : QString());
    Lbl_Localita->setText(found ? st.column(1).toString() : QString());
    Lbl_Giudice->setText(found ? st.column(2).toString() : QString());
    Lbl_Data->setText(found ? st.column(3).toString() : QString());
}

void PannelloSelezione::aggiornaStampa(int indice) {
    if (const auto enabled = StampaAbilitata(m_membro, selezione(), indice))
        emit stampaAbilitata(*enabled);
}

void PannelloSelezione::Cmb_Field_GotFocus(int indice) {
    if (indice == 0)
        ProponiUltimaGara();
}

void PannelloSelezione::Cmb_Field_LostFocus(int indice) {
    if (indice == 0) {
        const QString codice = Cmb_Field[0]->currentText();
        if (!(m_membro.saltaIntestazioneVuota && codice.isEmpty()))
            mostraIntestazione(codice);
    }
    aggiornaStampa(indice);
    CaricaLista();
}

bool PannelloSelezione::clicDaTrattenere(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (m_usciteInAttesa == 0)
            return false;
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        // Only what follows a held press: hovering goes on as usual.
        if (m_clicTrattenuti.empty())
            return false;
        break;
    default:
        return false;
    }
    m_clicTrattenuti.emplace_back(static_cast<QMouseEvent*>(event)->clone());
    return true;
}

void PannelloSelezione::rimandaClic(bool boxMostrato) {
    auto clic = std::exchange(m_clicTrattenuti, {});
    // After a message box the user has answered it: the press that came before it selects nothing.
    if (boxMostrato)
        return;
    for (const auto& e : clic)
        QCoreApplication::sendEvent(LstInsRisultati->viewport(), e.get());
}

bool PannelloSelezione::eventFilter(QObject* watched, QEvent* event) {
    // A press on the list that takes the focus from a box comes before the box's leave
    // handler, whose reload would drop the row it selected: it waits for the reload.
    if (watched == LstInsRisultati->viewport())
        return clicDaTrattenere(event) || QObject::eventFilter(watched, event);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Opening the drop-down list or another window does not leave the box; the form
        // opening with the focus in a box does enter it.
        const bool out = event->type() == QEvent::FocusOut;
        if (reason != Qt::PopupFocusReason && !(out && reason == Qt::ActiveWindowFocusReason)) {
            for (int i = 0; i < m_numeroBox; ++i) {
                if (watched != Cmb_Field[size_t(i)])
                    continue;
                // Run after the focus change: a handler may show a message box.
                if (out)
                    ++m_usciteInAttesa;
                QTimer::singleShot(0, this, [this, i, out] {
                    if (!out)
                        return guarded([&] { Cmb_Field_GotFocus(i); });
                    bool riuscito = false;
                    guarded([&] {
                        Cmb_Field_LostFocus(i);
                        riuscito = true;
                    });
                    m_boxInUscita = m_boxInUscita || !riuscito;
                    if (--m_usciteInAttesa == 0)
                        rimandaClic(std::exchange(m_boxInUscita, false));
                });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zar
