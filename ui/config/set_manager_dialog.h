// Creating and deleting configuration sets. While no set exists it shows a
// first-set view that explains what to do and offers the manuals and, when
// it is installed, a start from the example diary.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "settings/file_name_rules.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace qm {

struct ActiveConfig;
class Host;
class Interaction;

// What the set manager remembers between its openings, for the whole run.
struct SetManagerMemory {
    int knownSetCount = 0;         // sets counted by the last list read
    bool firstSetPending = false;  // the user was told no set exists; none made since
};

class SetManagerDialog : public QDialog {
    Q_OBJECT

  public:
    SetManagerDialog(ActiveConfig& config, SetManagerMemory& memory, Interaction& io, Host& host,
                     QWidget* parent = nullptr);

    // Where the example diary is (code page 932, ending in '/'); found
    // beside the program or where it is installed unless given here.
    void UseExampleFolder(std::optional<std::string> folderCp932);

  public slots:
    void accept() override;

  private:
    void BuildControls();
    void FillSetList();
    int ReadSetNames();
    enum class Added { Yes, Duplicate, NotWritten };
    Added AddSetName(const std::string& name);
    bool MoveSetFileToTrash(const std::string& name);
    void CreateSet();
    void DeleteSet();
    void StartFromExample();
    void ShowFirstSetView(bool firstSet);
    bool RefuseUnusableName(const std::string& name);
    void TellBadSetName(const QString& name, FileNameVerdict verdict);

    ActiveConfig& config_;
    SetManagerMemory& memory_;
    Interaction& io_;
    Host& host_;
    std::vector<std::string> names_;  // the list's entries as stored (Shift-JIS)
    std::optional<std::string> exampleFolder_;

    QListWidget* list_ = nullptr;        // 1020
    QLabel* explanation_ = nullptr;      // 1057
    QLineEdit* newName_ = nullptr;       // 1030
    QPushButton* delete_ = nullptr;      // 1031
    QPushButton* textManual_ = nullptr;  // 1055
    QPushButton* htmlManual_ = nullptr;  // 1056
    QPushButton* fromExample_ = nullptr;
    QPushButton* ok_ = nullptr;  // 1
};

}  // namespace qm
