#pragma once

#include "labels/ParametriEtichetta.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zar {

struct SharedValues;

// The label-sheet settings: the ten values of the bib-label sheet, a test print from the
// boxes, and the logo every label prints.
class FrmEtichette : public QDialog {
    Q_OBJECT
public:
    explicit FrmEtichette(SharedValues& shared, QWidget* parent = nullptr);

    void CmdOK_Click();
    void CmdAnnulla_Click();
    void CmdTest_Click();

    // The boxes' texts, in the order of the settings section.
    ParametriStampaEtichetta valoriBox() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    // Whether a key typed into `box` is kept; Enter moves on instead.
    bool tastoAccettato(QObject* box, const QString& testo) const;
    QWidget* dopoInvio(QObject* box) const;

    SharedValues& m_shared;
    // The ten sheet boxes in the order of the section.
    std::array<QLineEdit*, NumeroParametriEtichetta> m_box{};
    QLineEdit* TxtTest;
    QLineEdit* TxtNumeroETest;
    QCheckBox* ChkTestoTest;
    QPushButton* CmdTest;
    QPushButton* CmdOK;
    QPushButton* CmdAnnulla;
    QLabel* PctLogo;
};

} // namespace zar
