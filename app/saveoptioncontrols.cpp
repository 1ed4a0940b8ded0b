#include "app/saveoptioncontrols.h"

#include <QComboBox>
#include <QRadioButton>

#include <algorithm>
#include <array>

namespace pennacle {

QString encodingNoteText() {
    return QStringLiteral(
        "ANSI Vs. UTF8\r\r"
        "Summarised from the encyclopedia article \"Text file\":\r\r"
        "A Windows text file is a sequence of characters stored in one of several encodings. "
        "An \"ANSI\" file stores one byte per character in the system's code page (on Western "
        "systems Windows-1252), so it can hold at most 256 different characters; an \"OEM\" "
        "file does the same with the older DOS code page (such as 437 or 850) that console "
        "programs use, which assigns other characters to the bytes above 127. Unicode files can "
        "hold every character: UTF-16LE stores most characters in two bytes and begins with the "
        "byte-order mark FF FE, while UTF-8 stores plain ASCII in one byte and other characters "
        "in two to four bytes, and as Windows writes it begins with the mark EF BB BF. Save as "
        "UTF-8 when a contact holds characters that Windows-1252 lacks: saved as ANSI, they "
        "become \"?\".");
}

void SaveOptionControls::connect(const QObject& context) {
    QObject::connect(controls_.Combo3, &QComboBox::currentIndexChanged, &context,
                     [this](int index) {
                         settings_.WriteSetting(QStringLiteral("Combo3"), QString::number(index));
                         showEncodingApplies();
                     });
    const WindowControls& c = controls_;
    for (auto [first, second] :
         {std::pair{c.Option1, c.Option2}, std::pair{c.Option5, c.Option6}}) {
        for (QRadioButton* option : {first, second}) {
            // Copies named apart: clang before 16 cannot capture structured bindings.
            QObject::connect(option, &QRadioButton::toggled, &context,
                             [this, first = first, second = second](bool checked) {
                                 if (checked)
                                     writeOptionPair(first, second);
                             });
        }
    }
}

void SaveOptionControls::restoreOption(QRadioButton* option, const char* key,
                                       const char* defaultValue) {
    const bool selected =
        settingToBool(settings_.ReadSetting(QLatin1String(key), QLatin1String(defaultValue)));
    if (selected) {
        // Selecting a button that is not yet selected counts as a click: the pair is written.
        option->setChecked(true);
    } else {
        // An option button can be cleared by program even when it is the selected one.
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

void SaveOptionControls::restoreVersion() {
    controls_.Combo3->setCurrentIndex(
        std::clamp(settingToInt(settings_.ReadSetting(QStringLiteral("Combo3"), "0")), 0, 2));
    showEncodingApplies();
}

SaveOptions SaveOptionControls::read() const {
    static constexpr std::array<std::optional<CardVersion>, 3> kVersions{
        std::nullopt, CardVersion::V30, CardVersion::V40};
    const WindowControls& c = controls_;
    return {c.Option1->isChecked(), c.Option2->isChecked(), c.Option5->isChecked(),
            c.Option6->isChecked(), kVersions[size_t(std::clamp(c.Combo3->currentIndex(), 0, 2))]};
}

void SaveOptionControls::writeOptionPair(QRadioButton* first, QRadioButton* second) {
    settings_.WriteSetting(first->objectName(), boolToSetting(first->isChecked()));
    settings_.WriteSetting(second->objectName(), boolToSetting(second->isChecked()));
}

void SaveOptionControls::showEncodingApplies() {
    // ANSI or UTF-8 is a choice only for cards written as they were read.
    const bool asRead = controls_.Combo3->currentIndex() <= 0;
    controls_.Option5->setEnabled(asRead);
    controls_.Option6->setEnabled(asRead);
}

}  // namespace pennacle
