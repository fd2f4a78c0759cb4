#include "reports/FormReport.h"

#include "frame/ListLook.h"
#include "frame/Pictures.h"
#include "frame/SharedValues.h"
#include "platform/Guarded.h"
#include "platform/Printer.h"
#include "reports/EasyPrint.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace zar {

FormReport::FormReport(SharedValues& shared, Impostazione impostazione, QWidget* parent)
    : EntriesDialog(shared, parent), m_imp(std::move(impostazione)) {
    setObjectName(m_imp.nome);
    setWindowTitle(m_imp.caption);
    m_pannello = new PannelloSelezione(shared, m_imp.membro, this);

    auto* runs = new QHBoxLayout;
    for (int i = 0; i < m_imp.opzioniRun.size(); ++i) {
        auto* b = new QRadioButton(m_imp.opzioniRun[i], this);
        b->setObjectName(QStringLiteral("Opt_Run_%1").arg(i));
        connect(b, &QRadioButton::clicked, this, [this, i] { guarded([&] { Opt_Run_Click(i); }); });
        runs->addWidget(b);
        Opt_Run.push_back(b);
    }
    runs->addStretch();

    PctLogo = new QLabel(this);
    PctLogo->setObjectName(QStringLiteral("PctLogo"));
    // Drawn at twice the screen's density: it shows at half its pixels and prints sharp.
    m_logo = pictureImage(QStringLiteral("logo_report"));
    QPixmap logo = QPixmap::fromImage(m_logo);
    logo.setDevicePixelRatio(2);
    PctLogo->setPixmap(logo);
    cmdPrint = bottone(this, QStringLiteral("cmdPrint"), QStringLiteral("Stampa"));
    cmdClose = bottone(this, QStringLiteral("cmdClose"), QStringLiteral("Chiudi"));
    cmdPrint->setEnabled(false);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { guarded([this] { cmdPrint_Click(); }); });
    connect(cmdClose, &QPushButton::clicked, this, &FormReport::cmdClose_Click);
    // Nothing in the form disables "Stampa" again once it is enabled.
    connect(m_pannello, &PannelloSelezione::stampaAbilitata, this, [this](bool on) {
        if (on)
            cmdPrint->setEnabled(true);
    });

    disponiSelezione(m_pannello, runs, PctLogo, cmdPrint, cmdClose);
    resize(openingSize(this, m_imp.membro.colonne.size() > 7 ? 1200 : 900, 640));

    // Form_Load
    if (!Opt_Run.empty())
        Opt_Run[0]->setChecked(true);
    m_pannello->carica();
}

FormReport::~FormReport() {
    // Hiding lays the list out once more, and its cells ask this form for the run chosen:
    // hide while the form is still whole, not in the base class's destructor.
    hide();
}

void FormReport::Opt_Run_Click(int indice) {
    for (size_t i = 0; i < Opt_Run.size(); ++i)
        Opt_Run[i]->setChecked(int(i) == indice);
    m_RunScelta = indice;
    m_pannello->CaricaLista();
}

DatiIntestazione FormReport::datiIntestazione() const {
    DatiIntestazione d;
    d.Data = m_pannello->Lbl_Data->text().trimmed();
    d.Gara = m_pannello->Lbl_Gara->text().trimmed();
    d.Localita = m_pannello->Lbl_Localita->text().trimmed();
    d.Giudice = m_pannello->Lbl_Giudice->text().trimmed();
    if (m_pannello->numeroBox() == 4) {
        d.Categoria = m_pannello->box(1)->currentText().trimmed();
        d.Classe = m_pannello->box(2)->currentText().trimmed();
        d.Taglia = m_pannello->box(3)->currentText().trimmed();
    }
    d.RunScelta = m_RunScelta;
    d.oggi = QDate::currentDate();
    d.logo = m_logo; // the picture itself, at its stored density
    return d;
}

void FormReport::cmdPrint_Click() {
    try {
        if (!objEasyPrint)
            objEasyPrint = std::make_unique<EasyPrint>(applicationPrinter(m_shared));
        PaginaReport pagina(*objEasyPrint, *m_imp.variante, datiIntestazione());
        pagina.ImpostaPagina();
        // The rows as the list shows them now, sorted or not.
        const ListaIscrittiModel* m = m_pannello->LstInsRisultati->modello();
        const int colonne = m->columnCount();
        pagina.Stampa(m->rowCount(), [&](int riga) {
            QStringList testi;
            testi.reserve(colonne);
            for (int c = 0; c < colonne; ++c)
                testi << m->testo(riga, c);
            return m_imp.riga(riga, testi);
        });
    } catch (const PrinterError& e) {
        // A job that could not be sent must not pass for printed; the next print starts
        // clean and in portrait.
        Printer& printer = applicationPrinter(m_shared);
        try {
            printer.KillDoc();
            printer.setOrientation(vbPRORPortrait);
        } catch (const PrinterError&) {
        }
        // A fault the drawing calls met was told in their box; one met only at the set-up or
        // the end of the job is told in the same box, once.
        if (!e.repeated())
            EasyPrint::ShowError(e.number(), e.description());
    }
}

void FormReport::cmdClose_Click() {
    accept();
}

void FormReport::done(int result) {
    objEasyPrint.reset();
    EntriesDialog::done(result);
}

} // namespace zar
