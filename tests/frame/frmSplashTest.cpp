#include "frame/frmSplash.h"
#include "frame/SharedValues.h"
#include "platform/ContextHelp.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace zar;
using namespace zar::test;

namespace {

const QString kWrong = described(QStringLiteral("Password non valida."), vbExclamation);
const QString kEnd = described(
    QStringLiteral("You have reached the maximum tries to enter your password.\rSystem is terminating."),
    vbExclamation);

// A login on a fresh program folder in front of a locked main window.
struct Login {
    TestFolder folder;
    SharedValues shared;
    ContextHelp help;
    QWidget main;
    std::unique_ptr<frmSplash> form;
    Login() {
        shared.programFolder = folder.path();
        main.setEnabled(false);
        form = std::make_unique<frmSplash>(shared, help, &main);
    }
    QLineEdit* password() const { return child<QLineEdit>(form.get(), QStringLiteral("txt_Password")); }
    // Loads, shows and ticks the animation through to the password box.
    void ask() {
        form->Form_Load();
        form->show();
        for (int i = 0; i < 6; ++i)
            form->Timer1_Timer();
    }
    void store(const QVariant& value, bool deleteAll = false) {
        auto db = Database::open(folder.file(QStringLiteral("ZAR.mdb")));
        if (deleteAll)
            db->exec(QStringLiteral("DELETE FROM TblPassword"));
        else
            db->exec(QStringLiteral("UPDATE TblPassword SET Password = ?"), {value});
    }
};

} // namespace

class frmSplashTest : public GuiTestBase {
    Q_OBJECT

private slots:
    // The password is read on screen and the file freed again for the main window; the
    // password box comes after the animation, from the real timer too.
    void loadingThenThePasswordBox() {
        Login l;
        l.form->Form_Load();
        l.form->show();
        for (int i = 1; i <= 5; ++i) {
            l.form->Timer1_Timer();
            QVERIFY(l.password()->isHidden());
        }
        QCOMPARE(l.form->loadResult(), frmSplash::LoadResult::Ok);
        QCOMPARE(l.help.helpFile(), l.folder.file(QStringLiteral("DOD_Gare.chm")));
        QVERIFY(!l.shared.rsPassword);
        QVERIFY(Database::open(l.folder.file(QStringLiteral("ZAR.mdb"))));
        l.form->Timer1_Timer();
        QVERIFY(!l.form->Timer1->isActive() && l.password()->isVisible());
        QCOMPARE(l.password()->echoMode(), QLineEdit::Password);
        Login timed;
        timed.form->Form_Load();
        timed.form->show();
        QTRY_VERIFY_WITH_TIMEOUT(timed.password()->isVisible(), 5000);
    }

    // Each try is typed over the last one, which a wrong password leaves selected.
    void tries_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<bool>("accepted");
        const QStringList none;
        QTest::newRow("case ignored") << "Cane9" << QStringList{"cANE9"} << none << true;
        QTest::newRow("accented") << QString::fromUtf8("Città") << QStringList{QString::fromUtf8("CITTÀ")}
                                  << none << true;
        QTest::newRow("one more char") << "ZAR" << QStringList{"ZARR"} << QStringList{kWrong} << false;
        QTest::newRow("empty") << "ZAR" << QStringList{""} << QStringList{kWrong} << false;
        QTest::newRow("second try") << "ZAR" << QStringList{"uno", "zar"} << QStringList{kWrong} << true;
        QTest::newRow("third wrong ends") << "ZAR" << QStringList{"uno", "due", "tre"}
                                          << QStringList{kWrong, kWrong, kWrong, kEnd} << false;
    }
    void tries() {
        QFETCH(QString, stored);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, boxes);
        QFETCH(bool, accepted);
        Login l;
        l.store(stored);
        l.ask();
        for (const QString& t : typed) {
            QTest::keyClicks(l.password(), t);
            QTest::keyClick(l.password(), Qt::Key_Return);
        }
        QCOMPARE(described(takeBoxes()), boxes);
        QCOMPARE(l.form->result() == QDialog::Accepted, accepted);
        QCOMPARE(l.main.isEnabled(), accepted);
        QCOMPARE(l.form->ended(), boxes.endsWith(kEnd));
    }

    // No stored password is never let through; an empty one is a value the change form may
    // store. A file that cannot be read ends the login as soon as it is on screen.
    void noStoredPassword_data() {
        QTest::addColumn<int>("how"); // 0 value stored, 1 no record, 2 no file
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("result");
        QTest::newRow("no record") << 1 << QVariant() << int(frmSplash::LoadResult::NoPassword);
        QTest::newRow("null password") << 0 << QVariant() << int(frmSplash::LoadResult::NoPassword);
        QTest::newRow("empty text") << 0 << QVariant(QString(QLatin1String("")))
                                    << int(frmSplash::LoadResult::Ok);
        QTest::newRow("no file") << 2 << QVariant() << int(frmSplash::LoadResult::Failed);
    }
    void noStoredPassword() {
        QFETCH(int, how);
        QFETCH(QVariant, value);
        QFETCH(int, result);
        Login l;
        if (how == 2)
            QVERIFY(QFile::remove(l.folder.file(QStringLiteral("ZAR.mdb"))));
        else
            l.store(value, how == 1);
        l.form->Form_Load();
        l.form->show();
        QTRY_COMPARE(int(l.form->loadResult()), result);
        const bool good = result == int(frmSplash::LoadResult::Ok);
        QCOMPARE(l.form->ended(), !good);
        if (good) {
            l.ask();
            QTest::keyClick(l.password(), Qt::Key_Return);
            QCOMPARE(l.form->result(), int(QDialog::Accepted));
        }
        QVERIFY(!l.form->Timer1->isActive());
        QCOMPARE(l.main.isEnabled(), good);
        QCOMPARE(l.form->loadError().contains(QStringLiteral("ZAR.mdb")), how == 2);
        QCOMPARE(described(takeBoxes()), QStringList());
    }
};

QTEST_MAIN(frmSplashTest)
#include "frmSplashTest.moc"
