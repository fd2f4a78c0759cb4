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

    // Each try is typed over the last one, which a wrong password leaves selected. No stored
    // password is never let through; an empty one is a value the change form may store. A file
    // that cannot be read ends the login at the first tick, as soon as it is on screen.
    void tries_data() {
        QTest::addColumn<int>("how"); // 0 value stored, 1 no record, 2 no file
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<bool>("accepted");
        const QStringList none;
        const int ok = int(frmSplash::LoadResult::Ok), no = int(frmSplash::LoadResult::NoPassword);
        QTest::newRow("case ignored") << 0 << QVariant("Cane9") << QStringList{"cANE9"} << none << ok << true;
        QTest::newRow("accented") << 0 << QVariant(QString::fromUtf8("Città"))
                                  << QStringList{QString::fromUtf8("CITTÀ")} << none << ok << true;
        QTest::newRow("one more char")
            << 0 << QVariant("ZAR") << QStringList{"ZARR"} << QStringList{kWrong} << ok << false;
        QTest::newRow("empty") << 0 << QVariant("ZAR") << QStringList{""} << QStringList{kWrong} << ok
                               << false;
        QTest::newRow("second try") << 0 << QVariant("ZAR") << QStringList{"uno", "zar"}
                                    << QStringList{kWrong} << ok << true;
        QTest::newRow("third wrong ends") << 0 << QVariant("ZAR") << QStringList{"uno", "due", "tre"}
                                          << QStringList{kWrong, kWrong, kWrong, kEnd} << ok << false;
        QTest::newRow("empty text stored")
            << 0 << QVariant(QString(QLatin1String(""))) << QStringList{""} << none << ok << true;
        QTest::newRow("no record") << 1 << QVariant() << none << none << no << false;
        QTest::newRow("null password") << 0 << QVariant() << none << none << no << false;
        QTest::newRow("no file") << 2 << QVariant() << none << none << int(frmSplash::LoadResult::Failed)
                                 << false;
    }
    void tries() {
        QFETCH(int, how);
        QFETCH(QVariant, stored);
        QFETCH(QStringList, typed);
        QFETCH(QStringList, boxes);
        QFETCH(int, loaded);
        QFETCH(bool, accepted);
        Login l;
        if (how == 2)
            QVERIFY(QFile::remove(l.folder.file(QStringLiteral("ZAR.mdb"))));
        else
            l.store(stored, how == 1);
        l.form->Form_Load();
        l.form->show();
        l.form->Timer1_Timer();
        QCOMPARE(int(l.form->loadResult()), loaded);
        const bool good = loaded == int(frmSplash::LoadResult::Ok);
        QCOMPARE(l.form->Timer1->isActive(), good);
        for (int i = 0; good && i < 5; ++i)
            l.form->Timer1_Timer();
        for (const QString& t : typed) {
            QTest::keyClicks(l.password(), t);
            QTest::keyClick(l.password(), Qt::Key_Return);
        }
        QCOMPARE(described(takeBoxes()), boxes);
        QCOMPARE(l.form->result() == QDialog::Accepted, accepted);
        QCOMPARE(l.main.isEnabled(), accepted);
        QCOMPARE(l.form->ended(), !good || boxes.endsWith(kEnd));
        QCOMPARE(l.form->loadError().contains(QStringLiteral("ZAR.mdb")), how == 2);
    }
};

QTEST_MAIN(frmSplashTest)
#include "frmSplashTest.moc"
