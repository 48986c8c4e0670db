#include "ui/main/single_window.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QWidget>

#include "settings/keys.h"
#include "ui/main/single_window_channel.h"

namespace qm {

QString FolderDigest(const std::string& programDirCp932) {
    return QString::fromLatin1(QCryptographicHash::hash(QByteArray::fromStdString(programDirCp932),
                                                        QCryptographicHash::Sha1)
                                   .toHex()
                                   .left(20));
}

SingleWindow::SingleWindow(const std::string& programDirCp932)
    : channelName_(SingleWindowChannelName(programDirCp932)) {
    // Only a lock another window holds counts; a lock that fails is no reason to refuse.
    const auto folder = NativePathOf(programDirCp932);
    if (!folder) return;
    auto acquired = FileLock::Acquire(*folder + kWindowLockName, std::chrono::milliseconds(0));
    if (!acquired) return;
    first_ = acquired->has_value();
    if (first_) lock_ = std::move(*acquired);
}

void BringToFront(QWidget& window) {
    // A dialog open above the window is what the user has to answer first.
    QWidget* front = QApplication::activeModalWidget();
    if (front == nullptr) front = &window;
    if (front->isMinimized()) front->showNormal();
    front->raise();
    front->activateWindow();
}

}  // namespace qm
