// What the main window calls: the configuration dialogs and the commands of
// its buttons that do not build HTML. Every modal box goes through `io`,
// every program start through `host`.
#pragma once

#include <string_view>

#include "ui/config/manuals.h"
#include "ui/config/set_manager_dialog.h"

class QLineEdit;
class QWidget;

namespace qm {

struct ActiveConfig;
struct RunState;
struct SystemState;
class Host;
class Interaction;

// The file path settings of the set named by config.configIniPath. True when
// closed with OK, false for Escape.
bool RunPathSettingsDialog(QWidget* parent, ActiveConfig& config, Interaction& io);

// The set manager; `memory` lives as long as the main window. True when
// closed with OK, false for Escape.
bool RunSetManagerDialog(QWidget* parent, ActiveConfig& config, SetManagerMemory& memory,
                         Interaction& io, Host& host);

// 1002 "FTP設定": the upload tool with "/set", which shows its own settings.
void StartUploaderSetup(QWidget* parent, const ActiveConfig& config, Interaction& io, Host& host);

// 1003 "ファイルパス指定": the path settings, then today's page is selected again
// with the split mode chosen there, however the dialog was closed.
void EditFilePaths(QWidget* parent, ActiveConfig& config, RunState& run, Interaction& io,
                   Host& host);

// 1029 "セット追加": the set manager, then the whole configuration is loaded
// again. The caller refills its set list from `state`; the result is
// LoadConfiguration's.
bool ManageConfigurationSets(QWidget* parent, ActiveConfig& config, RunState& run,
                             SystemState& state, SetManagerMemory& memory, Interaction& io,
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

// 1034 "参照": an image for the entry. Its full path joins run.imageUploadList,
// its file name goes into `imageBox` (1032) and `altBox` (1033) is enabled.
// False when the user cancelled or the path cannot be used.
bool ChooseEntryImage(QWidget* parent, RunState& run, QLineEdit& imageBox, QWidget& altBox,
                      Interaction& io);

}  // namespace qm
