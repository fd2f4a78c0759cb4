#pragma once

#include "entries/EntriesDialog.h"
#include "entries/PannelloSelezione.h"
#include "reports/ReportFrame.h"

#include <QImage>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;
class QRadioButton;

namespace zar {

class EasyPrint;

// What the three report forms share: the selection panel, the run options, the logo,
// "Stampa" on the common page frame and "Chiudi".
class FormReport : public EntriesDialog {
    Q_OBJECT
public:
    ~FormReport() override;

    PannelloSelezione* pannello() const { return m_pannello; }
    int RunScelta() const { return m_RunScelta; }
    // The printing object, once "Stampa" has made it.
    EasyPrint* stampante() const { return objEasyPrint.get(); }

    void Opt_Run_Click(int indice);
    void cmdPrint_Click();
    void cmdClose_Click();
    void done(int result) override;

protected:
    struct Impostazione {
        QString nome, caption;
        MembroSelezione membro;
        QStringList opzioniRun; // "1° Run", ...; none: the form has no run choice
        const VarianteReport* variante;
        // One printed row from the list's texts; `riga` counts from 0 across pages.
        std::function<RigaStampa(int riga, const QStringList& colonne)> riga;
    };
    FormReport(SharedValues& shared, Impostazione impostazione, QWidget* parent);

private:
    DatiIntestazione datiIntestazione() const;

    Impostazione m_imp;
    PannelloSelezione* m_pannello = nullptr;
    std::vector<QRadioButton*> Opt_Run;
    QLabel* PctLogo = nullptr;
    QImage m_logo;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdClose = nullptr;
    int m_RunScelta = 0;
    std::unique_ptr<EasyPrint> objEasyPrint;
};

} // namespace zar
