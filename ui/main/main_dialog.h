// The program's one top-level window: the entry being written (title, body,
// image, alt text), the configuration sets, the tag list and the buttons
// around them. It owns the run's ActiveConfig and RunState and lends them to
// every dialog it opens.
//
// Construction builds the controls of main_controls.cpp and connects their
// commands. Whoever runs the window attaches the host's dialog openers, then
// calls Initialise() before the window is first shown.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/diary_page.h"
#include "engine/entry.h"
#include "engine/generate.h"
#include "settings/active_config.h"
#include "ui/config/set_manager_dialog.h"
#include "ui/main/main_controls.h"
#include "ui/main/window_host.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace qm {

class DraftKeeper;
class EntryPreview;
class Interaction;

class MainDialog : public QDialog {
    Q_OBJECT
  public:
    // The smallest outer size the user can drag the window to; also the size
    // of a first start.
    static constexpr int kMinimumWidth = kDefaultWindowWidth;
    static constexpr int kMinimumHeight = kDefaultWindowHeight;

    MainDialog(Interaction& interaction, std::string programDirCp932, QWidget* parent = nullptr);
    ~MainDialog() override;

    // Fresh configuration, the settings loaded (the set manager and the path
    // settings may open inside), the window's frame placed at the corner of
    // the screen's available area with its stored size (shrunk to the screen),
    // the upload box restored, the tag list filled. False when no configuration set could be
    // loaded; the window should then not be shown.
    bool Initialise();

    // Re-reads the system settings file: the set list, the active set (its
    // paths, through LoadPaths) and the stored window size. Neither moves nor
    // resizes the window. False, after the engine's message, when a set or a
    // path is missing and the host has no dialog to mend it.
    bool LoadConfiguration();
    bool LoadConfiguration(SystemState& state);
    void LoadTagListBox(SettingsFile systemFile);
    void WrapBodySelection(const QString& open, const QString& close);
    // Places the controls for the current client size; nothing happens when
    // that size is the one the last pass saw.
    void LayoutControls();
    // The three questions before closing; true when the user insists.
    bool ConfirmClose();
    void ShowAbout();
    // The commands of the window's own buttons.
    void Generate();
    void ShowPreview();
    void StoreUploadChoice();
    void EditTags();
    // Takes the chosen image off the entry and out of the upload.
    void ClearImage();
    // Makes set `index` the active one, as choosing it in the list does.
    void ChooseSet(int index);

    // Every control by its id (nullptr for an unknown id).
    QWidget* control(int id) const;
    QPushButton* button(int id) const;
    QLineEdit* titleEdit() const { return title_; }
    QPlainTextEdit* bodyEdit() const { return body_; }
    QLineEdit* imageNameEdit() const { return imageName_; }
    QLineEdit* altTextEdit() const { return altText_; }
    QCheckBox* uploadCheckBox() const { return upload_; }
    QComboBox* setList() const { return setList_; }
    QListWidget* tagList() const { return tagList_; }
    const std::vector<QLabel*>& labels() const { return labels_; }
    QAction* aboutAction() const { return about_; }

    ActiveConfig& config() { return config_; }
    RunState& runState() { return run_; }
    Interaction& interaction() { return interaction_; }
    WindowHost& host() { return host_; }
    DraftKeeper& draft() { return *draft_; }
    // The set manager opens where it was left, whichever button opened it.
    SetManagerMemory& setManagerMemory() { return setManagerMemory_; }

    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }

  public slots:
    void done(int result) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* CreateControl(const ControlSpec& spec);
    void CreateControls();
    void SetTabOrder();
    // The window's own menu entries (取り消し, About) are in every box's menu
    // too, so Shift+F10 or the menu key reach them wherever the focus is.
    void ShareWindowMenu();
    void ConnectHandlers();
    void FillSetList(const std::vector<std::string>& names);
    QRect AvailableArea() const;
    void PlaceAtStart();
    void ApplyOuterSize(int width, int height);
    void PlaceFramedWindow();
    void KeepMinimumSize();
    QSize FrameExtra() const;
    void SaveWindowSize();

    EntryInput TypedEntry() const;
    void OnTagListDoubleClick();
    void OnSetChosen(int index);

    Interaction& interaction_;
    WindowHost host_;
    std::string programDir_;
    ActiveConfig config_;
    RunState run_;
    SetManagerMemory setManagerMemory_;

    int windowWidth_ = kMinimumWidth;
    int windowHeight_ = kMinimumHeight;
    int lastClientWidth_ = -1;
    int lastClientHeight_ = -1;
    QSize startOuterSize_;
    QSize startClientSize_;
    QPoint placeCorner_;
    bool framePlaced_ = false;
    bool initialised_ = false;

    std::map<int, QWidget*> controls_;
    std::vector<QLabel*> labels_;
    QLineEdit* title_ = nullptr;
    QPlainTextEdit* body_ = nullptr;
    QLineEdit* imageName_ = nullptr;
    QLineEdit* altText_ = nullptr;
    QCheckBox* upload_ = nullptr;
    QComboBox* setList_ = nullptr;
    QListWidget* tagList_ = nullptr;
    QPushButton* enterToBody_ = nullptr;
    QAction* about_ = nullptr;
    DraftKeeper* draft_ = nullptr;
    std::unique_ptr<EntryPreview> preview_;
};

}  // namespace qm
