#include "ui/main/single_window.h"

#include <unistd.h>

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include "settings/keys.h"

namespace qm {

namespace {

constexpr int kAnswerWaitMs = 2000;
constexpr int kRetryMs = 50;
constexpr char kShown = '1';

// Short enough for a socket path, the same for every start on the folder.
QString ServerNameFor(const std::string& programDirCp932) {
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(programDirCp932),
                                                     QCryptographicHash::Sha1)
                                .toHex()
                                .left(20);
    return QStringLiteral("quillmaker-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

void BringToFront(QWidget& window) {
    // A dialog open above the window is what the user has to answer first.
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr) front = &window;
    if (front->isMinimized()) front->showNormal();
    front->raise();
    front->activateWindow();
}

}  // namespace

SingleWindow::SingleWindow(const std::string& programDirCp932)
    : serverName_(ServerNameFor(programDirCp932)) {
    // Only a lock another window holds counts; a lock that fails is no reason to refuse.
    const auto folder = NativePathOf(programDirCp932);
    if (!folder) return;
    auto acquired = FileLock::Acquire(*folder + kWindowLockName, std::chrono::milliseconds(0));
    if (!acquired) return;
    first_ = acquired->has_value();
    if (first_) lock_ = std::move(*acquired);
}

bool SingleWindow::BringFirstToFront() {
    QLocalSocket socket;
    // The first window may have taken the lock a moment ago and not listen yet.
    QDeadlineTimer deadline(kAnswerWaitMs);
    do {
        socket.connectToServer(serverName_);
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
    QLocalServer::removeServer(serverName_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(serverName_)) return;
    connect(&server_, &QLocalServer::newConnection, this, [this, &window] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            BringToFront(window);
            socket->write(QByteArray(1, kShown));
            socket->flush();
            socket->disconnectFromServer();
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

}  // namespace qm
