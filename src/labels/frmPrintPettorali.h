#pragma once

#include "entries/EntriesDialog.h"
#include "entries/PannelloSelezione.h"

class QLabel;
class QPushButton;

namespace zar {

struct SharedValues;

// Bib printing: the entries of one competition, optionally narrowed by category, class and
// size, each with a check box; the ticked ones print their bib labels in the list's order.
class frmPrintPettorali : public EntriesDialog {
    Q_OBJECT
public:
    explicit frmPrintPettorali(SharedValues& shared, QWidget* parent = nullptr);

    PannelloSelezione* pannello() const { return m_pannello; }

    void cmdPrint_Click();
    void cmdClose_Click();
    // Prints the ticked rows' labels, Etichette_Campione each, in the order shown.
    void StampaBib();

private:
    PannelloSelezione* m_pannello;
    QLabel* PctLogo;
    QPushButton* cmdPrint;
    QPushButton* cmdClose;
};

} // namespace zar
