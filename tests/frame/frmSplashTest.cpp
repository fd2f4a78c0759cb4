#include "frame/frmSplash.h"
#include "frame/SharedValues.h"
#include "platform/ContextHelp.h"
#include "support/FormDriver.h"
#include "support/TestFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace zar;
using namespace zar::test;

class frmSplashTest : public QObject {
    Q_OBJECT

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
        void ask() {
            form->Form_Load();
            QCOMPARE(form->LeggiPassword(), frmSplash::LoadResult::Ok);
            form->show();
            for (int i = 0; i < 6; ++i)
                form->Timer1_Timer();
        }
        void type(const QString& text) {
            form->txt_Password->clear();
            QTest::keyClicks(form->txt_Password, text);
            QTest::keyClick(form->txt_Password, Qt::Key_Return);
        }
    };
    void setStored(const QString& folder, const QVariant& value, bool deleteAll = false) {
        auto db = Database::open(folder + QStringLiteral("/ZAR.mdb"));
        if (deleteAll)
            db->exec(QStringLiteral("DELETE FROM TblPassword"));
        else
            db->exec(QStringLiteral("UPDATE TblPassword SET Password = ?"), {value});
    }

private slots:
    void loadReadsThePasswordThenShowsOneDotPerTick() {
        Login l;
        l.form->Form_Load();
        QCOMPARE(l.form->loadResult(), frmSplash::LoadResult::NotRead);
        l.form->show();
        QVERIFY(l.form->Timer1->isActive());
        QCOMPARE(l.form->Timer1->interval(), 200);
        QCOMPARE(l.form->Label2->text(), QStringLiteral("Press Esc to terminate system."));
        for (int i = 1; i <= 5; ++i) {
            l.form->Timer1_Timer();
            QCOMPARE(l.form->Label1->text(), QStringLiteral("Loading") + QString(i, QLatin1Char('.')));
            QVERIFY(l.form->txt_Password->isHidden());
        }
        // The password is read once the form is on screen, and the file freed for the main window.
        l.form->Timer1->stop();
        QTRY_COMPARE(l.form->loadResult(), frmSplash::LoadResult::Ok);
        QCOMPARE(l.form->txt_dbPassword->text(), QStringLiteral("ZAR"));
        QCOMPARE(l.help.helpFile(), l.folder.path() + QStringLiteral("/DOD_Gare.chm"));
        QVERIFY(!l.shared.rsPassword);
        QVERIFY(Database::open(l.folder.file(QStringLiteral("ZAR.mdb"))));
        l.form->Timer1_Timer();
        QVERIFY(!l.form->Timer1->isActive());
        QVERIFY(l.form->Label1->isHidden());
        QVERIFY(l.form->txt_Password->isVisible());
        QCOMPARE(l.form->lbl_EnterPassword->text(), QStringLiteral("Enter Password"));
        QCOMPARE(l.form->txt_Password->echoMode(), QLineEdit::Password);
        // The real timer reaches the same state.
        Login timed;
        timed.form->Form_Load();
        timed.form->show();
        QTRY_VERIFY_WITH_TIMEOUT(timed.form->txt_Password->isVisible(), 5000);
    }

    void passwordIsComparedWithoutRegardToCase_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("good");
        const struct {
            const char *name, *stored, *typed;
            bool good;
        } rows[] = {{"lower", "ZAR", "zar", true},         {"mixed stored", "Cane9", "cANE9", true},
                    {"accented", "Città", "CITTÀ", true},  {"one more char", "ZAR", "ZARR", false},
                    {"blank added", "ZAR", "ZAR ", false}, {"empty typed", "ZAR", "", false}};
        for (const auto& r : rows)
            QTest::newRow(r.name) << QString::fromUtf8(r.stored) << QString::fromUtf8(r.typed) << r.good;
    }

    void passwordIsComparedWithoutRegardToCase() {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, good);
        Login l;
        setStored(l.folder.path(), stored);
        StrictResponder boxes;
        l.ask();
        l.type(typed);
        QCOMPARE(l.form->result() == QDialog::Accepted, good);
        QCOMPARE(l.main.isEnabled(), good);
        QCOMPARE(boxes.texts().isEmpty(), good);
        QVERIFY(!l.form->ended());
    }

    void wrongPasswordsOneTwoThree() {
        Login l;
        StrictResponder boxes;
        l.ask();
        const QString wrong = QStringLiteral("Password non valida.");
        l.type(QStringLiteral("uno"));
        QCOMPARE(boxes.texts(), QStringList{wrong});
        QCOMPARE(boxes.shown().last().style, 48);
        QCOMPARE(boxes.shown().last().title, QStringLiteral("ZAR"));
        QCOMPARE(l.form->txt_Password->selectedText(), QStringLiteral("uno"));
        QVERIFY(!l.form->ended());

        // Typing over the selection replaces it.
        QTest::keyClicks(l.form->txt_Password, QStringLiteral("due"));
        QCOMPARE(l.form->txt_Password->text(), QStringLiteral("due"));
        QTest::keyClick(l.form->txt_Password, Qt::Key_Return);
        QCOMPARE(boxes.texts(), QStringList({wrong, wrong}));
        QVERIFY(!l.form->ended());
        QCOMPARE(l.form->Tentativi(), 2);

        l.type(QStringLiteral("tre"));
        QCOMPARE(boxes.texts(),
                 QStringList({wrong, wrong, wrong,
                              QStringLiteral("You have reached the maximum tries to enter your password.\r"
                                             "System is terminating.")}));
        QCOMPARE(boxes.shown().last().style, 48);
        QVERIFY(l.form->ended());
        QCOMPARE(l.form->result(), int(QDialog::Rejected));
        QVERIFY(!l.main.isEnabled());
    }

    void escEndsTheProgramWhileLoadingAndWhileAsking() {
        {
            Login l;
            l.form->Form_Load();
            l.form->show();
            l.form->Timer1_Timer();
            QTest::keyClick(l.form.get(), Qt::Key_Escape);
            QVERIFY(l.form->ended());
            QVERIFY(!l.form->Timer1->isActive());
            QVERIFY(!l.main.isEnabled());
        }
        {
            Login l;
            l.ask();
            QTest::keyClicks(l.form->txt_Password, QStringLiteral("za"));
            QTest::keyClick(l.form->txt_Password, Qt::Key_Escape);
            QVERIFY(l.form->ended());
            QVERIFY(!l.main.isEnabled());
        }
    }

    void noStoredPasswordIsNeverLetThrough_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("result");
        QTest::newRow("no record") << QVariant() << true << int(frmSplash::LoadResult::NoPassword);
        QTest::newRow("null password") << QVariant() << false << int(frmSplash::LoadResult::NoPassword);
        // An empty password is a value: the change form may store it on purpose.
        QTest::newRow("empty text") << QVariant(QString(QLatin1String(""))) << false
                                    << int(frmSplash::LoadResult::Ok);
    }

    void noStoredPasswordIsNeverLetThrough() {
        QFETCH(QVariant, value);
        QFETCH(bool, empty);
        QFETCH(int, result);
        Login l;
        setStored(l.folder.path(), value, empty);
        l.form->Form_Load();
        QCOMPARE(int(l.form->LeggiPassword()), result);
        StrictResponder boxes;
        for (int i = 0; i < 6; ++i)
            l.form->Timer1_Timer();
        QTest::keyClick(l.form->txt_Password, Qt::Key_Return);
        const bool good = result == int(frmSplash::LoadResult::Ok);
        QCOMPARE(l.form->result() == QDialog::Accepted, good);
        QCOMPARE(l.form->ended(), !good);
    }

    void missingDatabaseReportsItsDescription() {
        Login l;
        QFile::remove(l.folder.file(QStringLiteral("ZAR.mdb")));
        l.form->Form_Load();
        l.form->show();
        // Read on screen: the failure ends the login at once.
        QTRY_VERIFY(l.form->ended());
        QCOMPARE(l.form->loadResult(), frmSplash::LoadResult::Failed);
        QVERIFY(l.form->loadError().contains(QStringLiteral("ZAR.mdb")));
        QVERIFY(!l.form->Timer1->isActive());
        QVERIFY(!l.main.isEnabled());
    }
};

QTEST_MAIN(frmSplashTest)
#include "frmSplashTest.moc"
