#pragma once

#include "entries/EntriesDialog.h"
#include "entries/PannelloSelezione.h"
#include "entries/Ranking.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zar {

struct SharedValues;

// The scores form: the points and time of one run of one entry, then the group's places.
class frmClassifica : public EntriesDialog {
    Q_OBJECT
public:
    explicit frmClassifica(SharedValues& shared, QWidget* parent = nullptr);

    PannelloSelezione* pannello() const { return m_pannello; }
    const TempoLimite& limiti() const { return TempoLimite_; }

    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdClose_Click();
    void LstInsRisultati_ItemClick(int row);
    void LstInsRisultati_BeforeLabelEdit();
    void Opt_Run_Click(int indice);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Txt_Clss_KeyPress(int indice);

    PannelloSelezione* m_pannello;
    TempoLimite TempoLimite_{};
    Selezione m_scelta; // the list's selection when the entry was chosen

    QLabel* Lbl_SceltaPettorale;
    QLabel* Lbl_SceltaConduttore;
    QLabel* Lbl_SceltaCane;
    std::array<QRadioButton*, 2> Opt_Run{};
    std::array<QLineEdit*, 4> Txt_Clss{};
    QPushButton* cmdSave;
    QPushButton* cmdCancel;
    QPushButton* cmdClose;
};

} // namespace zar
