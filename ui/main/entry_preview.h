// The preview of the entry being written: the page that would receive it,
// with the entry in place, opened in the default browser. The preview file
// lives in a temporary folder of its own, outside the diary folder, and goes
// when this object does (the program's end).
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

class QWidget;

namespace qm {

struct ActiveConfig;
struct EntryInput;
struct RunState;
class WindowHost;
class Interaction;

class EntryPreview {
  public:
    EntryPreview();
    ~EntryPreview();

    // Composes the entry as "Do It !!!" would, writes the page with it into
    // the preview file and starts the browser on it. False, after a message,
    // when nothing could be shown.
    bool Show(QWidget* parent, const ActiveConfig& config, const RunState& run,
              const EntryInput& input, WindowHost& host, Interaction& io);

    // The file the last preview was written to; empty before the first.
    QString filePath() const { return filePath_; }

  private:
    std::unique_ptr<QTemporaryDir> folder_;
    QString filePath_;
};

}  // namespace qm
