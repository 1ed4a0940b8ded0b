#include "app/mergedialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace pennacle {

namespace {

// The boxes a merge chooses between, with the captions the form shows them under.
constexpr std::pair<FormField, const char*> kChoices[] = {
    {LastName, "Last Name"},
    {FirstName, "First Name"},
    {MiddleInitial, "MI"},
    {Company, "Company"},
    {Title, "Title"},
    {WebsiteHome, "Website Home"},
    {WebsiteWork, "Website Work"},
    {HomeAddress, "Home Address"},
    {HomeCity, "Home City"},
    {HomeRegion, "Home Region"},
    {HomeZip, "Home Zip"},
    {HomeCountry, "Home Country"},
    {WorkAddress, "Work Address"},
    {WorkCity, "Work City"},
    {WorkRegion, "Work Region"},
    {WorkZip, "Work Zip"},
    {WorkCountry, "Work Country"},
    {HomeVoice, "Home Voice"},
    {HomeFax, "Home Fax"},
    {WorkVoice, "Work Voice"},
    {WorkFax, "Work Fax"},
    {Cellular, "Cellular"},
    {Pager, "Pager"},
    {Notes, "Notes"},
};

// One line of a value, shortened: the button shows which value it is, not all of it.
QString shown(const QString& value) {
    const QString line = value.section(QStringLiteral("\r\n"), 0, 0);
    const QString text = line.size() > 40 ? line.left(39) + QChar(0x2026) : line;
    return text.isEmpty() ? QStringLiteral("(empty)") : text;
}

}  // namespace

MergeDialog::MergeDialog(const std::vector<CardForm>& forms, const QStringList& names,
                         QWidget* parent)
    : QDialog(parent),
      forms_(forms),
      choices_(defaultMergeChoices(forms)),
      fieldGroups_(kFieldCount, nullptr) {
    setObjectName(QStringLiteral("MergeDialog"));
    setWindowTitle(QStringLiteral("Merge Contacts"));
    auto* grid = new QGridLayout;
    addNames(*grid, names);
    int row = 1;
    for (const auto& [field, caption] : kChoices) {
        const bool differ = std::any_of(forms.begin(), forms.end(), [&](const CardForm& form) {
            return form[field] != forms.front()[field];
        });
        if (differ)
            addChoice(*grid, row++, field, QLatin1String(caption));
    }
    addBirthdayChoice(*grid, row);
    grid->setRowStretch(row + 1, 1);  // the rows stay together at the top
    auto* table = new QWidget;
    table->setLayout(grid);
    auto* scroll = new QScrollArea;
    scroll->setWidget(table);
    scroll->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(
        "Choose which value the merged contact keeps. Lines that the form does not show are "
        "kept from every contact.")));
    layout->addWidget(scroll);
    allEmails_ = addKeepAll(QStringLiteral("Keep every e-mail address"));
    allPhones_ =
        addKeepAll(QStringLiteral("Keep every phone number (numbers not chosen are kept "
                                  "beside the form's boxes)"));
    allNotes_ = addKeepAll(QStringLiteral("Keep every note"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Merge"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(760, 520);
}

void MergeDialog::addNames(QGridLayout& grid, const QStringList& names) {
    for (qsizetype i = 0; i < names.size(); ++i) {
        auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(names[i].toHtmlEscaped()));
        grid.addWidget(name, 0, int(i) + 1);
    }
}

void MergeDialog::addChoice(QGridLayout& grid, int row, FormField field, const QString& caption) {
    grid.addWidget(new QLabel(caption + u':'), row, 0);
    auto* group = new QButtonGroup(this);
    for (size_t i = 0; i < forms_.size(); ++i) {
        auto* button = new QRadioButton(shown(forms_[i][field]));
        button->setObjectName(QStringLiteral("Merge_%1_%2").arg(int(field)).arg(i));
        button->setToolTip(forms_[i][field]);
        button->setChecked(int(i) == choices_.field[size_t(field)]);
        group->addButton(button, int(i));
        grid.addWidget(button, row, int(i) + 1);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this, field](int id) { choices_.field[size_t(field)] = id; });
    fieldGroups_[size_t(field)] = group;
}

void MergeDialog::addBirthdayChoice(QGridLayout& grid, int row) {
    const bool differ = std::any_of(forms_.begin(), forms_.end(), [&](const CardForm& form) {
        return form.dtpBirthday != forms_.front().dtpBirthday;
    });
    if (!differ)
        return;
    grid.addWidget(new QLabel(QStringLiteral("Birthday:")), row, 0);
    auto* group = new QButtonGroup(this);
    for (size_t i = 0; i < forms_.size(); ++i) {
        const QDate date = forms_[i].dtpBirthday;
        auto* button = new QRadioButton(date == noBirthday() ? QStringLiteral("(none)")
                                                             : date.toString(Qt::ISODate));
        button->setChecked(int(i) == choices_.birthday);
        group->addButton(button, int(i));
        grid.addWidget(button, row, int(i) + 1);
    }
    connect(group, &QButtonGroup::idClicked, this, [this](int id) { choices_.birthday = id; });
}

QCheckBox* MergeDialog::addKeepAll(const QString& text) {
    auto* box = new QCheckBox(text);
    box->setChecked(true);
    static_cast<QVBoxLayout*>(layout())->addWidget(box);
    return box;
}

void MergeDialog::pick(FormField field, int contact) {
    if (QButtonGroup* group = fieldGroups_[size_t(field)]) {
        if (QAbstractButton* button = group->button(contact))
            button->click();
    }
}

MergeChoices MergeDialog::choices() const {
    MergeChoices choices = choices_;
    choices.allEmails = allEmails_->isChecked();
    choices.allPhones = allPhones_->isChecked();
    choices.allNotes = allNotes_->isChecked();
    return choices;
}

}  // namespace pennacle
