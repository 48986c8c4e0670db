#include "ui/config/feed_settings_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/feed.h"
#include "engine/messages.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/interaction.h"
#include "ui/common/settings_report.h"

namespace qm {

namespace {

QLineEdit* MakeField(const char* id, const std::string& valueCp932, QWidget* parent) {
    auto* field = new QLineEdit(FromCp932(valueCp932), parent);
    field->setObjectName(id);
    return field;
}

}  // namespace

FeedSettingsDialog::FeedSettingsDialog(ActiveConfig& config, Interaction& io, QWidget* parent)
    : QDialog(parent), config_(config), io_(io) {
    setWindowTitle(Ui(msg::kFeedSettingsCaption));
    setFont(DialogFont());
    file_ = MakeField("feedFile", config_.feed.file, this);
    file_->setPlaceholderText(Ui("空ならフィードは作りません（例：atom.xml）"));
    site_ = MakeField("feedSite", config_.feed.site, this);
    site_->setPlaceholderText(QStringLiteral("https://example.org/diary/"));
    title_ = MakeField("feedTitle", config_.feed.title, this);
    title_->setPlaceholderText(Ui("空なら設定セットの名前"));
    count_ = new QSpinBox(this);
    count_->setObjectName("feedCount");
    count_->setRange(1, feedkeys::kMaxCount);
    count_->setValue(config_.feed.count);

    auto* note =
        new QLabel(Ui("日記を書くたびに、新しい日記から順にフィード（Atom）に入れます。\n"
                      "日記原型の<head>に次の一行を入れると、読む人のリーダーが見つけてくれます：\n"
                      "<link rel=\"alternate\" type=\"application/atom+xml\" href=\"ファイル名\">"),
                   this);
    note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* form = new QFormLayout;
    form->addRow(Ui("フィードのファイル名"), file_);
    form->addRow(Ui("日記フォルダのアドレス"), site_);
    form->addRow(Ui("フィードの題名"), title_);
    form->addRow(Ui("残す日記の数"), count_);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(Ui("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("id1");
    ok->setDefault(true);
    buttons->addButton(Ui("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole)->setObjectName("id2");
    connect(buttons, &QDialogButtonBox::accepted, this, &FeedSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FeedSettingsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void FeedSettingsDialog::accept() {
    FeedSettings feed;
    const auto file = TryToCp932(file_->text());
    const auto site = TryToCp932(site_->text().trimmed());
    // The title is shown as text in a reader: a character Shift-JIS lacks
    // would come out as its reference, so it is refused like a file name's.
    const auto title = TryToCp932(title_->text());
    std::string_view problem = msg::kNameNotCp932Reason;
    if (file && site && title) {
        feed = {*file, *site, *title, count_->value()};
        problem = FeedSettingsProblem(config_, feed);
    }
    if (!problem.empty()) {
        io_.Message(this, Ui(problem), Ui(msg::kFeedSettingsCaption));
        return;
    }
    if (!ReportIfNotWritten(WriteFeedSettings(config_.configIniPath, feed), config_.configIniPath,
                            this, io_)) {
        return;
    }
    config_.feed = feed;
    config_.native.feed = feed.file.empty() ? FileResult<NativePath>(NoFileName())
                                            : NativePathOf(config_.diaryFolder + feed.file);
    QDialog::accept();
}

}  // namespace qm
