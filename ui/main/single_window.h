// One window per program folder: two windows on one diary would write over
// each other's draft. The first start holds a lock in the program folder and
// listens for later starts; a later start asks it to come to the front. How
// the two talk is the system's own: a local socket, or on Windows a hidden
// message window.
#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_lock.h"

class QWidget;

namespace qm {

class SingleWindow {
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
    class Listener;  // what hears the later starts, while the window is open
    struct ListenerEnd {
        void operator()(Listener* listener) const;
    };

    std::optional<FileLock> lock_;
    bool first_ = true;
    QString channelName_;
    std::unique_ptr<Listener, ListenerEnd> listener_;
};

}  // namespace qm
