// The main window's commands that start other programs or open the settings
// and do not build HTML. Every modal box goes through `io`, every program
// start through `host`.
#pragma once

#include <string_view>

#include "ui/config/manuals.h"

class QLineEdit;
class QWidget;

namespace qm {

struct ActiveConfig;
struct RunState;
class Host;
class Interaction;

// 1002 "FTP設定": the upload tool with "/set", which shows its own settings.
void StartUploaderSetup(const ActiveConfig& config, Host& host);

// 1003 "ファイルパス指定": the path settings, then today's page is selected again
// with the split mode chosen there, however the dialog was closed.
void EditFilePaths(QWidget* parent, ActiveConfig& config, RunState& run, Interaction& io,
                   Host& host);

// 1004 "テンプレート編集" and 1017 "ＨＴＭＬ原型編集": the template or the page
// that receives the next entry, in a Shift-JIS text editor of its own process.
void EditTemplate(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host);
void EditDiaryPage(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host);

// The editor is "quillmaker edit FILE", or the program named by this
// environment variable, started with the file as its one argument.
inline constexpr const char* kEditorVariable = "QUILLMAKER_EDITOR";
void OpenInTextEditor(QWidget* parent, std::string_view fileCp932, Interaction& io, Host& host);

// 1007 "ＱＭとりせつ" is OpenTextManual (manuals.h).

// 1034 "参照": an image for the entry. Its full path joins run.imageUploadList
// and its web copy run.webImages; the name the page gives the copy goes into
// `imageBox` (1032), with the copy's size as its tip, and `altBox` (1033) is
// enabled. False when the user cancelled or no copy can be made (said so).
// The chooser starts beside the diary page.
bool ChooseEntryImage(QWidget* parent, const ActiveConfig& config, RunState& run,
                      QLineEdit& imageBox, QWidget& altBox, Interaction& io);

}  // namespace qm
