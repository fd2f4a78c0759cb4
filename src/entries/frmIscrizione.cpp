#include "entries/frmIscrizione.h"

#include "entries/Iscrizioni.h"
#include "entries/RunTime.h"
#include "frame/FieldBox.h"
#include "frame/IniAccess.h"
#include "frame/ListLook.h"
#include "frame/Pictures.h"
#include "frame/SharedValues.h"
#include "labels/StampaEtichetta.h"
#include "platform/Guarded.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace zar {

namespace {

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

struct Campo {
    const char* titolo;
    int lunghezza;
};
const Campo kCampi[7] = {{"Codice Fiscale", 16}, {"Cognome", 30}, {"Nome", 30}, {"Tessera CIS", 10},
                         {"Microchip", 16},      {"Nome", 30},    {"Razza", 30}};

struct Obbligatorio {
    const char* messaggio;
    const char* titolo;
};
const Obbligatorio kObbligatori[10] = {
    {"Il campo CODICE FISCALE è vuoto.", "Codice Fiscale Mancante"},
    {"Il campo COGNOME è vuoto.", "Cognome Mancante"},
    {"Il campo NOME è vuoto.", "Nome Mancante"},
    {"Il campo TESSERA CIS è vuoto.", "Tessera CIS Mancante"},
    {"Il campo MICROCHIP è vuoto.", "Microchip Mancante"},
    {"Il campo NOME CANE è vuoto.", "Nome Cane Mancante"},
    {"Il campo RAZZA è vuoto.", "Razza Mancante"},
    {"Il campo TAGLIA è vuoto.", "Taglia Mancante"},
    {"Il campo CATEGOIA è vuoto.", "Categoria Mancante"},
    {"Il campo CLASSE è vuoto.", "Classe Mancante"},
};

} // namespace

frmIscrizione::frmIscrizione(SharedValues& shared, QWidget* parent) : EntriesDialog(shared, parent) {
    setObjectName(QStringLiteral("frmIscrizione"));
    setWindowTitle(QStringLiteral("Iscrizione"));

    auto* gara = new QGroupBox(QStringLiteral("Dati Gara"), this);
    auto* gGara = new QGridLayout(gara);
    Lbl_CodiceGara = etichettaValore(gara, QStringLiteral("Lbl_CodiceGara"), 140);
    Lbl_Gara = etichettaValore(gara, QStringLiteral("Lbl_Gara"), 140);
    Lbl_Localita = etichettaValore(gara, QStringLiteral("Lbl_Localita"), 140);
    Lbl_Giudice = etichettaValore(gara, QStringLiteral("Lbl_Giudice"), 140);
    Lbl_Data = etichettaValore(gara, QStringLiteral("Lbl_Data"), 140);
    const std::pair<const char*, QLabel*> header[] = {{"Codice", Lbl_CodiceGara},
                                                      {"Gara", Lbl_Gara},
                                                      {"Località", Lbl_Localita},
                                                      {"Giudice", Lbl_Giudice},
                                                      {"Data", Lbl_Data}};
    int n = 0;
    for (const auto& [titolo, label] : header) {
        gGara->addWidget(new QLabel(QString::fromUtf8(titolo), gara), n / 3, (n % 3) * 2);
        gGara->addWidget(label, n / 3, (n % 3) * 2 + 1);
        ++n;
    }
    for (int c : {1, 3, 5})
        gGara->setColumnStretch(c, 1);

    auto* conduttore = new QGroupBox(QStringLiteral("Conduttore"), this);
    auto* cane = new QGroupBox(QStringLiteral("Cane"), this);
    auto* gCond = new QGridLayout(conduttore);
    auto* gCane = new QGridLayout(cane);
    for (int i = 0; i < 7; ++i) {
        QGroupBox* box = i < 4 ? conduttore : cane;
        QGridLayout* g = i < 4 ? gCond : gCane;
        auto* t = new QLineEdit(box);
        t->setObjectName(QStringLiteral("Txt_Field_%1").arg(i));
        t->setMaxLength(kCampi[i].lunghezza);
        t->installEventFilter(this);
        Txt_Field[size_t(i)] = t;
        const int row = i < 4 ? i : i - 4;
        g->addWidget(new QLabel(QString::fromUtf8(kCampi[i].titolo), box), row, 0);
        g->addWidget(t, row, 1);
    }
    static const char* const titoliCmb[] = {"Taglia", "Categoria", "Classe"};
    const QStringList* liste[] = {&ListaTaglie(), &ListaCategorie(), &ListaClassi()};
    for (int i = 0; i < 3; ++i) {
        auto* c = new QComboBox(cane);
        c->setObjectName(QStringLiteral("Cmb_Field_%1").arg(i));
        keepTypedText(c);
        c->addItems(*liste[i]);
        c->setCurrentIndex(-1);
        c->setEditText(QString());
        // Keys typed into an editable combo reach the combo first: it is the focus widget.
        c->installEventFilter(this);
        c->lineEdit()->installEventFilter(this);
        Cmb_Field[size_t(i)] = c;
        gCane->addWidget(new QLabel(QString::fromUtf8(titoliCmb[i]), cane), 3 + i, 0);
        gCane->addWidget(c, 3 + i, 1);
    }

    Txt_Pettorale = new QLineEdit(QStringLiteral("....."), this);
    Txt_Pettorale->setObjectName(QStringLiteral("Txt_Pettorale"));
    Txt_Pettorale->setEnabled(false);
    Txt_Pettorale->setMaximumWidth(90);
    Txt_Pettorale->setAlignment(Qt::AlignCenter);
    Txt_Pettorale->installEventFilter(this);
    cmdPettorale = bottone(this, QStringLiteral("cmdPettorale"), QStringLiteral("Pettorale"));
    cmdPettorale->setEnabled(false);
    Chk_StampaPet = new QCheckBox(QStringLiteral("Stampa Pettorale"), this);
    Chk_StampaPet->setObjectName(QStringLiteral("Chk_StampaPet"));
    Chk_StampaPet->setChecked(false);

    cmdSave = bottone(this, QStringLiteral("cmdSave"), QStringLiteral("Salva"));
    cmdCancel = bottone(this, QStringLiteral("cmdCancel"), QStringLiteral("Annulla"));
    cmdDelete = bottone(this, QStringLiteral("cmdDelete"), QStringLiteral("Cancella"));
    cmdClose = bottone(this, QStringLiteral("cmdClose"), QStringLiteral("Chiudi"));
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
    cmdDelete->setEnabled(false);
    connect(cmdSave, &QPushButton::clicked, this, [this] { guarded([this] { cmdSave_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { guarded([this] { cmdCancel_Click(); }); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { guarded([this] { cmdDelete_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { guarded([this] { cmdClose_Click(); }); });
    connect(cmdPettorale, &QPushButton::clicked, this, [this] { guarded([this] { cmdPettorale_Click(); }); });

    const QList<ColonnaLista> colonne{{QStringLiteral("Pettorale"), 900},
                                      {QStringLiteral("Cognome_Nome Cond."), 3500},
                                      {QStringLiteral("Codice Fiscale"), 2000},
                                      {QStringLiteral("Nome Cane"), 3500},
                                      {QStringLiteral("Microchip"), 0}};
    LvwIscritti = new ListaIscritti(colonne, OrdinamentoColonne::Numerico, this);
    LvwIscritti->setObjectName(QStringLiteral("LvwIscritti"));
    connect(LvwIscritti, &QAbstractItemView::doubleClicked, this, [this] { LvwIscritti_DblClick(); });
    LblNumRecords = new QLabel(this);
    LblNumRecords->setObjectName(QStringLiteral("LblNumRecords"));

    auto* PctLogo = new QLabel(this);
    PctLogo->setObjectName(QStringLiteral("PctLogo"));
    PctLogo->setPixmap(picture(QStringLiteral("iscrizione")));

    auto* bib = new QHBoxLayout;
    bib->addWidget(cmdPettorale);
    bib->addWidget(Txt_Pettorale);
    bib->addWidget(Chk_StampaPet);
    bib->addStretch();
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(conduttore, 1);
    boxes->addWidget(cane, 1);
    auto* count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("Numero Iscritti :"), this));
    count->addWidget(LblNumRecords);
    count->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdSave, cmdCancel, cmdDelete, cmdClose})
        buttons->addWidget(b);
    auto* main = new QVBoxLayout(this);
    main->addWidget(gara);
    main->addLayout(boxes);
    auto* comandi = new QVBoxLayout;
    comandi->addLayout(bib);
    comandi->addLayout(buttons);
    auto* piede = new QHBoxLayout;
    piede->addWidget(PctLogo);
    piede->addLayout(comandi, 1);
    main->addLayout(piede);
    main->addLayout(count);
    main->addWidget(LvwIscritti, 1);
    resize(openingSize(this, 940, 720));

    // Form_Load: every competition's entries until the register hands one back.
    LoadIscritti(Ordine::Pettorale);
    LeggiUltimaGara(m_shared);
    if (const auto& pick = m_shared.registriPick.gare)
        pick(m_shared, *this, this);
    m_tuttiLeGare = false;
    const QString codice = codiceGara();
    if (!codice.isEmpty()) // the accessor refuses an empty value; the previous one stays
        IniReadWriteShown(QStringLiteral("WRITE"), QStringLiteral("Ultima Gara"),
                          QStringLiteral("Codice_Gara"), m_shared.IniFileName, codice);
    m_shared.UltimaGara.clear();
    LoadIscritti(Ordine::Pettorale);
}

QString frmIscrizione::codiceGara() const {
    return Lbl_CodiceGara->text().trimmed();
}

void frmIscrizione::riceviConduttore(const QString& codiceFiscale, const QString& cognome,
                                     const QString& nome, const QString& tesseraCIS) {
    Txt_Field[0]->setText(codiceFiscale);
    Txt_Field[1]->setText(cognome);
    Txt_Field[2]->setText(nome);
    Txt_Field[3]->setText(tesseraCIS);
}

void frmIscrizione::riceviCane(const QString& microchip, const QString& nomeCane, const QString& razza,
                               const QString& taglia) {
    Txt_Field[4]->setText(microchip);
    Txt_Field[5]->setText(nomeCane);
    Txt_Field[6]->setText(razza);
    Cmb_Field[0]->setEditText(taglia);
}

void frmIscrizione::riceviGara(const QString& codiceGara, const QString& gara, const QString& localita,
                               const QString& giudice, const QString& dataGara) {
    Lbl_CodiceGara->setText(codiceGara);
    Lbl_Gara->setText(gara);
    Lbl_Localita->setText(localita);
    Lbl_Giudice->setText(giudice);
    Lbl_Data->setText(dataGara);
}

void frmIscrizione::LoadIscritti(Ordine ordine) {
    FiltroIscritti f;
    if (!m_tuttiLeGare)
        f.CodiceGara = Lbl_CodiceGara->text();
    f.ordine = ordine == Ordine::Pettorale ? OrdineIscritti::Pettorale : OrdineIscritti::Database;
    f.risultati = false;
    const std::vector<RigaIscritto> rows = LeggiIscritti(*m_shared.dbGare, f);
    std::vector<QStringList> celle;
    celle.reserve(rows.size());
    for (const RigaIscritto& r : rows)
        celle.push_back({r.Pettorale, r.Conduttore, r.CodiceFiscale, r.NomeCane, r.Microchip});
    LvwIscritti->setRighe(std::move(celle));
    LblNumRecords->setText(QString::number(rows.size()));
    NumPettorale_ = int(rows.size());
}

void frmIscrizione::ClearFields() {
    for (QLineEdit* t : Txt_Field)
        t->clear();
    Cmb_Field[0]->setEditText(QString());
    Txt_Pettorale->setText(QStringLiteral("....."));
    cmdPettorale->setEnabled(false);
}

void frmIscrizione::Txt_Field_GotFocus(int indice) {
    if (indice > 0)
        Txt_Field[size_t(indice - 1)]->setText(Txt_Field[size_t(indice - 1)]->text().toUpper());
    QMetaObject::invokeMethod(Txt_Field[size_t(indice)], &QLineEdit::selectAll, Qt::QueuedConnection);
}

void frmIscrizione::Txt_Field_LostFocus(int indice) {
    if (indice == 0) {
        const QString cf = Txt_Field[0]->text();
        if (cf.trimmed().isEmpty())
            return;
        if (const auto c = TrovaConduttore(*m_shared.dbGare, cf)) {
            Txt_Field[1]->setText(c->Cognome);
            Txt_Field[2]->setText(c->Nome);
            Txt_Field[3]->setText(c->TesseraCIS);
        } else {
            if (const auto& pick = m_shared.registriPick.conduttori)
                pick(m_shared, *this, this);
        }
        const int proposta = ProssimoPettorale(*m_shared.dbGare, codiceGara(), NumPettorale_);
        if (proposta > kPettoraleMassimo) {
            MsgBox(kPettoraliEsauriti, vbExclamation);
            Txt_Pettorale->setText(QStringLiteral("....."));
            NumPettorale_ = -1; // no bib: the save refuses until one is typed
        } else {
            NumPettorale_ = proposta;
            Txt_Pettorale->setText(QString::number(proposta));
        }
        cmdPettorale->setEnabled(true);
    } else if (indice == 4) {
        cmdSave->setEnabled(true);
        cmdCancel->setEnabled(true);
        const QString chip = Txt_Field[4]->text();
        if (chip.trimmed().isEmpty())
            return;
        if (const auto c = TrovaCane(*m_shared.dbGare, chip)) {
            Txt_Field[5]->setText(c->NomeCane);
            Txt_Field[6]->setText(c->Razza);
            Cmb_Field[0]->setEditText(c->Taglia);
        } else {
            if (const auto& pick = m_shared.registriPick.cani)
                pick(m_shared, *this, this, chip.toUpper());
        }
        // The register may hand back another dog than the typed chip: check the one in the box.
        const QString scelto = Txt_Field[4]->text().toUpper();
        if (!scelto.trimmed().isEmpty() && CaneIscritto(*m_shared.dbGare, codiceGara(), scelto)) {
            MsgBox(kCaneIscritto, vbOKOnly);
            Txt_Field[4]->clear();
            Txt_Field[5]->clear();
            Txt_Field[6]->clear();
            Cmb_Field[0]->setEditText(QString());
            Txt_Field[4]->setFocus(Qt::OtherFocusReason);
        }
    }
}

void frmIscrizione::cmdPettorale_Click() {
    Txt_Pettorale->setEnabled(true);
    Txt_Pettorale->setFocus(Qt::OtherFocusReason);
    cmdSave->setEnabled(false);
}

void frmIscrizione::Txt_Pettorale_Enter() {
    const auto rifiuta = [this](const QString& text, int style) {
        MsgBox(text, style);
        Txt_Pettorale->selectAll();
        Txt_Pettorale->setFocus(Qt::OtherFocusReason);
    };
    bool ok = false;
    const int bib = Txt_Pettorale->text().toInt(&ok);
    if (!ok || bib < 0 || bib > kPettoraleMassimo) {
        rifiuta(kPettoraleFuoriLimiti, vbExclamation);
        return;
    }
    if (PettoraleUsato(*m_shared.dbGare, codiceGara(), bib)) {
        rifiuta(kPettoraleUsato, vbOKOnly);
        return;
    }
    NumPettorale_ = bib;
    cmdSave->setEnabled(true);
}

void frmIscrizione::cmdSave_Click() {
    const QWidget* boxes[10] = {Txt_Field[0], Txt_Field[1], Txt_Field[2], Txt_Field[3], Txt_Field[4],
                                Txt_Field[5], Txt_Field[6], Cmb_Field[0], Cmb_Field[1], Cmb_Field[2]};
    const auto testo = [&](int i) {
        return i < 7 ? Txt_Field[size_t(i)]->text() : Cmb_Field[size_t(i - 7)]->currentText();
    };
    for (int i = 0; i < 10; ++i) {
        if (testo(i).isEmpty()) {
            MsgBox(QString::fromUtf8(kObbligatori[i].messaggio), vbExclamation,
                   QString::fromUtf8(kObbligatori[i].titolo));
            const_cast<QWidget*>(boxes[i])->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (MsgBox(QStringLiteral("Confermi il salvataggio dei dati?."), vbYesNo + vbQuestion) == vbYes) {
        NuovaIscrizione d;
        d.CodiceGara = Lbl_CodiceGara->text();
        d.Pettorale = NumPettorale_;
        d.conduttore = {testo(0), testo(1), testo(2), testo(3)};
        d.cane = {testo(4), testo(5), testo(6), testo(7)};
        d.Taglia = testo(7);
        d.Categoria = testo(8);
        d.Classe = testo(9);
        try {
            SalvaIscrizione(*m_shared.dbGare, d);
        } catch (const IscrizioneRifiutata& e) {
            MsgBox(e.text(), vbOKOnly); // nothing stored; the boxes stay for a correction
            return;
        } catch (const DbError& e) {
            MsgBox(e.message(), vbCritical);
            return;
        }
        MsgBox(QStringLiteral("Dati Iscrizione salvati."), vbInformation);
        if (Chk_StampaPet->isChecked())
            StampaEtichetta(m_shared, d.Pettorale, Lbl_Gara->text(),
                            testo(1).trimmed() + QStringLiteral(" ") + testo(2).trimmed(), testo(5));
    } else {
        ClearFields();
    }
    LoadIscritti(Ordine::Database);
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
    Cmb_Field[1]->setEditText(QString());
    Cmb_Field[2]->setEditText(QString());
    ClearFields();
}

void frmIscrizione::cmdCancel_Click() {
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
    cmdPettorale->setEnabled(false);
    for (QLineEdit* t : Txt_Field)
        t->clear();
    Txt_Pettorale->setText(QStringLiteral("....."));
}

void frmIscrizione::LvwIscritti_DblClick() {
    const QModelIndex current = LvwIscritti->currentIndex();
    if (!current.isValid())
        return; // nothing picked in an empty list
    PettoraleSelezionato = LvwIscritti->modello()->testo(current.row(), 0);
    cmdDelete->setEnabled(true);
}

void frmIscrizione::cmdDelete_Click() {
    if (MsgBox(QStringLiteral("Confermi la cancellazione del record corrente?"), vbYesNo + vbCritical) !=
        vbYes)
        return;
    EliminaIscrizione(*m_shared.dbGare, Lbl_CodiceGara->text(), PettoraleSelezionato);
    cmdDelete->setEnabled(false);
    LoadIscritti(Ordine::Pettorale);
}

void frmIscrizione::cmdClose_Click() {
    accept();
}

void frmIscrizione::keyPressEvent(QKeyEvent* e) {
    // The form has no cancel button: Esc would close it and drop what is typed.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    EntriesDialog::keyPressEvent(e);
}

bool frmIscrizione::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 7; ++i) {
        if (watched != Txt_Field[size_t(i)])
            continue;
        if (event->type() == QEvent::FocusIn) {
            Txt_Field_GotFocus(i);
        } else if (event->type() == QEvent::FocusOut && (i == 0 || i == 4)) {
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            // Another window taking the focus (a message, a register) does not leave the box.
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                QTimer::singleShot(0, this, [this, i] { guarded([&] { Txt_Field_LostFocus(i); }); });
        } else if (event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event)->key())) {
            if (i < 6)
                Txt_Field[size_t(i + 1)]->setFocus(Qt::TabFocusReason);
            else
                Cmb_Field[0]->setFocus(Qt::TabFocusReason);
            return true;
        }
        return QDialog::eventFilter(watched, event);
    }
    for (int i = 0; i < 3; ++i) {
        const bool combo = watched == Cmb_Field[size_t(i)] || watched == Cmb_Field[size_t(i)]->lineEdit();
        if (combo && event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event)->key())) {
            if (i < 2)
                Cmb_Field[size_t(i + 1)]->setFocus(Qt::TabFocusReason);
            else
                Txt_Field[0]->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    if (watched == Txt_Pettorale) {
        if (event->type() == QEvent::FocusIn)
            QMetaObject::invokeMethod(Txt_Pettorale, &QLineEdit::selectAll, Qt::QueuedConnection);
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (isEnter(key->key())) {
                guarded([&] { Txt_Pettorale_Enter(); });
                return true;
            }
            const QString text = key->text();
            // Digits and Backspace only; keys without text (arrows, Delete) move or edit as usual.
            if (key->key() != Qt::Key_Backspace && !text.isEmpty() &&
                !(text.size() == 1 && text[0] >= u'0' && text[0] <= u'9'))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zar
