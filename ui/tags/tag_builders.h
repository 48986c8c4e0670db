// The three tag builders of the main window: each runs its dialog and hands
// back the texts that go around the body's selection.
#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace qm {

class Interaction;
struct ActiveConfig;
struct RunState;

// What goes before and after the body's selection. Both empty still means
// "select the selection again".
struct TagWrap {
    QString open;
    QString close;
};

// std::nullopt on cancel. OK with nothing chosen gives an empty TagWrap.
std::optional<TagWrap> RunFontTagDialog(QWidget* parent, Interaction& io);

// std::nullopt on cancel and when href, target and name are all empty.
std::optional<TagWrap> RunAnchorTagDialog(QWidget* parent, Interaction& io);

// std::nullopt on cancel and when every text box is empty. When a path was
// given, its full code page 932 text joins run.imageUploadList and its web
// copy run.webImages; the tag names the copy. The close text is always
// empty: an image has no end tag. The file chooser starts in `startFolder`.
std::optional<TagWrap> RunImageTagDialog(QWidget* parent, Interaction& io,
                                         const ActiveConfig& config, RunState& run,
                                         const QString& startFolder);

// The longest prefix of `text` whose code page 932 form fits in `maxBytes`,
// never ending inside a character. A character code page 932 cannot hold
// counts as the numeric reference it will be written as.
QString CutToCp932Bytes(const QString& text, std::size_t maxBytes);

}  // namespace qm
