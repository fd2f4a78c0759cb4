#include "frame/frmAbout.h"
#include "frame/SharedValues.h"
#include "frame/ZAR_Main.h"
#include "support/FormDriver.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

using namespace zar;
using namespace zar::test;

class frmAboutTest : public QObject {
    Q_OBJECT

private slots:
    void texts() {
        frmAbout form;
        QCOMPARE(form.windowTitle(), QStringLiteral("About Daduded"));
        QCOMPARE(form.Label4->text(), QStringLiteral("ZAR"));
        QCOMPARE(form.Label1->text(), QStringLiteral("Daduded"));
        for (QLabel* big : {form.Label4, form.Label1})
            QVERIFY(big->font().pointSize() >= 2 * QApplication::font().pointSize());
        // The same line as the status bar's.
        QCOMPARE(form.Label2->text(), QStringLiteral("Versione ") + ZAR_Main::versionText());
        QVERIFY(!form.Label3->text().isEmpty());
        QCOMPARE(form.CmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(form.findChildren<QFrame*>(QRegularExpression(QStringLiteral("^Line1_"))).size(), 2);
    }

    void everyWayOutIsOK_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("OK") << 0;
        QTest::newRow("Enter") << 1;
        QTest::newRow("Esc") << 2;
        QTest::newRow("close box") << 3;
    }
    // OK, Enter, Esc and the close box end alike: accepted, released, main window active.
    void everyWayOutIsOK() {
        QFETCH(int, way);
        SharedValues shared;
        QMainWindow main;
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        int result = -1;
        onNextModal([&](QWidget* w) {
            auto* form = qobject_cast<frmAbout*>(w);
            QVERIFY(form);
            connect(form, &QDialog::finished, [&](int r) { result = r; });
            if (way == 0)
                QTest::mouseClick(form->CmdOK, Qt::LeftButton);
            else if (way == 3)
                form->close();
            else
                QTest::keyClick(form, way == 1 ? Qt::Key_Return : Qt::Key_Escape);
        });
        showFrmAbout(shared, &main);
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(shared.frmAbout.isNull());
        QTRY_COMPARE(QApplication::activeWindow(), &main);
    }
};

QTEST_MAIN(frmAboutTest)
#include "frmAboutTest.moc"
