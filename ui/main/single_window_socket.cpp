// The later start reaches the first window through a local socket.
#include <unistd.h>

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include "ui/main/single_window.h"
#include "ui/main/single_window_channel.h"

namespace qm {

namespace {

constexpr int kAnswerWaitMs = 2000;
constexpr int kRetryMs = 50;
constexpr char kShown = '1';

}  // namespace

QString SingleWindowChannelName(const std::string& programDirCp932) {
    // Sockets of every user share one folder.
    return QStringLiteral("quillmaker-%1-%2").arg(::getuid()).arg(FolderDigest(programDirCp932));
}

class SingleWindow::Listener {
  public:
    QLocalServer server;
};

void SingleWindow::ListenerEnd::operator()(Listener* listener) const { delete listener; }

bool SingleWindow::BringFirstToFront() {
    QLocalSocket socket;
    // The first window may have taken the lock a moment ago and not listen yet.
    QDeadlineTimer deadline(kAnswerWaitMs);
    do {
        socket.connectToServer(channelName_);
        if (socket.waitForConnected(kAnswerWaitMs)) break;
        QThread::msleep(kRetryMs);
    } while (!deadline.hasExpired());
    if (socket.state() != QLocalSocket::ConnectedState) return false;
    while (socket.bytesAvailable() == 0) {
        if (!socket.waitForReadyRead(kAnswerWaitMs)) return false;
    }
    return socket.read(1) == QByteArray(1, kShown);
}

void SingleWindow::ServeRequests(QWidget& window) {
    if (!lock_) return;
    // The lock is ours, so a socket left by a window that crashed is stale.
    QLocalServer::removeServer(channelName_);
    listener_.reset(new Listener());
    QLocalServer& server = listener_->server;
    server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server.listen(channelName_)) return;
    QObject::connect(&server, &QLocalServer::newConnection, &server, [&server, &window] {
        while (QLocalSocket* socket = server.nextPendingConnection()) {
            BringToFront(window);
            socket->write(QByteArray(1, kShown));
            socket->flush();
            socket->disconnectFromServer();
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

}  // namespace qm
