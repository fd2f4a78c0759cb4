#include "entries/frmClassifica.h"

#include "entries/Punteggi.h"
#include "entries/RunTime.h"
#include "frame/IniAccess.h"
#include "frame/ListLook.h"
#include "frame/SharedValues.h"
#include "platform/Guarded.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zar {

frmClassifica::frmClassifica(SharedValues& shared, QWidget* parent) : EntriesDialog(shared, parent) {
    setObjectName(QStringLiteral("frmClassifica"));
    setWindowTitle(QStringLiteral("Classifica"));
    m_pannello = new PannelloSelezione(shared, MembroClassifica(), this);

    auto* entry = new QGroupBox(this);
    auto* grid = new QGridLayout(entry);
    Lbl_SceltaPettorale = etichettaValore(entry, QStringLiteral("Lbl_SceltaPettorale"), 60);
    Lbl_SceltaConduttore = etichettaValore(entry, QStringLiteral("Lbl_SceltaConduttore"), 60);
    Lbl_SceltaCane = etichettaValore(entry, QStringLiteral("Lbl_SceltaCane"), 60);
    grid->addWidget(new QLabel(QStringLiteral("Pettorale"), entry), 0, 0);
    grid->addWidget(Lbl_SceltaPettorale, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Cognome Nome Conduttore"), entry), 0, 1);
    grid->addWidget(Lbl_SceltaConduttore, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Nome Cane"), entry), 0, 2);
    grid->addWidget(Lbl_SceltaCane, 1, 2);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(2, 1);

    static const char* const titoli[] = {"P. 1°Run", "T. 1°Run", "P. 2°Run", "T. 2°Run"};
    auto* runs = new QGridLayout;
    for (int r = 0; r < 2; ++r) {
        Opt_Run[size_t(r)] =
            new QRadioButton(r == 0 ? QStringLiteral("1° Run") : QStringLiteral("2° Run"), entry);
        Opt_Run[size_t(r)]->setObjectName(QStringLiteral("Opt_Run_%1").arg(r));
        runs->addWidget(Opt_Run[size_t(r)], r, 0);
        connect(Opt_Run[size_t(r)], &QRadioButton::clicked, this, [this, r] { Opt_Run_Click(r); });
    }
    for (int i = 0; i < 4; ++i) {
        auto* t = new QLineEdit(entry);
        t->setObjectName(QStringLiteral("Txt_Clss_%1").arg(i));
        t->setMaximumWidth(90);
        if (i % 2 == 1)
            t->setToolTip(QStringLiteral("Inserire Tempo in formato ... mmsscc ..."));
        t->installEventFilter(this);
        Txt_Clss[size_t(i)] = t;
        runs->addWidget(new QLabel(QString::fromUtf8(titoli[i]), entry), i / 2, 1 + (i % 2) * 2);
        runs->addWidget(t, i / 2, 2 + (i % 2) * 2);
    }
    runs->setColumnStretch(5, 1);
    grid->addLayout(runs, 2, 0, 1, 3);

    cmdSave = bottone(this, QStringLiteral("cmdSave"), QStringLiteral("Salva"));
    cmdCancel = bottone(this, QStringLiteral("cmdCancel"), QStringLiteral("Annulla"));
    cmdClose = bottone(this, QStringLiteral("cmdClose"), QStringLiteral("Chiudi"));
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
    connect(cmdSave, &QPushButton::clicked, this, &frmClassifica::cmdSave_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmClassifica::cmdCancel_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmClassifica::cmdClose_Click);

    auto* count = new QHBoxLayout;
    count->addWidget(m_pannello->etichettaNumero);
    count->addWidget(m_pannello->LblNumRecords);
    count->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdClose);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_pannello->fra_ci);
    main->addLayout(count);
    main->addWidget(m_pannello->LstInsRisultati, 1);
    main->addWidget(entry);
    main->addLayout(buttons);
    resize(openingSize(this, 1060, 680));

    connect(m_pannello->LstInsRisultati, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { LstInsRisultati_ItemClick(index.row()); });
    m_pannello->LstInsRisultati->setAvvisoModifica(true);
    connect(m_pannello->LstInsRisultati, &ListaIscritti::inizioModifica, this,
            &frmClassifica::LstInsRisultati_BeforeLabelEdit);

    // Form_Load
    m_pannello->carica();
    Opt_Run[0]->setChecked(true);
    Opt_Run_Click(0);
    // Without a readable settings file no limit is set (all 0), as when none was ever written.
    TempoLimite_ = {};
    IniShown([this] { TempoLimite_ = LeggiTempiLimite(m_shared.iniPath()); });
}

void frmClassifica::LstInsRisultati_ItemClick(int row) {
    const ListaIscrittiModel* m = m_pannello->LstInsRisultati->modello();
    if (row < 0 || row >= m->rowCount())
        return;
    m_scelta = m_pannello->selezioneLista();
    Lbl_SceltaPettorale->setText(m->testo(row, 0));
    Lbl_SceltaConduttore->setText(m->testo(row, 1));
    Lbl_SceltaCane->setText(m->testo(row, 2));
    Txt_Clss[0]->setText(m->testo(row, 3));
    Txt_Clss[2]->setText(m->testo(row, 6));
    Txt_Clss[1]->setText(TestoDaTempoMostrato(m->testo(row, 4)));
    Txt_Clss[3]->setText(TestoDaTempoMostrato(m->testo(row, 7)));
    cmdSave->setEnabled(true);
}

void frmClassifica::LstInsRisultati_BeforeLabelEdit() {
    cmdSave->setEnabled(true);
    cmdCancel->setEnabled(true);
}

void frmClassifica::Opt_Run_Click(int indice) {
    Opt_Run[0]->setChecked(indice == 0);
    Opt_Run[1]->setChecked(indice == 1);
    Txt_Clss[0]->setEnabled(indice == 0);
    Txt_Clss[1]->setEnabled(indice == 0);
    Txt_Clss[2]->setEnabled(indice == 1);
    Txt_Clss[3]->setEnabled(indice == 1);
}

void frmClassifica::Txt_Clss_KeyPress(int indice) {
    const int run = Opt_Run[1]->isChecked() ? 1 : 0;
    if (indice / 2 != run)
        return;
    if (indice % 2 == 0) {
        if (ValoreNumerico(Txt_Clss[size_t(indice)]->text()) > 200)
            return; // the focus stays
        Txt_Clss[size_t(indice + 1)]->setFocus(Qt::TabFocusReason);
        return;
    }
    if (Txt_Clss[size_t(indice)]->text().size() == 6)
        cmdSave_Click();
}

void frmClassifica::cmdSave_Click() {
    if (MsgBox(QStringLiteral("Confermi il salvataggio dei dati?."), vbYesNo + vbQuestion) != vbYes)
        return;
    // The chosen entry's competition and group, even when the boxes were changed after the
    // row click: the boxes' competition could hold another dog under the same bib.
    const Selezione& sel = m_scelta;
    BoxPunteggi box;
    box.run = Opt_Run[1]->isChecked() ? 2 : 1;
    box.punti1 = Txt_Clss[0]->text();
    box.tempo1 = Txt_Clss[1]->text();
    box.punti2 = Txt_Clss[2]->text();
    box.tempo2 = Txt_Clss[3]->text();
    guarded([&] {
        const GruppoClassifica gruppo{sel.CodiceGara, sel.Categoria, sel.Classe, sel.Taglia};
        if (!SalvaPunteggio(*m_shared.dbGare, sel.CodiceGara, Lbl_SceltaPettorale->text(), box, gruppo,
                            TempoLimite_))
            return; // no such entry: nothing written, nothing said
        cmdSave->setEnabled(false);
        cmdCancel->setEnabled(false);
        m_pannello->CaricaLista();
    });
}

void frmClassifica::cmdCancel_Click() {
    cmdSave->setEnabled(false);
    cmdCancel->setEnabled(false);
}

void frmClassifica::cmdClose_Click() {
    accept();
}

bool frmClassifica::eventFilter(QObject* watched, QEvent* event) {
    for (int i = 0; i < 4; ++i) {
        if (watched != Txt_Clss[size_t(i)])
            continue;
        if (event->type() == QEvent::FocusIn)
            QMetaObject::invokeMethod(Txt_Clss[size_t(i)], &QLineEdit::selectAll, Qt::QueuedConnection);
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Txt_Clss_KeyPress(i);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zar
