#include "frame/frmAbout.h"
#include "frame/SharedValues.h"
#include "frame/ZAR_Main.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>

using namespace zar;
using namespace zar::test;

class frmAboutTest : public GuiTestBase {
    Q_OBJECT

private slots:
    // Its texts, and OK, Enter, Esc and the close box ending alike: accepted, released,
    // the main window active again.
    void textsAndEveryWayOut() {
        SharedValues shared;
        QMainWindow main;
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        for (int way = 0; way < 4; ++way) {
            int result = -1;
            onNextModal([&](QWidget* w) {
                auto* form = qobject_cast<QDialog*>(w);
                QCOMPARE(form->windowTitle(), QStringLiteral("About Daduded"));
                QCOMPARE(text(form, QStringLiteral("Label4")) + text(form, QStringLiteral("Label1")),
                         QStringLiteral("ZARDaduded"));
                QVERIFY(child<QLabel>(form, QStringLiteral("Label1"))->font().pointSize() >=
                        2 * QApplication::font().pointSize());
                QCOMPARE(text(form, QStringLiteral("Label2")),
                         QStringLiteral("Versione ") + ZAR_Main::versionText());
                QVERIFY(!text(form, QStringLiteral("Label3")).isEmpty());
                connect(form, &QDialog::finished, [&](int r) { result = r; });
                if (way == 0)
                    QTest::mouseClick(child<QPushButton>(form, QStringLiteral("CmdOK")), Qt::LeftButton);
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
    }
};

QTEST_MAIN(frmAboutTest)
#include "frmAboutTest.moc"
