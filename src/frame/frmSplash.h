#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QTimer;

namespace zar {

class ContextHelp;
struct SharedValues;

// The login: a "Loading" animation, then the password box. A good password closes the
// form with Accepted and unlocks the main window; Esc and the third wrong password end
// the program (Rejected with ended() set).
class frmSplash : public QDialog {
    Q_OBJECT
public:
    frmSplash(SharedValues& shared, ContextHelp& help, QWidget* mainWindow);

    enum class LoadResult { NotRead, Ok, NoPassword, Failed };
    // Points context help at the help file and starts the "Loading" animation. The stored
    // password is read at the animation's first tick, once the form is on screen.
    void Form_Load();
    // Reads the stored password on a private connection, released before returning; runs
    // once, later calls give the first answer. On Failed, loadError() says why.
    LoadResult LeggiPassword();
    LoadResult loadResult() const { return m_loadResult; }
    QString loadError() const { return m_loadError; }
    bool loadErrorLocked() const { return m_loadErrorLocked; }

    void Timer1_Timer();

    bool ended() const { return m_ended; }
    int Tentativi() const { return m_tentativi; }

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* lbl_EnterPassword;
    QLineEdit* txt_Password;
    QLineEdit* txt_dbPassword;
    QTimer* Timer1;

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void checkPassword();
    void endProgram();

    SharedValues& m_shared;
    ContextHelp& m_help;
    QWidget* m_main;
    LoadResult m_loadResult = LoadResult::NotRead;
    QString m_loadError;
    bool m_loadErrorLocked = false;
    qint16 m_tick = 1;
    int m_tentativi = 0;
    bool m_ended = false;
};

} // namespace zar
