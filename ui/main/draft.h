// The entry being written, kept in a file in the program folder while it is
// typed, so that nothing is lost when the window ends without a generate
// (Escape, the close questions) or the program or the machine stops.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_stamp.h"
#include "platform/native_path.h"
#include "settings/keys.h"

namespace qm {

class MainDialog;

// What the draft holds: the boxes as typed and what goes with them.
struct DraftContent {
    std::string setName;  // code page 932, as listed under INI
    QString title;
    QString body;
    QString imageName;
    QString altText;
    std::vector<std::string> imageUploadList;  // code page 932, the chosen images' full paths

    // Nothing typed and no image chosen: there is nothing to keep.
    bool IsEmpty() const;
};

// The file's bytes: a first line naming the format, then each field as a
// line "name length" followed by that many bytes and a line end. The texts
// are UTF-8, so a character Shift-JIS lacks is kept as typed; the images are
// one code page 932 command line of quoted paths, as drafts have always kept them.
std::string SerializeDraft(const DraftContent& draft);
// std::nullopt for anything that is not a whole draft of this format.
std::optional<DraftContent> ParseDraft(std::string_view bytes);

// Watches the main window's boxes and writes the draft (temporary file and
// rename) a moment after the last change; puts a draft back at start-up.
class DraftKeeper : public QObject {
    Q_OBJECT
  public:
    // How long after the last change the draft is written.
    static constexpr int kDelayMs = 1000;

    explicit DraftKeeper(MainDialog& window);

    // The draft file of the window's program folder (code page 932 path).
    std::string Path() const;

    // Puts a stored draft back into the window's boxes, choosing its set when
    // the list still holds it; true when there was one.
    bool Restore();
    // A change the boxes' own signals do not show (another image chosen).
    void NoteChange();
    // Writes a pending change at once (the window is ending).
    void SaveNow();
    // The entry is in the page: the draft has done its work.
    void Discard();

  private:
    // A draft file by the name the user is shown (code page 932) and the
    // file system's.
    struct DraftFile {
        std::string shown;
        NativePath native;
    };

    void Save();
    DraftContent Collect() const;
    NativePath NativeFile() const;
    // Where this window's draft goes: the draft file, or the file beside it
    // once another process wrote the draft file after this window did.
    DraftFile WriteFile();

    MainDialog& window_;
    QTimer timer_;
    bool restoring_ = false;
    bool discarded_ = false;
    bool failureShown_ = false;
    // The draft file as this window last read or wrote it (none: no file).
    std::optional<FileStamp> seen_;
    DraftFile aside_;  // none (empty) until another process wrote the draft file
};

}  // namespace qm
