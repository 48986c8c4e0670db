// One window per program folder: two windows on one diary would write over
// each other's draft. The first start holds a lock in the program folder and
// listens on a local socket; a later start asks it to come to the front.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <optional>
#include <string>

#include "platform/file_lock.h"

class QWidget;

namespace qm {

class SingleWindow : public QObject {
  public:
    explicit SingleWindow(const std::string& programDirCp932);

    // No other window is open on the folder (or the folder cannot be locked,
    // which must not keep the user from the diary).
    bool IsFirst() const { return first_; }
    // Asks the first window to come to the front; true when it answered.
    bool BringFirstToFront();
    // From now on a later start brings `window`, or the dialog open above it,
    // to the front.
    void ServeRequests(QWidget& window);

  private:
    std::optional<FileLock> lock_;
    bool first_ = true;
    QString serverName_;
    QLocalServer server_;
};

}  // namespace qm
