#pragma once

#include "cards/merge.h"

#include <QDialog>

#include <vector>

class QButtonGroup;
class QCheckBox;
class QGridLayout;

namespace pennacle {

// The contacts of a group side by side: for each box that they fill differently the user picks
// whose value the merged contact keeps; e-mail addresses, numbers and notes may be kept from
// all of them.
class MergeDialog : public QDialog {
    Q_OBJECT
public:
    MergeDialog(const std::vector<CardForm>& forms, const QStringList& names, QWidget* parent);

    MergeChoices choices() const;
    // Picks the contact whose value the box keeps, as a click on its button does.
    void pick(FormField field, int contact);

private:
    void addNames(QGridLayout& grid, const QStringList& names);
    void addChoice(QGridLayout& grid, int row, FormField field, const QString& caption);
    void addBirthdayChoice(QGridLayout& grid, int row);
    QCheckBox* addKeepAll(const QString& text);

    const std::vector<CardForm>& forms_;
    MergeChoices choices_;
    std::vector<QButtonGroup*> fieldGroups_;  // by FormField; null where nothing differs
    QCheckBox* allEmails_ = nullptr;
    QCheckBox* allPhones_ = nullptr;
    QCheckBox* allNotes_ = nullptr;
};

}  // namespace pennacle
