#include "labels/frmPrintPettorali.h"

#include "frame/ListLook.h"
#include "frame/Pictures.h"
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
    m.cella = CellaIscritto;
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
    PctLogo->setPixmap(
        picture(QStringLiteral("pettorali")).scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    cmdPrint = bottone(this, QStringLiteral("cmdPrint"), QStringLiteral("Stampa"));
    cmdClose = bottone(this, QStringLiteral("cmdClose"), QStringLiteral("Chiudi"));
    cmdPrint->setEnabled(false);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { guarded([this] { cmdPrint_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this, &frmPrintPettorali::cmdClose_Click);
    connect(m_pannello, &PannelloSelezione::stampaAbilitata, cmdPrint, &QPushButton::setEnabled);

    disponiSelezione(m_pannello, nullptr, PctLogo, cmdPrint, cmdClose);
    resize(openingSize(this, 760, 560));

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
