#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace zar {

namespace {
constexpr int kTimeoutMs = 2000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");

bool connectTo(QLocalSocket& socket, const QString& name) {
    socket.connectToServer(name);
    return socket.waitForConnected(kTimeoutMs);
}
} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent), m_name(serverName(programFolder)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::serverName(const QString& programFolder) {
    // Copies of the program in other folders, or of other users, are other programs.
    const QString folder = QDir(programFolder).canonicalPath().isEmpty()
                               ? QDir(programFolder).absolutePath()
                               : QDir(programFolder).canonicalPath();
    const QByteArray key = (folder + QLatin1Char('|') + qEnvironmentVariable("USER")).toUtf8();
    return QStringLiteral("zar-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

bool SingleInstance::start() {
    if (m_server)
        return true;
    if (previousInstance())
        return false;
    // Nobody answers: a socket file left by a crashed copy is stale.
    QLocalServer::removeServer(m_name);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_name)) {
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
    return true;
}

bool SingleInstance::isServing() const {
    return m_server != nullptr;
}

bool SingleInstance::previousInstance() const {
    if (m_server)
        return false;
    QLocalSocket socket;
    return connectTo(socket, m_name);
}

bool SingleInstance::activateOther() const {
    if (m_server)
        return false;
    QLocalSocket socket;
    if (!connectTo(socket, m_name))
        return false;
    // No answer is awaited: the running copy may be this very thread in a test.
    if (socket.write(kActivate) != kActivate.size() || !socket.waitForBytesWritten(kTimeoutMs))
        return false;
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::acceptConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        auto handle = [this, socket] {
            if (socket->property("done").toBool())
                return;
            if (socket->canReadLine() || socket->bytesAvailable() >= kActivate.size()) {
                socket->setProperty("done", true);
                if (socket->readLine(64) == kActivate)
                    emit activateRequested();
                socket->disconnectFromServer();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, handle);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        handle();
    }
}

} // namespace zar
