#pragma once

#include "platform/Recordset.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zar {

struct SharedValues;

// Replaces the login password: the old one must match (without regard to case), the new
// one must match its confirmation. The form stays open after a change.
class frmChangePassword : public QDialog {
    Q_OBJECT
public:
    explicit frmChangePassword(SharedValues& shared, QWidget* parent = nullptr);

    void Form_Load();
    void cmd_ok_Click();
    void cmd_cancel_Click();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QPushButton* cmd_ok;
    QPushButton* cmd_cancel;

private:
    void showStored();

    SharedValues& m_shared;
    BoundView Data1;
};

// Shows the password change form modally, creating it on first use; released on close.
void showFrmChangePassword(SharedValues& shared, QWidget* parent);

} // namespace zar
