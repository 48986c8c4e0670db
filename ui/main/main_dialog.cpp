#include "ui/main/main_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextDocument>
#include <QWindow>
#include <algorithm>
#include <map>
#include <utility>

#include "engine/entry.h"
#include "engine/generate.h"
#include "engine/web_images.h"
#include "platform/path_text.h"
#include "settings/keys.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/settings_report.h"
#include "ui/main/about_dialog.h"
#include "ui/main/draft.h"
#include "ui/main/entry_preview.h"
#include "ui/main/main_controls.h"
#include "ui/tags/tag_list.h"
#include "ui/tags/tag_list_editor_dialog.h"

// Resources of a static library must be registered by hand, outside any namespace.
static void RegisterIconResource() { Q_INIT_RESOURCE(icon); }

namespace qm {

namespace {

constexpr std::string_view kEmptyEntryText = "題名も本文も空です。このまま書き込みますか？";
constexpr std::string_view kEmptyEntryCaption = "空っぽだよ";

QString IdName(int id) { return QStringLiteral("id%1").arg(id); }

QIcon ApplicationIcon() {
    RegisterIconResource();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icon/quillmaker-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icon/quillmaker-32.png"), QSize(32, 32));
    return icon;
}

}  // namespace

MainDialog::MainDialog(Interaction& interaction, std::string programDirCp932, QWidget* parent)
    : QDialog(parent),
      interaction_(interaction),
      host_(*this, interaction),
      programDir_(std::move(programDirCp932)) {
    setWindowTitle(QStringLiteral("くいるめいかー"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);
    setFont(MainWindowFont());
    setWindowIcon(ApplicationIcon());
    CreateControls();
    ConnectHandlers();
    draft_ = new DraftKeeper(*this);

    about_ = new QAction(QStringLiteral("Quillmaker のﾊﾞｰｼﾞｮﾝ情報(&A)..."), this);
    about_->setObjectName(QStringLiteral("aboutAction"));
    connect(about_, &QAction::triggered, this, &MainDialog::ShowAbout);
    // There is no window menu to extend here; the entry lives in the
    // window's own context menu instead.
    addAction(about_);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    const DialogUnits units(font());
    resize(units.ToPixelsX(layout::kInitialClient.width),
           units.ToPixelsY(layout::kInitialClient.height));
}

MainDialog::~MainDialog() = default;

QWidget* MainDialog::CreateControl(const ControlSpec& spec) {
    const QString text = QString::fromUtf8(spec.text);
    switch (spec.kind) {
        case ControlKind::Line:
            return new QLineEdit(this);
        case ControlKind::Text:
            return new QPlainTextEdit(this);
        case ControlKind::Button:
            return new QPushButton(text, this);
        case ControlKind::DefaultButton: {
            // A hidden default button is never pressed by the dialog itself:
            // keyPressEvent presses it.
            auto* button = new QPushButton(text, this);
            button->setDefault(true);
            button->setFocusPolicy(Qt::NoFocus);
            button->hide();
            return button;
        }
        case ControlKind::FlatButton: {
            auto* button = new QPushButton(text, this);
            button->setFlat(true);
            // A flat button shows no focus of its own: it takes its frame while it has the focus.
            button->installEventFilter(this);
            return button;
        }
        case ControlKind::CheckBox:
            return new QCheckBox(text, this);
        case ControlKind::DropList:
            return new QComboBox(this);
        case ControlKind::List:
            return new QListWidget(this);
        case ControlKind::Label: {
            auto* label = new QLabel(text, this);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setObjectName(QStringLiteral("label%1").arg(labels_.size()));
            labels_.push_back(label);
            return label;
        }
    }
    return nullptr;
}

void MainDialog::CreateControls() {
    const DialogUnits units(font());
    for (const ControlSpec& spec : MainControls()) {
        QWidget* widget = CreateControl(spec);
        const layout::Placement& at = spec.at;
        widget->setGeometry(units.ToPixels(at.x, at.y, at.width, at.height));
        if (spec.id > 0) {
            widget->setObjectName(IdName(spec.id));
            controls_[spec.id] = widget;
        }
    }
    title_ = qobject_cast<QLineEdit*>(control(kIdTitle));
    imageName_ = qobject_cast<QLineEdit*>(control(kIdImageName));
    imageName_->setReadOnly(true);
    imageName_->setFocusPolicy(Qt::ClickFocus);
    altText_ = qobject_cast<QLineEdit*>(control(kIdAltText));
    altText_->setEnabled(false);
    // A read-only box gets no clear button of its own.
    auto* clearImage = imageName_->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton),
                                             QLineEdit::TrailingPosition);
    clearImage->setObjectName(QStringLiteral("clearImageAction"));
    clearImage->setToolTip(QStringLiteral("画像を外す (Delete)"));
    clearImage->setVisible(false);
    connect(clearImage, &QAction::triggered, this, &MainDialog::ClearImage);
    connect(imageName_, &QLineEdit::textChanged, clearImage,
            [clearImage](const QString& text) { clearImage->setVisible(!text.isEmpty()); });
    body_ = qobject_cast<QPlainTextEdit*>(control(kIdBody));
    body_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    body_->setTabChangesFocus(true);
    upload_ = qobject_cast<QCheckBox*>(control(kIdUpload));
    setList_ = qobject_cast<QComboBox*>(control(kIdSetList));
    setList_->setEditable(false);
    setList_->setFocusPolicy(Qt::StrongFocus);
    setList_->installEventFilter(this);
    tagList_ = qobject_cast<QListWidget*>(control(kIdTagList));
    tagList_->setSortingEnabled(false);
    tagList_->setSelectionMode(QAbstractItemView::SingleSelection);
    enterToBody_ = button(kIdEnterToBody);
    ShareWindowMenu();
    SetTabOrder();
}

void MainDialog::SetTabOrder() {
    std::vector<const ControlSpec*> walk;
    for (const ControlSpec& spec : MainControls()) {
        if (spec.tab > 0) walk.push_back(&spec);
    }
    std::ranges::sort(walk, {}, &ControlSpec::tab);
    for (std::size_t i = 1; i < walk.size(); ++i) {
        setTabOrder(control(walk[i - 1]->id), control(walk[i]->id));
    }
}

void MainDialog::ConnectHandlers() {
    for (const ControlSpec& spec : MainControls()) {
        if (spec.command == nullptr) continue;
        auto* clickable = qobject_cast<QAbstractButton*>(control(spec.id));
        connect(clickable, &QAbstractButton::clicked, this,
                [this, command = spec.command] { command(*this); });
    }
    connect(tagList_, &QListWidget::itemDoubleClicked, this, &MainDialog::OnTagListDoubleClick);
    connect(setList_, &QComboBox::activated, this, &MainDialog::OnSetChosen);
    tagList_->installEventFilter(this);

    // Ctrl+Enter presses "Do It !!!" from anywhere, the body included; plain
    // Enter keeps its old meaning there.
    // (The keypad's Enter, reported with the keypad modifier, matches Ctrl+Enter too.)
    for (int key : {Qt::Key_Return, Qt::Key_Enter}) {
        connect(new QShortcut(QKeySequence(Qt::CTRL | key), this), &QShortcut::activated,
                button(kIdGenerate), &QPushButton::click);
    }
    auto* previewKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_P), this);
    connect(previewKey, &QShortcut::activated, button(kIdPreview), &QPushButton::click);
    // Shift+F10 opens the menu of whatever has the focus, as the menu key does;
    // what has no menu of its own passes it on to the window's.
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        QWidget* target = focusWidget() != nullptr ? focusWidget() : this;
        const QPoint at = target->rect().center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &menu);
    });
}

QWidget* MainDialog::control(int id) const {
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

QPushButton* MainDialog::button(int id) const { return qobject_cast<QPushButton*>(control(id)); }

bool MainDialog::Initialise() {
    InitConfig(config_, programDir_);
    run_ = RunState{};
    // The system file is read once for the whole start.
    SystemState state;
    if (!LoadConfiguration(state)) return false;
    PlaceAtStart();
    LayoutControls();
    if (config_.upFlag == 1) upload_->setChecked(true);
    LoadTagListBox(std::move(state.system));
    draft_->Restore();
    title_->setFocus();
    initialised_ = true;
    return true;
}

bool MainDialog::LoadConfiguration() {
    SystemState state;
    return LoadConfiguration(state);
}

bool MainDialog::LoadConfiguration(SystemState& state) {
    const bool loaded = qm::LoadConfiguration(config_, run_, state, host_);
    FillSetList(state.setNames);
    windowWidth_ = state.windowWidth;
    windowHeight_ = state.windowHeight;
    return loaded;
}

void MainDialog::FillSetList(const std::vector<std::string>& names) {
    const QSignalBlocker quiet(setList_);
    setList_->clear();
    for (const std::string& name : names) setList_->addItem(FromCp932(name));
    if (!names.empty()) setList_->setCurrentIndex(run_.currentSetIndex);
}

void MainDialog::LoadTagListBox(SettingsFile systemFile) {
    qm::LoadTagListBox(*tagList_, std::move(systemFile));
}

void MainDialog::WrapBodySelection(const QString& open, const QString& close) {
    qm::WrapBodySelection(*body_, open, close);
    // Back to the text just wrapped, so Ctrl+Z takes the wrap back at once.
    body_->setFocus();
}

// --- Size and placement ----------------------------------------------------

// Nothing before the window manager has framed the shown window: an unmapped
// window reports no usable frame (on X11 even a negative one).
QSize MainDialog::FrameExtra() const {
    if (!isVisible()) return {};
    const QSize extra = frameGeometry().size() - geometry().size();
    return extra.width() < 0 || extra.height() < 0 ? QSize() : extra;
}

QRect MainDialog::AvailableArea() const {
    const QScreen* shownOn = screen() != nullptr ? screen() : QGuiApplication::primaryScreen();
    return shownOn != nullptr ? shownOn->availableGeometry() : QRect();
}

void MainDialog::PlaceAtStart() {
    const QRect area = AvailableArea();
    QSize outer(windowWidth_, windowHeight_);
    // A size stored on a larger screen would hide the buttons along the edges.
    if (!area.isEmpty()) outer = outer.boundedTo(area.size());
    placeCorner_ = area.topLeft();
    framePlaced_ = false;
    // The frame's corner, not the client area's, goes to the corner: the window
    // manager is told so before the window is mapped (a message box or the set
    // manager may have made the native window already). PlaceFramedWindow
    // checks again once the window is framed.
    winId();
    windowHandle()->setFramePosition(placeCorner_);
    ApplyOuterSize(outer.width(), outer.height());
}

void MainDialog::ApplyOuterSize(int width, int height) {
    startOuterSize_ = QSize(width, height);
    const QSize extra = FrameExtra();
    startClientSize_ =
        QSize(std::max(1, width - extra.width()), std::max(1, height - extra.height()));
    resize(startClientSize_);
}

void MainDialog::PlaceFramedWindow() {
    if (framePlaced_ || !initialised_ || !isVisible()) return;
    // The frame is known once the window manager has put it around the window.
    if (FrameExtra().isNull()) return;
    framePlaced_ = true;
    // The stored size is the outer one; the client area gives the frame its
    // share, unless the user has sized the window already.
    if (size() == startClientSize_) {
        ApplyOuterSize(startOuterSize_.width(), startOuterSize_.height());
    }
    // The title bar belongs on the screen: the frame's corner, not the client
    // area's, goes to the corner of the available area.
    if (frameGeometry().topLeft() != placeCorner_) move(placeCorner_);
}

void MainDialog::KeepMinimumSize() {
    if (isMinimized() || isMaximized() || isFullScreen()) return;
    // The size given at start-up is used as read, however small.
    if (size() == startClientSize_) return;
    const QSize extra = FrameExtra();
    const QSize outer = size() + extra;
    const QSize wanted(std::max(outer.width(), kMinimumWidth),
                       std::max(outer.height(), kMinimumHeight));
    const QSize minimumClient = QSize(kMinimumWidth, kMinimumHeight) - extra;
    // The right and bottom edges give way, so the window keeps its top left corner.
    if (wanted != outer) resize(wanted - extra);
    // From here on the window manager holds every drag to the minimum.
    if (minimumSize() != minimumClient) setMinimumSize(minimumClient);
}

void MainDialog::LayoutControls() {
    const int cw = width();
    const int ch = height();
    if (cw == lastClientWidth_ && ch == lastClientHeight_) return;
    lastClientWidth_ = cw;
    lastClientHeight_ = ch;
    windowWidth_ = cw + FrameExtra().width();
    windowHeight_ = ch + FrameExtra().height();

    using namespace layout;
    // What the docks share: the right column's width, the bottom of its stack
    // and the top of its foot, the bottom block's top and its column widths
    // (a column is as wide as its top control).
    int columnWidth = 0;
    int stackBottom = 0;
    int footTop = ch - kTagListBottomGap;
    int blockTop = ch;
    std::map<int, std::pair<int, int>> blockColumns;  // column -> top row, width
    for (const ControlSpec& spec : MainControls()) {
        const QWidget* widget = control(spec.id);
        const Resize& r = spec.resize;
        if (r.dock == Dock::RightStack) {
            columnWidth = widget->width();
            stackBottom = std::max(stackBottom, (r.row + 1) * widget->height());
        } else if (r.dock == Dock::RightFoot) {
            footTop = ch - kTagListBottomGap - widget->height();
        } else if (r.dock == Dock::BottomLeft) {
            blockTop = std::min(blockTop, ch - (r.row + 1) * widget->height());
            auto [column, added] = blockColumns.try_emplace(r.column, r.row, widget->width());
            if (!added && r.row > column->second.first) column->second = {r.row, widget->width()};
        }
    }
    const int bodyRight = cw - columnWidth - kRightColumnGap;
    // The rows above the body keep their drawn places, in the window font's units.
    const DialogUnits units(font());

    for (const ControlSpec& spec : MainControls()) {
        QWidget* widget = control(spec.id);
        const Resize& r = spec.resize;
        const int w = widget != nullptr ? widget->width() : 0;
        const int h = widget != nullptr ? widget->height() : 0;
        switch (r.dock) {
            case Dock::Stays:
                break;
            case Dock::RightStack:
                widget->setGeometry(cw - w, r.row * h, w, h);
                break;
            case Dock::RightFill:
                widget->setGeometry(cw - columnWidth, stackBottom, columnWidth,
                                    footTop - stackBottom);
                break;
            case Dock::RightFoot:
                widget->setGeometry(cw - w, footTop, w, h);
                break;
            case Dock::Corner:
                widget->setGeometry(cw - kGenerateWidth, ch - kGenerateBottomGap, kGenerateWidth,
                                    kGenerateHeight);
                break;
            case Dock::Editors:
                widget->setGeometry(cw - w - kEditButtonsRightGap, ch - (r.row + 1) * h, w, h);
                break;
            case Dock::BottomLeft: {
                int x = 0;
                for (const auto& [column, top] : blockColumns) {
                    if (column == r.column) break;
                    x += top.second + kBottomBlockGap;
                }
                widget->setGeometry(x, ch - (r.row + 1) * h, blockColumns[r.column].second, h);
                break;
            }
            case Dock::Widen:
            case Dock::Grow: {
                const int left = units.ToPixelsX(spec.at.x);
                const int top = units.ToPixelsY(spec.at.y);
                const int bottom = r.dock == Dock::Grow ? blockTop - 1 : top + h;
                widget->setGeometry(left, top, bodyRight - left, bottom - top);
                break;
            }
        }
    }

    update();
}

void MainDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (initialised_) KeepMinimumSize();
    LayoutControls();
}

bool MainDialog::event(QEvent* event) {
    const bool result = QDialog::event(event);
    if (event->type() == QEvent::Move || event->type() == QEvent::WindowActivate) {
        PlaceFramedWindow();
    }
    return result;
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        if (auto* flat = qobject_cast<QPushButton*>(watched)) {
            flat->setFlat(event->type() == QEvent::FocusOut);
        }
    }
    // Enter or Space on a tag wraps the body's selection, as a double click does.
    if (watched == tagList_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                      key->key() == Qt::Key_Space)) {
            OnTagListDoubleClick();
            return true;
        }
    }
    // Ctrl+Shift+Z is the window's "取り消し", not the boxes' second redo key (Ctrl+Y stays).
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->keyCombination() ==
            QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)) {
        return true;
    }
    if (watched == imageName_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            ClearImage();
            return true;
        }
    }
    // Scrolling over the set list must not switch sets unless the list was
    // chosen first: a switch reloads everything and may open dialogs.
    if (watched == setList_ && event->type() == QEvent::Wheel && !setList_->hasFocus()) {
        event->ignore();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void MainDialog::SaveWindowSize() {
    if (!initialised_) return;
    const bool written = WriteKey(config_.systemIniPath, syskeys::kWidth, windowWidth_) &&
                         WriteKey(config_.systemIniPath, syskeys::kHeight, windowHeight_);
    ReportIfNotWritten(written, config_.systemIniPath, this, interaction_);
}

// --- Endings ---------------------------------------------------------------

void MainDialog::done(int result) {
    // Every ending passes here: a generate, Escape, or the close box once answered.
    draft_->SaveNow();
    SaveWindowSize();
    QDialog::done(result);
}

bool MainDialog::ConfirmClose() {
    using Answer = Interaction::Answer;
    using Buttons = Interaction::Buttons;
    using Icon = Interaction::Icon;
    if (interaction_.Message(this, QStringLiteral("なに？日記書かないつもり？"),
                             QStringLiteral("え？"), Buttons::YesNo, Icon::None) != Answer::Yes) {
        return false;
    }
    if (interaction_.Message(this, QStringLiteral("ホントは書きたいんでしょ？？"),
                             QStringLiteral("本気で？"), Buttons::YesNo,
                             Icon::None) != Answer::No) {
        return false;
    }
    interaction_.Message(this, QStringLiteral("私は遊びだったのね･ﾟ･（ﾉД`）･ﾟ･"),
                         QStringLiteral("もぅぃぃょ、、、"), Buttons::Ok, Icon::None);
    return true;
}

void MainDialog::closeEvent(QCloseEvent* event) {
    if (!ConfirmClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // A hidden default button is never pressed by the dialog itself.
        enterToBody_->click();
        return;
    }
    if (plain && event->key() == Qt::Key_Escape && focusWidget() == body_) {
        // Escape in the body asks to close rather than ending at once, so a
        // stray key press there cannot throw the entry away.
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

// --- Handlers --------------------------------------------------------------

EntryInput MainDialog::TypedEntry() const {
    EntryInput input;
    input.title = ToCp932WithReferences(title_->text());
    input.body = EditTextToCp932(body_->document()->toRawText());
    input.imageName = ToCp932WithReferences(imageName_->text());
    input.altText = ToCp932WithReferences(altText_->text());
    input.upload = upload_->checkState() != Qt::Unchecked;
    return input;
}

void MainDialog::Generate() {
    if (title_->text().isEmpty() && body_->document()->isEmpty() &&
        interaction_.Message(this, Ui(kEmptyEntryText), Ui(kEmptyEntryCaption),
                             Interaction::Buttons::YesNo,
                             Interaction::Icon::Question) != Interaction::Answer::Yes) {
        return;
    }
    if (GenerateCommand(config_, run_, TypedEntry(), host_) == GenerateResult::Failed) return;
    draft_->Discard();
    done(QDialog::Accepted);
}

void MainDialog::ShowPreview() {
    if (!preview_) preview_ = std::make_unique<EntryPreview>();
    preview_->Show(this, config_, run_, TypedEntry(), host_, interaction_);
}

void MainDialog::StoreUploadChoice() {
    const int up = upload_->checkState() != Qt::Unchecked ? 1 : 0;
    ReportIfNotWritten(WriteKey(config_.systemIniPath, syskeys::kUp, up), config_.systemIniPath,
                       this, interaction_);
}

void MainDialog::ShareWindowMenu() {
    for (QWidget* box : {static_cast<QWidget*>(title_), static_cast<QWidget*>(body_),
                         static_cast<QWidget*>(imageName_), static_cast<QWidget*>(altText_)}) {
        box->installEventFilter(this);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& at) {
            auto* line = qobject_cast<QLineEdit*>(box);
            std::unique_ptr<QMenu> menu(line != nullptr ? line->createStandardContextMenu()
                                                        : body_->createStandardContextMenu(at));
            menu->addSeparator();
            menu->addActions(actions());
            menu->exec(box->mapToGlobal(at));
        });
    }
}

void MainDialog::ClearImage() {
    // The image chosen last under this name leaves the upload: a picture taken
    // off the entry is not published.
    if (const auto name = TryToCp932(imageName_->text())) {
        // The box names the copy; an image chosen before the window was last
        // closed has none yet and is found by its file name.
        const auto& copies = run_.webImages;
        const auto copy = std::find_if(copies.rbegin(), copies.rend(),
                                       [&](const WebImage& image) { return image.src == *name; });
        const std::string fileName = "/" + FileNamePart(*name);
        auto& images = run_.imageUploadList;
        const auto last =
            std::find_if(images.rbegin(), images.rend(), [&](const std::string& path) {
                return copy != copies.rend() ? path == copy->original : path.ends_with(fileName);
            });
        if (last != images.rend()) images.erase(std::next(last).base());
    }
    imageName_->clear();
    draft_->NoteChange();
}

void MainDialog::EditTags() {
    TagListEditorDialog editor(config_, interaction_, this);
    interaction_.RunDialog(editor);
    LoadTagListBox(SettingsFile::LoadOrEmpty(config_.systemIniPath));
}

void MainDialog::OnTagListDoubleClick() {
    if (auto tag = CurrentTagEntry(*tagList_, config_.systemIniPath)) {
        WrapBodySelection(FromCp932(tag->prefix), FromCp932(tag->suffix));
    }
}

void MainDialog::OnSetChosen(int index) {
    if (index < 0 || index == run_.currentSetIndex) return;
    run_.currentSetIndex = index;
    // The reload reads the choice back from the file, so when it could not be
    // stored the set in use stays the one the file names.
    ReportIfNotWritten(WriteKey(config_.systemIniPath, syskeys::kCurrent, index),
                       config_.systemIniPath, this, interaction_);
    LoadConfiguration();
}

void MainDialog::ChooseSet(int index) {
    const QSignalBlocker quiet(setList_);
    setList_->setCurrentIndex(index);
    OnSetChosen(index);
}

void MainDialog::ShowAbout() {
    AboutDialog about(this);
    interaction_.RunDialog(about);
}

}  // namespace qm
