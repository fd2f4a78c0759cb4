#include "labels/frmPrintPettorali.h"

#include "frame/SharedValues.h"
#include "labels/FoglioEtichette.h"
#include "labels/StampaFoglio.h"
#include "platform/Guarded.h"
#include "platform/MsgBox.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace zar {

namespace {

MembroSelezione membroPettorali() {
    MembroSelezione m = MembroPrintPettorali();
    m.colonne = {{QStringLiteral("Pett."), 900},      {QStringLiteral("Cognome_Nome Cond."), 3500},
                 {QStringLiteral("Nome Cane"), 2500}, {QStringLiteral("Categoria"), 1000},
                 {QStringLiteral("Classe"), 1000},    {QStringLiteral("Taglia"), 0}};
    m.cella = [](const RigaIscritto& r, int colonna) {
        switch (colonna) {
        case 0:
            return r.Pettorale;
        case 1:
            return r.Conduttore;
        case 2:
            return r.NomeCane;
        case 3:
            return r.Categoria;
        case 4:
            return r.Classe;
        default:
            return r.Taglia;
        }
    };
    return m;
}

} // namespace

frmPrintPettorali::frmPrintPettorali(SharedValues& shared, QWidget* parent) : EntriesDialog(shared, parent) {
    setObjectName(QStringLiteral("frmPrintPettorali"));
    setWindowTitle(QStringLiteral("Stampa Comulativa Pettorali"));
    m_pannello = new PannelloSelezione(shared, membroPettorali(), this);
    m_pannello->LstInsRisultati->modello()->setSpuntabile(true);

    PctLogo = new QLabel(this);
    PctLogo->setObjectName(QStringLiteral("PctLogo"));
    PctLogo->setPixmap(QPixmap(QStringLiteral(":/pictures/pettorali.png"))
                           .scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    cmdPrint = bottone(this, QStringLiteral("cmdPrint"), QStringLiteral("Stampa"));
    cmdClose = bottone(this, QStringLiteral("cmdClose"), QStringLiteral("Chiudi"));
    cmdPrint->setEnabled(false);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { guarded([this] { cmdPrint_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this, &frmPrintPettorali::cmdClose_Click);
    connect(m_pannello, &PannelloSelezione::stampaAbilitata, cmdPrint, &QPushButton::setEnabled);

    auto* count = new QHBoxLayout;
    count->addWidget(m_pannello->etichettaNumero);
    count->addWidget(m_pannello->LblNumRecords);
    count->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PctLogo);
    buttons->addStretch();
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdClose);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_pannello->fra_ci);
    main->addLayout(count);
    main->addWidget(m_pannello->LstInsRisultati, 1);
    main->addLayout(buttons);
    resize(760, 560);

    m_pannello->carica();
}

void frmPrintPettorali::cmdPrint_Click() {
    StampaBib();
}

void frmPrintPettorali::cmdClose_Click() {
    accept();
}

void frmPrintPettorali::StampaBib() {
    const ParametriStampaEtichetta parametri = LeggiParametriEtichetta(m_shared.iniPath());
    const QString gara = m_pannello->Lbl_Gara->text();
    const ListaIscrittiModel* lista = m_pannello->LstInsRisultati->modello();
    struct Scelto {
        QString pettorale, conduttore, cane;
    };
    std::vector<Scelto> scelti;
    for (int row = 0; row < lista->rowCount(); ++row) {
        if (lista->spuntata(row))
            scelti.push_back(
                {TestoPettorale(lista->testo(row, 0)), lista->testo(row, 1), lista->testo(row, 2)});
    }
    if (scelti.empty()) {
        MsgBox(QStringLiteral("Nessun iscritto selezionato per la stampa del pettorale"));
        return;
    }
    const MisureEtichetta m = MisureEtichetta::da(parametri);
    if (const auto errore = ErroreMisure(m)) {
        MsgBox(*errore, vbExclamation);
        return;
    }
    std::vector<Etichetta> etichette;
    etichette.reserve(scelti.size() * size_t(m.perCodice));
    for (const Scelto& s : scelti) {
        const auto copie = EtichetteIscritto(s.pettorale, s.conduttore, s.cane, m.perCodice);
        etichette.insert(etichette.end(), copie.begin(), copie.end());
    }
    StampaFoglioEtichette(m_shared, etichette, gara, m, TipoEtichetta::RigaParziale);
}

} // namespace zar
