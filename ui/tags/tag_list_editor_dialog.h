// The tag list editor ("TAG編集"): adds, changes and deletes the user's tags.
// Every change goes to the system settings file at once, so however the
// dialog is closed nothing is lost or undone.
#pragma once

#include <QDialog>
#include <string>

#include "settings/numbered_list.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace qm {

struct ActiveConfig;
class Interaction;

inline constexpr int kIdTagView = 1018;
inline constexpr int kIdTagName = 1019;
inline constexpr int kIdTagPrefix = 1020;
inline constexpr int kIdTagSuffix = 1021;
inline constexpr int kIdAddTag = 1011;
inline constexpr int kIdApplyTagEdit = 1022;
inline constexpr int kIdDeleteTag = 1012;

class TagListEditorDialog : public QDialog {
    Q_OBJECT
  public:
    // Only the record's system settings path is used; a failed write is
    // reported through `io`.
    TagListEditorDialog(const ActiveConfig& config, Interaction& io, QWidget* parent = nullptr);

    QTreeWidget* tagView() const { return view_; }
    QLineEdit* nameEdit() const { return name_; }
    QLineEdit* prefixEdit() const { return prefix_; }
    QLineEdit* suffixEdit() const { return suffix_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* applyEditButton() const { return apply_; }
    QPushButton* deleteButton() const { return delete_; }
    QPushButton* okButton() const { return ok_; }

    // Shows every tag, one row each; the count found is the next new number.
    void FillTagListView();

    void AddEntry();               // 1011 "追加"
    void ApplyEditToSelected();    // 1022 "編集実行"
    void DeleteSelected();         // 1012 "削除"
    void LoadSelectedIntoEdits();  // double click on a row

  private:
    int SelectedRow() const;
    TagEntry TypedEntry() const;
    void ClearEdits();

    std::string systemIniPath_;
    Interaction& io_;
    TagEntry loaded_;  // the entry last put into the boxes, as stored
    int count_ = 0;
    QTreeWidget* view_;
    QLineEdit* name_;
    QLineEdit* prefix_;
    QLineEdit* suffix_;
    QPushButton* add_;
    QPushButton* apply_;
    QPushButton* delete_;
    QPushButton* ok_;
};

}  // namespace qm
