#include "frame/frmChangePassword.h"
#include "frame/SharedValues.h"
#include "support/FormHelpers.h"
#include "support/GuiTestBase.h"
#include "support/TestFolder.h"

#include <QLineEdit>
#include <QTest>

using namespace zar;
using namespace zar::test;

namespace {
const QString kSaved = described(QStringLiteral("La nuova Password è stata salvata."), vbOKOnly,
                                 QStringLiteral("Password cambiata"));
const QString kWrongOld =
    described(QStringLiteral("Old-Password, non valida"), vbOKOnly, QStringLiteral("Cambio Password"));
const QString kDiffer = described(
    QStringLiteral("New Password e Confirm Password sono diverse.\r\nInserire nuovamente la New Password"),
    vbOKOnly, QStringLiteral("Cambio Password"));
} // namespace

class frmChangePasswordTest : public GuiTestBase {
    Q_OBJECT

    TestFolder m_folder;
    SharedValues m_shared;
    std::unique_ptr<frmChangePassword> m_form;

    QVariant stored() { return m_shared.dbGare->scalar(QStringLiteral("SELECT Password FROM TblPassword")); }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(m_form.get(), QLatin1String(name)); }
    void open() {
        m_form = std::make_unique<frmChangePassword>(m_shared);
        m_form->show();
    }

private slots:
    void initTestCase() { m_folder.openShared(m_shared); }
    void init() {
        GuiTestBase::init();
        m_shared.dbGare->exec(QStringLiteral("UPDATE TblPassword SET Password = 'ZAR'"));
        open();
    }
    void cleanup() {
        m_form.reset();
        GuiTestBase::cleanup();
    }

    // The old password is compared without regard to case, new and confirmation too; an
    // empty new password is a value. Enter presses OK; the form stays open.
    void refusalsAndChanges_data() {
        QTest::addColumn<QStringList>("typed"); // old, new, confirmation
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("after");
        QTest::newRow("wrong old") << QStringList{"ZAX", "nuova", "nuova"} << kWrongOld << "ZAR";
        QTest::newRow("confirmation differs") << QStringList{"ZAR", "nuova", "nuovo"} << kDiffer << "ZAR";
        QTest::newRow("old in other case, new as typed")
            << QStringList{"zaR", "CaneZar", "CaneZar"} << kSaved << "CaneZar";
        QTest::newRow("confirmation in other case")
            << QStringList{"ZAR", "Nuova", "NUOVA"} << kSaved << "Nuova";
        QTest::newRow("empty new") << QStringList{"ZAR", "", ""} << kSaved << "";
    }
    void refusalsAndChanges() {
        QFETCH(QStringList, typed);
        QFETCH(QString, box);
        QFETCH(QString, after);
        for (int i = 0; i < 3; ++i)
            typeInto(edit(qPrintable(QStringLiteral("Text%1").arg(i + 1))), typed[i]);
        QTest::keyClick(edit("Text3"), Qt::Key_Return);
        QCOMPARE(described(takeBoxes()), QStringList{box});
        QVERIFY(!stored().isNull());
        QCOMPARE(stored().toString(), after);
        QVERIFY(m_form->isVisible());
        if (box == kWrongOld)
            QCOMPARE(edit("Text1")->selectedText(), typed[0]);
        if (box == kDiffer) {
            QCOMPARE(edit("Text3")->text(), QString());
            QCOMPARE(edit("Text2")->selectedText(), typed[1]);
        }
        if (box == kSaved && !after.isEmpty() && after != typed[0]) {
            // A second OK compares the old-password box with the new stored password.
            click(m_form.get(), QStringLiteral("cmd_ok"));
            QCOMPARE(described(takeBoxes()), QStringList{kWrongOld});
        }
    }

    // Unreadable at load: the old password is never compared with an empty stand-in.
    void storedPasswordReadAgainBeforeTheCheck() {
        m_form.reset();
        m_shared.dbGare->exec(QStringLiteral("ALTER TABLE TblPassword RENAME TO TblAltrove"));
        open();
        typeInto(edit("Text2"), QStringLiteral("nuova"));
        typeInto(edit("Text3"), QStringLiteral("nuova"));
        click(m_form.get(), QStringLiteral("cmd_ok"));
        const QList<MsgBoxRecord> unreadable = takeBoxes(); // at load, and again at OK: nothing saved
        QCOMPARE(unreadable.size(), 2);
        QCOMPARE(unreadable[0].style, int(vbCritical));
        m_shared.dbGare->exec(QStringLiteral("ALTER TABLE TblAltrove RENAME TO TblPassword"));
        click(m_form.get(), QStringLiteral("cmd_ok"));
        QCOMPARE(described(takeBoxes()), QStringList{kWrongOld});
        QCOMPARE(stored().toString(), QStringLiteral("ZAR"));
    }
};

QTEST_MAIN(frmChangePasswordTest)
#include "frmChangePasswordTest.moc"
