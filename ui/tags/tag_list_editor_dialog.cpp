#include "ui/tags/tag_list_editor_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "platform/encoding.h"
#include "settings/active_config.h"
#include "settings/keys.h"
#include "ui/common/cp932_text.h"
#include "ui/common/dialog_fonts.h"
#include "ui/common/settings_report.h"

namespace qm {

namespace {

QString IdName(int id) { return QStringLiteral("id%1").arg(id); }

// The box's text as stored: code page 932 (the loaded bytes while the box
// still shows them), at most `maxBytes`, never ending in half a character.
std::string StoredText(const QLineEdit& edit, std::string_view loaded, std::size_t maxBytes) {
    std::string text = FieldTextToCp932(edit.text(), loaded);
    text.resize(Cp932PrefixLength(text, maxBytes));
    return text;
}

}  // namespace

TagListEditorDialog::TagListEditorDialog(const ActiveConfig& config, Interaction& io,
                                         QWidget* parent)
    : QDialog(parent), systemIniPath_(config.systemIniPath), io_(io) {
    setWindowTitle(QStringLiteral("TAG編集"));
    setFont(DialogFont());

    view_ = new QTreeWidget(this);
    view_->setObjectName(IdName(kIdTagView));
    view_->setColumnCount(3);
    view_->setHeaderLabels(
        {QStringLiteral("Index"), QStringLiteral("Prefix"), QStringLiteral("Suffix")});
    view_->header()->setStretchLastSection(false);
    view_->setColumnWidth(0, 70);
    view_->setColumnWidth(1, 130);
    view_->setColumnWidth(2, 130);
    view_->setRootIsDecorated(false);
    view_->setItemsExpandable(false);
    view_->setUniformRowHeights(true);
    view_->setAllColumnsShowFocus(true);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setMinimumSize(70 + 130 + 130 + 24, 160);

    name_ = new QLineEdit(this);
    name_->setObjectName(IdName(kIdTagName));
    prefix_ = new QLineEdit(this);
    prefix_->setObjectName(IdName(kIdTagPrefix));
    suffix_ = new QLineEdit(this);
    suffix_->setObjectName(IdName(kIdTagSuffix));

    add_ = new QPushButton(QStringLiteral("追加"), this);
    add_->setObjectName(IdName(kIdAddTag));
    apply_ = new QPushButton(QStringLiteral("編集実行"), this);
    apply_->setObjectName(IdName(kIdApplyTagEdit));
    delete_ = new QPushButton(QStringLiteral("削除"), this);
    delete_->setObjectName(IdName(kIdDeleteTag));
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(IdName(1));
    ok_->setDefault(true);
    for (QPushButton* button : {add_, apply_, delete_}) button->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Index"), this), 0, 0);
    fields->addWidget(name_, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Prefix"), this), 1, 0);
    fields->addWidget(prefix_, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Suffix"), this), 2, 0);
    fields->addWidget(suffix_, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(apply_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    buttons->addWidget(ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    connect(add_, &QPushButton::clicked, this, &TagListEditorDialog::AddEntry);
    connect(apply_, &QPushButton::clicked, this, &TagListEditorDialog::ApplyEditToSelected);
    connect(delete_, &QPushButton::clicked, this, &TagListEditorDialog::DeleteSelected);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(view_, &QTreeWidget::itemDoubleClicked, this,
            &TagListEditorDialog::LoadSelectedIntoEdits);

    FillTagListView();
}

void TagListEditorDialog::FillTagListView() {
    count_ = CountTagEntries(systemIniPath_);
    view_->clear();
    for (int n = 0; n < count_; ++n) {
        const TagEntry entry = ReadTagEntry(systemIniPath_, n, syskeys::kTagEditorNameCapacity);
        auto* row = new QTreeWidgetItem(
            {FromCp932(entry.name), FromCp932(entry.prefix), FromCp932(entry.suffix)});
        view_->addTopLevelItem(row);
    }
}

int TagListEditorDialog::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = view_->selectedItems();
    int first = -1;
    for (QTreeWidgetItem* item : selected) {
        const int row = view_->indexOfTopLevelItem(item);
        if (row >= 0 && (first < 0 || row < first)) first = row;
    }
    return first;
}

TagEntry TagListEditorDialog::TypedEntry() const {
    return {StoredText(*name_, loaded_.name, syskeys::kTagEditorNameCapacity - 1),
            StoredText(*prefix_, loaded_.prefix, syskeys::kTagTextCapacity - 1),
            StoredText(*suffix_, loaded_.suffix, syskeys::kTagTextCapacity - 1)};
}

void TagListEditorDialog::ClearEdits() {
    loaded_ = TagEntry{};
    name_->clear();
    prefix_->clear();
    suffix_->clear();
}

void TagListEditorDialog::AddEntry() {
    // What was typed stays in the boxes when it could not be stored.
    if (!ReportIfNotWritten(WriteTagEntry(systemIniPath_, count_, TypedEntry()), systemIniPath_,
                            this, io_)) {
        return;
    }
    ClearEdits();
    FillTagListView();
}

void TagListEditorDialog::ApplyEditToSelected() {
    const TagEntry typed = TypedEntry();
    const int row = SelectedRow();
    if (row < 0) return;
    if (!ReportIfNotWritten(WriteTagEntry(systemIniPath_, row, typed), systemIniPath_, this, io_)) {
        return;
    }
    ClearEdits();
    FillTagListView();
}

void TagListEditorDialog::DeleteSelected() {
    const int row = SelectedRow();
    if (row < 0) return;
    if (!ReportIfNotWritten(RemoveTagEntry(systemIniPath_, row), systemIniPath_, this, io_)) return;
    ClearEdits();
    FillTagListView();
}

void TagListEditorDialog::LoadSelectedIntoEdits() {
    const int row = SelectedRow();
    if (row < 0) return;
    loaded_ = ReadTagEntry(systemIniPath_, row, syskeys::kTagEditorNameCapacity);
    name_->setText(FromCp932(loaded_.name));
    prefix_->setText(FromCp932(loaded_.prefix));
    suffix_->setText(FromCp932(loaded_.suffix));
}

}  // namespace qm
