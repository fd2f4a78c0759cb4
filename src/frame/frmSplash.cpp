#include "frame/frmSplash.h"

#include "frame/SharedValues.h"
#include "platform/ContextHelp.h"
#include "platform/MsgBox.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace zar {

namespace {
QFont decorativeFont(int pointSize) {
    QFont f(QStringLiteral("Liberation Serif"), pointSize, QFont::Bold);
    f.setItalic(true);
    return f;
}
} // namespace

frmSplash::frmSplash(SharedValues& shared, ContextHelp& help, QWidget* mainWindow)
    : QDialog(mainWindow), m_shared(shared), m_help(help), m_main(mainWindow) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Password"));
    setModal(true);

    Label3 = new QLabel(QStringLiteral("ZAR"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setFont(decorativeFont(40));
    Label3->setStyleSheet(QStringLiteral("color: #1f4e8c;"));
    Label4 = new QLabel(QStringLiteral("Daduded"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(decorativeFont(26));
    Label4->setStyleSheet(QStringLiteral("color: #8c3b1f;"));
    Label2 = new QLabel(QStringLiteral("Press Esc to terminate system."), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1 = new QLabel(QStringLiteral("Loading"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lbl_EnterPassword = new QLabel(QStringLiteral("Enter Password"), this);
    lbl_EnterPassword->setObjectName(QStringLiteral("lbl_EnterPassword"));
    lbl_EnterPassword->hide();
    txt_Password = new QLineEdit(this);
    txt_Password->setObjectName(QStringLiteral("txt_Password"));
    txt_Password->setEchoMode(QLineEdit::Password);
    txt_Password->hide();
    txt_Password->installEventFilter(this);
    txt_dbPassword = new QLineEdit(this);
    txt_dbPassword->setObjectName(QStringLiteral("txt_dbPassword"));
    txt_dbPassword->hide();

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(24, 16, 24, 16);
    grid->setVerticalSpacing(10);
    grid->addWidget(Label3, 0, 0, 1, 2);
    grid->addWidget(Label4, 1, 0, 1, 2, Qt::AlignRight);
    grid->addWidget(Label1, 2, 0, 1, 2);
    grid->addWidget(lbl_EnterPassword, 2, 0);
    grid->addWidget(txt_Password, 2, 1);
    grid->addWidget(Label2, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setFixedSize(380, 230);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

void frmSplash::Form_Load() {
    m_help.setHelpFile(m_shared.programFolder + QStringLiteral("/DOD_Gare.chm"));
    m_tentativi = 0;
    m_tick = 1;
    Timer1->start();
}

frmSplash::LoadResult frmSplash::LeggiPassword() {
    if (m_loadResult != LoadResult::NotRead)
        return m_loadResult;
    try {
        // A private connection, released at once so that the file is free for dbGare.
        auto db = Database::open(m_shared.databasePath());
        m_shared.rsPassword = std::make_unique<Recordset>(*db, QStringLiteral("SELECT * FROM TblPassword"));
        Recordset& rs = *m_shared.rsPassword;
        if (rs.eof() || rs.isNull(QStringLiteral("Password"))) {
            m_loadResult = LoadResult::NoPassword;
        } else {
            txt_dbPassword->setText(rs.text(QStringLiteral("Password")));
            m_loadResult = LoadResult::Ok;
        }
        m_shared.rsPassword.reset();
    } catch (const DbError& e) {
        m_shared.rsPassword.reset();
        m_loadError = e.message();
        m_loadErrorLocked = e.isLocked();
        m_loadResult = LoadResult::Failed;
    }
    return m_loadResult;
}

void frmSplash::Timer1_Timer() {
    // Deriving the database key takes a noticeable time: the form shows first and the
    // stored password is read at the first tick, while "Loading" is on screen.
    if (LeggiPassword() != LoadResult::Ok) {
        endProgram();
        return;
    }
    Label1->setText(Label1->text() + QLatin1Char('.'));
    ++m_tick;
    if (m_tick == 7) {
        Timer1->stop();
        Label1->hide();
        txt_Password->show();
        txt_Password->setFocus();
        lbl_EnterPassword->show();
    }
}

void frmSplash::checkPassword() {
    // Nothing to compare with: the program must not be used without the check.
    if (LeggiPassword() != LoadResult::Ok) {
        endProgram();
        return;
    }
    if (txt_Password->text().toUpper() == txt_dbPassword->text().toUpper()) {
        accept();
        if (m_main)
            m_main->setEnabled(true);
        return;
    }
    MsgBox(QStringLiteral("Password non valida."), vbExclamation);
    txt_Password->setFocus();
    txt_Password->selectAll();
    ++m_tentativi;
    if (m_tentativi == 3) {
        MsgBox(QStringLiteral(
                   "You have reached the maximum tries to enter your password.\rSystem is terminating."),
               vbExclamation);
        endProgram();
    }
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txt_Password && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            checkPassword();
            return true;
        case Qt::Key_Escape:
            endProgram();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Esc anywhere on the form and the close box end the program.
void frmSplash::reject() {
    endProgram();
}

void frmSplash::endProgram() {
    m_ended = true;
    Timer1->stop();
    QDialog::reject();
}

} // namespace zar
