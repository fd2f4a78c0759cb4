#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace zar {

struct SharedValues;

// The program's name, version and legal notice. OK, Esc and the close box all end it
// the same way and hand the activation back to the main window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    void Form_Load();
    void CmdOK_Click();
    void done(int result) override;

    QLabel* Label4;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    std::array<QFrame*, 2> Line1{};
    QPushButton* CmdOK;
};

// Shows the about box modally, creating it on first use; released on close.
void showFrmAbout(SharedValues& shared, QWidget* parent);

} // namespace zar
