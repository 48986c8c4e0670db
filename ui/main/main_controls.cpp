#include "ui/main/main_controls.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <optional>

#include "ui/common/interaction.h"
#include "ui/config/config_commands.h"
#include "ui/config/config_dialogs.h"
#include "ui/config/manuals.h"
#include "ui/main/draft.h"
#include "ui/main/main_dialog.h"
#include "ui/tags/tag_builders.h"

namespace qm {

namespace {

void WrapWith(MainDialog& w, const std::optional<TagWrap>& wrap) {
    if (wrap) w.WrapBodySelection(wrap->open, wrap->close);
}

// The commands, one per button.
void Generate(MainDialog& w) { w.Generate(); }
void Preview(MainDialog& w) { w.ShowPreview(); }
void StoreUploadChoice(MainDialog& w) { w.StoreUploadChoice(); }
void EditTags(MainDialog& w) { w.EditTags(); }
void FocusBody(MainDialog& w) { w.bodyEdit()->setFocus(); }
void BuildAnchor(MainDialog& w) { WrapWith(w, RunAnchorTagDialog(&w, w.interaction())); }
void BuildFont(MainDialog& w) { WrapWith(w, RunFontTagDialog(&w, w.interaction())); }

void BuildImage(MainDialog& w) {
    WrapWith(w, RunImageTagDialog(&w, w.interaction(), w.config(), w.runState(),
                                  ChooserStartFolder(w.config().diaryPage)));
}

void SetUpUploader(MainDialog& w) { StartUploaderSetup(w.config(), w.host()); }

void ChooseFilePaths(MainDialog& w) {
    EditFilePaths(&w, w.config(), w.runState(), w.interaction(), w.host());
}

void OpenDiaryPage(MainDialog& w) { EditDiaryPage(&w, w.config(), w.interaction(), w.host()); }
void OpenTemplate(MainDialog& w) { EditTemplate(&w, w.config(), w.interaction(), w.host()); }
void OpenManual(MainDialog& w) { OpenTextManual(&w, w.interaction(), w.host()); }

void BrowseImage(MainDialog& w) {
    // The same name chosen twice changes no box, but the image list grows.
    if (ChooseEntryImage(&w, w.config(), w.runState(), *w.imageNameEdit(), *w.altTextEdit(),
                         w.interaction())) {
        w.draft().NoteChange();
    }
}

void AddSet(MainDialog& w) {
    RunSetManagerDialog(&w, w.config(), w.setManagerMemory(), w.interaction(), w.host());
    // Whatever happened there, the list, the selection and the paths are read again.
    w.LoadConfiguration();
}

using enum ControlKind;
using enum Dock;

// As the window reads, the tab walk goes: the entry from top to bottom, the
// column beside it, the two bottom rows from left to right, "Do It !!!" last.
// The closed set list takes the height of the row it sits in. Enter outside
// the body moves there through the hidden button; its column takes the width
// of the button above it.
// clang-format off
constexpr ControlSpec kControls[] = {
    // id, kind, text, as drawn (dialog units), tab place, on a resize, command on a click
    {kIdTitle,         Line,          "",                 {21, 0, 237, 13},    1, {.dock = Widen},                          nullptr},
    {kIdBrowseImage,   Button,        "参照",             {125, 15, 21, 12},   2, {},                                        BrowseImage},
    {kIdAltText,       Line,          "",                 {162, 15, 96, 12},   3, {.dock = Widen},                          nullptr},
    {kIdImageName,     Line,          "",                 {42, 15, 82, 12},    0, {},                                        nullptr},
    {kIdBody,          Text,          "",                 {0, 27, 258, 231},   4, {.dock = Grow},                           nullptr},
    {kIdGenerate,      Button,        "Do It !!!",        {255, 262, 63, 24}, 19, {.dock = Corner},                          Generate},
    {kIdPreview,       Button,        "プレビュー",       {260, 249, 58, 12}, 18, {.dock = RightFoot},                       Preview},
    {kIdAnchorBuilder, FlatButton,    "リンク",           {260, 24, 58, 12},   7, {.dock = RightStack, .row = 2},            BuildAnchor},
    {kIdImageBuilder,  FlatButton,    "IMAGE",            {260, 36, 58, 12},   8, {.dock = RightStack, .row = 3},            BuildImage},
    {kIdFontBuilder,   FlatButton,    "Font",             {260, 48, 58, 12},   9, {.dock = RightStack, .row = 4},            BuildFont},
    {kIdUpload,        CheckBox,      "UPする",           {0, 261, 36, 12},   11, {.dock = BottomLeft, .row = 1},            StoreUploadChoice},
    {kIdFtpSettings,   Button,        "FTP設定",          {0, 274, 36, 12},   15, {.dock = BottomLeft},                      SetUpUploader},
    {kIdPathSettings,  Button,        "ファイルパス指定", {39, 274, 72, 12},  16, {.dock = BottomLeft, .column = 1},         ChooseFilePaths},
    {kIdAddSet,        Button,        "セット追加",       {112, 262, 42, 12}, 13, {.dock = BottomLeft, .column = 2, .row = 1}, AddSet},
    {kIdEditPage,      Button,        "ＨＴＭＬ原型編集", {177, 261, 69, 12}, 14, {.dock = Editors, .row = 1},               OpenDiaryPage},
    {kIdEditTemplate,  Button,        "テンプレート編集", {177, 274, 69, 12}, 17, {.dock = Editors},                         OpenTemplate},
    {kIdEditTags,      FlatButton,    "TAG編集",          {260, 12, 58, 12},   6, {.dock = RightStack, .row = 1},            EditTags},
    {kIdManual,        FlatButton,    "ＱＭとりせつ",     {260, 0, 58, 12},    5, {.dock = RightStack},                      OpenManual},
    {kIdSetList,       DropList,      "",                 {39, 261, 72, 12},  12, {.dock = BottomLeft, .column = 1, .row = 1}, nullptr},
    {kIdTagList,       List,          "",                 {260, 60, 58, 189}, 10, {.dock = RightFill},                       nullptr},
    {0,                Label,         "題名",             {2, 0, 18, 12},      0, {},                                        nullptr},
    {0,                Label,         "本文",             {2, 15, 18, 12},     0, {},                                        nullptr},
    {0,                Label,         "画像",             {21, 15, 18, 12},    0, {},                                        nullptr},
    {0,                Label,         "ALT",              {147, 15, 15, 12},   0, {},                                        nullptr},
    {kIdEnterToBody,   DefaultButton, "押したらタブだよ", {112, 274, 54, 12},  0, {.dock = BottomLeft, .column = 2},         FocusBody},
};
// clang-format on

}  // namespace

std::span<const ControlSpec> MainControls() { return kControls; }

}  // namespace qm
