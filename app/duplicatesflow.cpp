#include "app/duplicatesflow.h"

#include "app/mergedialog.h"
#include "cards/displayname.h"
#include "cards/loader.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <set>

namespace pennacle {

namespace {

const QString kRegionKey = QStringLiteral("PhoneRegion");

std::optional<MergeChoices> askWithDialog(const std::vector<CardForm>& forms,
                                          const QStringList& names, QWidget* parent) {
    MergeDialog dialog(forms, names, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choices();
}

}  // namespace

DuplicatesWindow::DuplicatesWindow(Window window, QWidget* parent)
    : QDialog(parent), window_(std::move(window)), askMerge_(askWithDialog) {
    setObjectName(QStringLiteral("DuplicatesWindow"));
    setWindowTitle(QStringLiteral("Find Duplicates"));
    createControls();
    resize(640, 420);
}

void DuplicatesWindow::createControls() {
    region_ = new QComboBox;
    region_->setObjectName(QStringLiteral("RegionCombo"));
    region_->addItems(phoneRegions());
    const QString stored = window_.settings.ReadSetting(kRegionKey, systemPhoneRegion());
    region_->setCurrentText(stored);
    connect(region_, &QComboBox::currentTextChanged, this, [this](const QString& region) {
        window_.settings.WriteSetting(kRegionKey, region);
        refresh();
    });
    auto* regionLabel = new QLabel(QStringLiteral("&Country of national numbers:"));
    regionLabel->setBuddy(region_);

    list_ = new QTreeWidget;
    list_->setObjectName(QStringLiteral("DuplicateGroups"));
    list_->setHeaderLabels({QStringLiteral("Contacts"), QStringLiteral("Why")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &DuplicatesWindow::enableButtons);
    connect(list_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { mergeGroup(list_->indexOfTopLevelItem(item)); });

    merge_ = new QPushButton(QStringLiteral("&Merge Selected Group..."));
    connect(merge_, &QPushButton::clicked, this,
            [this] { mergeGroup(list_->indexOfTopLevelItem(list_->currentItem())); });
    removeCopies_ = new QPushButton(QStringLiteral("&Remove Exact Copies"));
    connect(removeCopies_, &QPushButton::clicked, this, &DuplicatesWindow::removeExactCopies);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(regionLabel);
    top->addWidget(region_);
    top->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(merge_);
    bottom->addWidget(removeCopies_);
    bottom->addStretch();
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list_);
    layout->addLayout(bottom);
}

QString DuplicatesWindow::region() const {
    return region_->currentText();
}

void DuplicatesWindow::setRegion(const QString& region) {
    region_->setCurrentText(region);
}

void DuplicatesWindow::refresh() {
    Guard g(window_.context.reporter, windowTag("FindDuplicates"));
    g(100, [&] { groups_ = findDuplicates(window_.contacts.entries(), region()); });
    g(102, [&] { showGroups(); });
}

void DuplicatesWindow::showGroups() {
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(groups_.size()));
    for (const DuplicateGroup& group : groups_) {
        QStringList names;
        for (const qsizetype row : group.rows)
            names << window_.contacts.at(row).Text;
        items << new QTreeWidgetItem(
            QStringList{names.join(QStringLiteral(" / ")), duplicateReasonsText(group.reasons)});
    }
    list_->addTopLevelItems(items);
    if (!items.isEmpty())
        list_->setCurrentItem(items.first());
    enableButtons();
}

void DuplicatesWindow::enableButtons() {
    merge_->setEnabled(list_->currentItem() != nullptr);
    removeCopies_->setEnabled(std::any_of(groups_.begin(), groups_.end(), [](const auto& group) {
        return (group.reasons & SameCard) != 0;
    }));
}

void DuplicatesWindow::mergeGroup(int row) {
    if (row < 0 || row >= int(groups_.size()))
        return;
    const std::vector<qsizetype> rows = groups_[size_t(row)].rows;
    Guard g(window_.context.reporter, windowTag("MergeGroup"));
    std::vector<CardForm> forms;
    QStringList names;
    g(100, [&] {
        for (const qsizetype contact : rows) {
            forms.push_back(
                loadCardForm(window_.contacts.at(contact).card, window_.context.reporter));
            names << window_.contacts.at(contact).Text;
        }
    });
    std::optional<MergeChoices> choices;
    g(102, [&] { choices = askMerge_(forms, names, this); });
    if (!choices)
        return;
    g(104, [&] {
        CardBytes card = mergeCards(forms, *choices, window_.clock(), window_.context.reporter);
        QString name = listedName(card, window_.context.reporter);
        window_.undo.merge(rows.front(), {std::move(name), std::move(card)},
                           std::vector<qsizetype>(rows.begin() + 1, rows.end()));
    });
    refresh();
}

void DuplicatesWindow::removeExactCopies() {
    std::vector<qsizetype> copies;
    for (const DuplicateGroup& group : groups_) {
        if (!(group.reasons & SameCard))
            continue;
        std::set<QByteArray> seen;
        for (const qsizetype row : group.rows) {
            if (!seen.insert(window_.contacts.at(row).card.bytes()).second)
                copies.push_back(row);
        }
    }
    window_.undo.removeRows(QStringLiteral("Remove Exact Copies"), std::move(copies));
    refresh();
}

}  // namespace pennacle
