#include "frame/frmChangePassword.h"

#include "frame/MostraForm.h"
#include "frame/SharedValues.h"
#include "platform/Guarded.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zar {

namespace {
const QString kTitle = QStringLiteral("Cambio Password");
const QString kField = QStringLiteral("Password");

QLineEdit* passwordBox(QWidget* parent, const QString& name, const QString& tip) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setToolTip(tip);
    return box;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

void selectForRetyping(QLineEdit* box) {
    box->setFocus();
    box->selectAll();
}
} // namespace

frmChangePassword::frmChangePassword(SharedValues& shared, QWidget* parent)
    : QDialog(parent), m_shared(shared), Data1(shared.dbGare.get()) {
    setObjectName(QStringLiteral("frmChangePassword"));
    setWindowTitle(QStringLiteral("Change Password"));

    Label1 = label(this, QStringLiteral("Label1"), QStringLiteral("Old  Password:"));
    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("New Password:"));
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("Confirm Password:"));
    Text1 = passwordBox(this, QStringLiteral("Text1"), QStringLiteral("Type old password here."));
    Text2 = passwordBox(this, QStringLiteral("Text2"), QStringLiteral("Type new password here."));
    Text3 = passwordBox(this, QStringLiteral("Text3"), QStringLiteral("Re-type new password here."));
    Text4 = new QLineEdit(this);
    Text4->setObjectName(QStringLiteral("Text4"));
    Text4->hide();
    cmd_ok = new QPushButton(QStringLiteral("&Ok"), this);
    cmd_ok->setObjectName(QStringLiteral("cmd_ok"));
    cmd_ok->setDefault(true);
    cmd_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmd_cancel->setObjectName(QStringLiteral("cmd_cancel"));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 16, 12);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Text2, 1, 1);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Text3, 2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd_ok);
    buttons->addWidget(cmd_cancel);
    grid->addLayout(buttons, 3, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 180);
    setFixedSize(sizeHint());

    connect(cmd_ok, &QPushButton::clicked, this, &frmChangePassword::cmd_ok_Click);
    connect(cmd_cancel, &QPushButton::clicked, this, &frmChangePassword::cmd_cancel_Click);
    Form_Load();
}

void frmChangePassword::Form_Load() {
    guarded([this] {
        Data1.setDatabase(m_shared.dbGare.get());
        Data1.setRecordSource(QStringLiteral("SELECT * FROM TblPassword"));
        Data1.refresh();
        showStored();
    });
}

void frmChangePassword::showStored() {
    Recordset& rs = Data1.recordset();
    Text4->setText(rs.eof() ? QString() : rs.text(kField));
}

void frmChangePassword::cmd_ok_Click() {
    // The old password is checked against the stored one: a view that could not be read
    // gets one more try, and without it nothing is checked or changed.
    if (!Data1.isOpen()) {
        Form_Load();
        if (!Data1.isOpen())
            return;
    }
    if (Text4->text().toUpper() != Text1->text().toUpper()) {
        MsgBox(QStringLiteral("Old-Password, non valida"), vbOKOnly, kTitle);
        selectForRetyping(Text1);
        return;
    }
    if (Text2->text().toUpper() != Text3->text().toUpper()) {
        MsgBox(QStringLiteral(
                   "New Password e Confirm Password sono diverse.\r\nInserire nuovamente la New Password"),
               vbOKOnly, kTitle);
        Text3->clear();
        selectForRetyping(Text2);
        return;
    }
    try {
        Recordset& rs = Data1.recordset();
        // The login cannot pass without a record, but a table emptied from outside gets
        // one again rather than an error.
        if (rs.eof())
            rs.addNew();
        else
            rs.edit();
        rs.setValue(kField, Text2->text());
        rs.update();
        Data1.refresh();
        showStored();
    } catch (const DbError& e) {
        MsgBox(e.message(), vbCritical);
        return;
    }
    MsgBox(QStringLiteral("La nuova Password è stata salvata."), vbOKOnly,
           QStringLiteral("Password cambiata"));
}

void frmChangePassword::cmd_cancel_Click() {
    reject();
}

void showFrmChangePassword(SharedValues& shared, QWidget* parent) {
    mostra<frmChangePassword>(shared.frmChangePassword, shared, parent);
}

} // namespace zar
