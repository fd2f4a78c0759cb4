#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace zar {

// Detects a running copy of the program on the same program folder and asks it to bring
// its main window to the front. The first copy answers on a local socket whose name is
// derived from the program folder and the user.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString serverName(const QString& programFolder);
    QString serverName() const { return m_name; }

    // Registers this copy: when no other copy answers, this one starts answering.
    // Returns true when this copy is the one answering.
    bool start();
    bool isServing() const;

    // True when another copy of the program on this folder is running now.
    bool previousInstance() const;

    // Asks the running copy to come to the front; false when it cannot be reached.
    bool activateOther() const;

signals:
    // Another copy asked this one to bring its main window to the front.
    void activateRequested();

private:
    void acceptConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace zar
