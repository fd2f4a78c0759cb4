#include "frame/frmChangePassword.h"
#include "frame/SharedValues.h"
#include "platform/Modal.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace zar;
using namespace zar::test;

class frmChangePasswordTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsItsTextsAndTheStoredPassword();
    void wrongOldPasswordIsRefused();
    void differingConfirmationIsRefused();
    void changeStoresThePasswordAsTypedAndStaysOpen();
    void oldPasswordIsComparedWithoutRegardToCase();
    void emptyNewPasswordIsStored();
    void cancelClosesAndReleasesTheForm();

private:
    QString stored();
    void fill(const QString& oldPw, const QString& newPw, const QString& confirm);
    std::unique_ptr<TestFolder> m_folder;
    std::unique_ptr<SharedValues> m_shared;
    std::unique_ptr<frmChangePassword> m_form;
};

void frmChangePasswordTest::init() {
    m_folder = std::make_unique<TestFolder>();
    m_shared = std::make_unique<SharedValues>();
    m_folder->openShared(*m_shared);
    m_form = std::make_unique<frmChangePassword>(*m_shared);
    m_form->show();
}

void frmChangePasswordTest::cleanup() {
    m_form.reset();
    m_shared.reset();
    m_folder.reset();
}

QString frmChangePasswordTest::stored() {
    return m_shared->dbGare->scalar(QStringLiteral("SELECT Password FROM TblPassword")).toString();
}

void frmChangePasswordTest::fill(const QString& oldPw, const QString& newPw, const QString& confirm) {
    for (QLineEdit* box : {m_form->Text1, m_form->Text2, m_form->Text3})
        box->clear();
    QTest::keyClicks(m_form->Text1, oldPw);
    QTest::keyClicks(m_form->Text2, newPw);
    QTest::keyClicks(m_form->Text3, confirm);
}

void frmChangePasswordTest::showsItsTextsAndTheStoredPassword() {
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Change Password"));
    QCOMPARE(m_form->Label1->text(), QStringLiteral("Old  Password:"));
    QCOMPARE(m_form->Label2->text(), QStringLiteral("New Password:"));
    QCOMPARE(m_form->Label3->text(), QStringLiteral("Confirm Password:"));
    QCOMPARE(m_form->Text1->toolTip(), QStringLiteral("Type old password here."));
    QCOMPARE(m_form->Text2->toolTip(), QStringLiteral("Type new password here."));
    QCOMPARE(m_form->Text3->toolTip(), QStringLiteral("Re-type new password here."));
    for (QLineEdit* box : {m_form->Text1, m_form->Text2, m_form->Text3})
        QCOMPARE(box->echoMode(), QLineEdit::Password);
    QVERIFY(m_form->Text4->isHidden());
    QCOMPARE(m_form->Text4->text(), QStringLiteral("ZAR"));
    QVERIFY(m_form->cmd_ok->isDefault());
}

void frmChangePasswordTest::wrongOldPasswordIsRefused() {
    StrictResponder boxes;
    fill(QStringLiteral("ZAX"), QStringLiteral("nuova"), QStringLiteral("nuova"));
    QTest::keyClick(m_form->Text3, Qt::Key_Return); // Enter presses OK
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Old-Password, non valida")});
    QCOMPARE(boxes.shown().first().style, 0);
    QCOMPARE(boxes.shown().first().title, QStringLiteral("Cambio Password"));
    QCOMPARE(m_form->Text1->selectedText(), QStringLiteral("ZAX"));
    QCOMPARE(m_form->Text3->text(), QStringLiteral("nuova"));
    QCOMPARE(stored(), QStringLiteral("ZAR"));
}

void frmChangePasswordTest::differingConfirmationIsRefused() {
    StrictResponder boxes;
    fill(QStringLiteral("ZAR"), QStringLiteral("nuova"), QStringLiteral("nuovo"));
    QTest::mouseClick(m_form->cmd_ok, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("New Password e Confirm Password sono diverse.\r\n"
                                                       "Inserire nuovamente la New Password")});
    QCOMPARE(boxes.shown().first().title, QStringLiteral("Cambio Password"));
    QCOMPARE(m_form->Text3->text(), QString());
    QCOMPARE(m_form->Text2->selectedText(), QStringLiteral("nuova"));
    QCOMPARE(stored(), QStringLiteral("ZAR"));

    // New and confirmation differing only in case are the same password.
    boxes.clear();
    fill(QStringLiteral("ZAR"), QStringLiteral("Nuova"), QStringLiteral("NUOVA"));
    QTest::mouseClick(m_form->cmd_ok, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("La nuova Password è stata salvata.")});
    QCOMPARE(stored(), QStringLiteral("Nuova"));
}

void frmChangePasswordTest::changeStoresThePasswordAsTypedAndStaysOpen() {
    StrictResponder boxes;
    fill(QStringLiteral("ZAR"), QStringLiteral("CaneZar"), QStringLiteral("CaneZar"));
    QTest::mouseClick(m_form->cmd_ok, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("La nuova Password è stata salvata.")});
    QCOMPARE(boxes.shown().first().style, 0);
    QCOMPARE(boxes.shown().first().title, QStringLiteral("Password cambiata"));
    QCOMPARE(stored(), QStringLiteral("CaneZar"));
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_form->Text1->text(), QStringLiteral("ZAR"));

    // A second OK compares the old-password box with the new stored password.
    boxes.clear();
    QTest::mouseClick(m_form->cmd_ok, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("Old-Password, non valida")});
    QCOMPARE(stored(), QStringLiteral("CaneZar"));
}

void frmChangePasswordTest::oldPasswordIsComparedWithoutRegardToCase() {
    StrictResponder boxes;
    fill(QStringLiteral("zaR"), QStringLiteral("x"), QStringLiteral("x"));
    QTest::mouseClick(m_form->cmd_ok, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("La nuova Password è stata salvata.")});
    QCOMPARE(stored(), QStringLiteral("x"));
}

void frmChangePasswordTest::emptyNewPasswordIsStored() {
    StrictResponder boxes;
    fill(QStringLiteral("ZAR"), QString(), QString());
    QTest::mouseClick(m_form->cmd_ok, Qt::LeftButton);
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("La nuova Password è stata salvata.")});
    const QVariant value = m_shared->dbGare->scalar(QStringLiteral("SELECT Password FROM TblPassword"));
    QVERIFY(!value.isNull());
    QCOMPARE(value.toString(), QString());
    QCOMPARE(m_shared->dbGare->scalar(QStringLiteral("SELECT count(*) FROM TblPassword")).toInt(), 1);
}

void frmChangePasswordTest::cancelClosesAndReleasesTheForm() {
    m_form.reset();
    StrictResponder boxes;
    bool shown = false;
    setModalHook([&](QDialog& form) {
        shown = true;
        auto* f = qobject_cast<frmChangePassword*>(&form);
        if (!f)
            return int(QDialog::Rejected);
        form.show();
        QTest::keyClick(f->Text1, Qt::Key_Escape);
        return form.result();
    });
    showFrmChangePassword(*m_shared, nullptr);
    setModalHook({});
    QVERIFY(shown);
    QVERIFY(m_shared->frmChangePassword.isNull());
    QCOMPARE(stored(), QStringLiteral("ZAR"));
}

QTEST_MAIN(frmChangePasswordTest)
#include "frmChangePasswordTest.moc"
