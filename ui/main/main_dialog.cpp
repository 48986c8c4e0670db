#include "ui/main/main_dialog.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "engine/entry.h"
#include "engine/generate.h"
#include "settings/keys.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/settings_report.h"
#include "ui/main/about_dialog.h"
#include "ui/main/draft.h"
#include "ui/main/entry_preview.h"
#include "ui/main/main_layout.h"
#include "ui/tags/tag_list.h"
#include "ui/tags/tag_list_editor_dialog.h"

// Resources of a static library must be registered by hand, outside any namespace.
static void RegisterIconResource() { Q_INIT_RESOURCE(icon); }

namespace qm {

namespace {

using layout::Placement;

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

void MainDialog::CreateControls() {
    const DialogUnits units(font());
    auto place = [&](QWidget* widget, int id, Placement at) {
        widget->setGeometry(units.ToPixels(at.x, at.y, at.width, at.height));
        if (id > 0) {
            widget->setObjectName(IdName(id));
            controls_[id] = widget;
        }
    };
    auto pushButton = [&](int id, const char* caption, Placement at, bool flat) {
        auto* button = new QPushButton(QString::fromUtf8(caption), this);
        button->setFlat(flat);
        // A flat button shows no focus of its own: it takes its frame while it has the focus.
        if (flat) button->installEventFilter(this);
        place(button, id, at);
        return button;
    };
    auto label = [&](const char* caption, Placement at) {
        auto* text = new QLabel(QString::fromUtf8(caption), this);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        text->setObjectName(QStringLiteral("label%1").arg(labels_.size()));
        place(text, 0, at);
        labels_.push_back(text);
    };

    // Creation order is the focus order.
    title_ = new QLineEdit(this);
    place(title_, kIdTitle, layout::kTitle);

    pushButton(kIdBrowseImage, "参照", layout::kBrowseImage, false);

    altText_ = new QLineEdit(this);
    altText_->setEnabled(false);
    place(altText_, kIdAltText, layout::kAltText);

    imageName_ = new QLineEdit(this);
    imageName_->setReadOnly(true);
    imageName_->setFocusPolicy(Qt::ClickFocus);
    place(imageName_, kIdImageName, layout::kImageName);

    body_ = new QPlainTextEdit(this);
    body_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    body_->setTabChangesFocus(true);
    place(body_, kIdBody, layout::kBody);

    pushButton(kIdGenerate, "Do It !!!", layout::kGenerate, false);
    pushButton(kIdPreview, "プレビュー", layout::kPreview, false);
    pushButton(kIdAnchorBuilder, "リンク", layout::kAnchorBuilder, true);
    pushButton(kIdImageBuilder, "IMAGE", layout::kImageBuilder, true);
    pushButton(kIdFontBuilder, "Font", layout::kFontBuilder, true);

    upload_ = new QCheckBox(QStringLiteral("UPする"), this);
    place(upload_, kIdUpload, layout::kUpload);

    pushButton(kIdFtpSettings, "FTP設定", layout::kFtpSettings, false);
    pushButton(kIdPathSettings, "ファイルパス指定", layout::kPathSettings, false);
    pushButton(kIdAddSet, "セット追加", layout::kAddSet, false);
    pushButton(kIdEditPage, "ＨＴＭＬ原型編集", layout::kEditPage, false);
    pushButton(kIdEditTemplate, "テンプレート編集", layout::kEditTemplate, false);
    pushButton(kIdEditTags, "TAG編集", layout::kEditTags, true);
    pushButton(kIdManual, "ＱＭとりせつ", layout::kManual, true);

    setList_ = new QComboBox(this);
    setList_->setEditable(false);
    setList_->setFocusPolicy(Qt::StrongFocus);
    setList_->installEventFilter(this);
    // The closed box takes the height of the row it sits in.
    place(setList_, kIdSetList, layout::kSetList);

    tagList_ = new QListWidget(this);
    tagList_->setSortingEnabled(false);
    tagList_->setSelectionMode(QAbstractItemView::SingleSelection);
    place(tagList_, kIdTagList, layout::kTagList);

    label("題名", layout::kTitleLabel);
    label("本文", layout::kBodyLabel);
    label("画像", layout::kImageLabel);
    label("ALT", layout::kAltLabel);

    enterToBody_ = pushButton(kIdEnterToBody, "押したらタブだよ", layout::kEnterToBody, false);
    enterToBody_->setDefault(true);
    enterToBody_->setFocusPolicy(Qt::NoFocus);
    enterToBody_->hide();

    SetTabOrder();
}

void MainDialog::SetTabOrder() {
    // As the window reads: the entry from top to bottom, the column beside
    // it, the two bottom rows from left to right, and "Do It !!!" last.
    static constexpr int kOrder[] = {
        kIdTitle,        kIdBrowseImage,   kIdAltText,      kIdBody,        kIdManual,
        kIdEditTags,     kIdAnchorBuilder, kIdImageBuilder, kIdFontBuilder, kIdTagList,
        kIdUpload,       kIdSetList,       kIdAddSet,       kIdEditPage,    kIdFtpSettings,
        kIdPathSettings, kIdEditTemplate,  kIdPreview,      kIdGenerate};
    for (std::size_t i = 1; i < std::size(kOrder); ++i) {
        setTabOrder(control(kOrder[i - 1]), control(kOrder[i]));
    }
}

void MainDialog::ConnectHandlers() {
    connect(button(kIdGenerate), &QPushButton::clicked, this, &MainDialog::OnGenerate);
    connect(upload_, &QCheckBox::clicked, this, &MainDialog::OnUploadClicked);
    connect(button(kIdEditTags), &QPushButton::clicked, this, &MainDialog::OnEditTags);
    connect(tagList_, &QListWidget::itemDoubleClicked, this, &MainDialog::OnTagListDoubleClick);
    connect(setList_, &QComboBox::activated, this, &MainDialog::OnSetChosen);
    connect(enterToBody_, &QPushButton::clicked, this, &MainDialog::OnEnterToBody);
    connect(button(kIdPreview), &QPushButton::clicked, this, &MainDialog::OnPreview);
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
    // Right column, anchored to the right edge.
    QWidget* manual = control(kIdManual);
    const int w1 = manual->width();
    const int h1 = manual->height();
    const int xr = cw - w1 - kRightColumnGap;
    const int columnTop = kRightColumnButtons * h1;
    int row = 0;
    for (int id : {kIdManual, kIdEditTags, kIdAnchorBuilder, kIdImageBuilder, kIdFontBuilder}) {
        control(id)->setGeometry(cw - w1, row++ * h1, w1, h1);
    }
    const int previewTop = ch - kTagListBottomGap - h1;
    control(kIdTagList)->setGeometry(cw - w1, columnTop, w1, previewTop - columnTop);
    control(kIdPreview)->setGeometry(cw - w1, previewTop, w1, h1);

    control(kIdGenerate)
        ->setGeometry(cw - kGenerateWidth, ch - kGenerateBottomGap, kGenerateWidth,
                      kGenerateHeight);

    QWidget* editPage = control(kIdEditPage);
    const int w2 = editPage->width();
    const int h2 = editPage->height();
    editPage->setGeometry(cw - w2 - kEditButtonsRightGap, ch - 2 * h2, w2, h2);
    control(kIdEditTemplate)->setGeometry(cw - w2 - kEditButtonsRightGap, ch - h2, w2, h2);

    // Bottom left block, two rows.
    const int w3 = upload_->width();
    const int h3 = upload_->height();
    upload_->setGeometry(0, ch - 2 * h3, w3, h3);
    control(kIdFtpSettings)->setGeometry(0, ch - h3, w3, h3);
    const int w4 = setList_->width();
    const int secondColumn = w3 + kBottomBlockGap;
    setList_->setGeometry(secondColumn, ch - 2 * h3, w4, h3);
    control(kIdPathSettings)->setGeometry(secondColumn, ch - h3, w4, h3);
    QWidget* addSet = control(kIdAddSet);
    const int w5 = addSet->width();
    const int thirdColumn = secondColumn + w4 + kBottomBlockGap;
    addSet->setGeometry(thirdColumn, ch - 2 * h3, w5, h3);
    enterToBody_->setGeometry(thirdColumn, ch - h3, w5, h3);

    title_->setGeometry(kTitleLeft, 0, xr - kTitleLeft, title_->height());
    altText_->setGeometry(kAltTextLeft, kAltTextTop, xr - kAltTextLeft, altText_->height());
    body_->setGeometry(0, kBodyTop, xr, (ch - 2 * h3 - 1) - kBodyTop);

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

void MainDialog::OnGenerate() {
    if (GenerateCommand(config_, run_, TypedEntry(), host_) == GenerateResult::Failed) return;
    draft_->Discard();
    done(QDialog::Accepted);
}

void MainDialog::OnPreview() {
    if (!preview_) preview_ = std::make_unique<EntryPreview>();
    preview_->Show(this, config_, run_, TypedEntry(), host_, interaction_);
}

void MainDialog::OnUploadClicked() {
    const int up = upload_->checkState() != Qt::Unchecked ? 1 : 0;
    ReportIfNotWritten(WriteKey(config_.systemIniPath, syskeys::kUp, up), config_.systemIniPath,
                       this, interaction_);
}

void MainDialog::OnEditTags() {
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

void MainDialog::OnEnterToBody() { body_->setFocus(); }

void MainDialog::ShowAbout() {
    AboutDialog about(this);
    interaction_.RunDialog(about);
}

}  // namespace qm
