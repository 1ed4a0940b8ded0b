#include "app/emailflow.h"

#include "app/undoflow.h"

#include <QComboBox>
#include <QLineEdit>

#include <optional>

namespace pennacle {

namespace {

// What the user typed in an editable list's edit area becomes the selected entry's text.
// Returns the entry's text before, or nothing when no entry is selected.
std::optional<QString> takeTypedEntry(QComboBox* combo) {
    const int index = combo->currentIndex();
    if (index < 0)
        return std::nullopt;
    QLineEdit* edit = combo->lineEdit();
    const QString before = combo->itemText(index);
    const QString typed = edit->text();
    if (typed != before) {
        // Replacing the entry puts its text into the edit area again, cursor at the end.
        const int cursor = edit->cursorPosition();
        combo->setItemText(index, typed);
        edit->setCursorPosition(cursor);
    }
    return before;
}

}  // namespace

void EmailFlow::pick(int index) {
    QComboBox* types = window_.controls.Combo2;
    if (types->count() > 0)
        types->setCurrentIndex(index < types->count() ? index : -1);
}

void EmailFlow::typeAddress() {
    if (window_.form.isFilling())
        return;
    QComboBox* addresses = window_.controls.Combo1;
    pick(addresses->currentIndex());
    window_.form.quietly([&] {
        // With no address selected, typing adds none: "+" does.
        const std::optional<QString> before = takeTypedEntry(addresses);
        QLineEdit* holder = window_.controls.txtTextbox[HiddenEmail];
        if (before && holder->text() == *before)
            holder->setText(addresses->itemText(addresses->currentIndex()));
    });
    window_.rebuildTyped(Combo1Typing);
}

void EmailFlow::typeType() {
    if (window_.form.isFilling())
        return;
    window_.form.quietly([&] { takeTypedEntry(window_.controls.Combo2); });
    window_.rebuildTyped(Combo2Typing);
}

void EmailFlow::add() {
    const FlowContext& context = window_.context;
    Guard g(context.reporter, windowTag("PushButton3_Click"));
    if (!g.test(100, [&] { return !window_.contacts.isEmpty(); }))
        return;
    std::optional<QString> address;
    g(102, [&] {
        address = context.dialogs.InputBox(context.appTitle, QStringLiteral("Enter new email: "));
    });
    if (!address || address->isEmpty())
        return;
    // Both answers come before anything is added, so Cancel at either adds nothing.
    std::optional<QString> type;
    g(104, [&] {
        type = context.dialogs.InputBox(
            context.appTitle, QStringLiteral("Enter email type (Internet, Work, Home, etc): "));
    });
    if (!type)
        return;
    if (type->isEmpty())
        type = QStringLiteral("INTERNET");
    g(106, [&] { window_.form.quietly([&] { window_.controls.Combo1->addItem(*address); }); });
    g(108, [&] { window_.form.quietly([&] { window_.controls.Combo2->addItem(*type); }); });
    g(110, [&] { setHolder(*address); });
}

void EmailFlow::removeSelected() {
    Guard g(window_.context.reporter, windowTag("PushButton9_Click"));
    if (!g.test(100, [&] { return !window_.contacts.isEmpty(); }))
        return;
    QComboBox* addresses = window_.controls.Combo1;
    QComboBox* types = window_.controls.Combo2;
    int selected = -1;
    g(102, [&] { selected = addresses->currentIndex(); });
    if (selected < 0)
        return;
    window_.form.quietly([&] {
        g(104, [&] {
            if (selected >= types->count())
                throw Failure(QStringLiteral("Invalid procedure call"));
            types->removeItem(selected);
        });
        g(106, [&] { addresses->removeItem(selected); });
    });
    g(108, [&] {
        const int left = addresses->count();
        setHolder(left > 0 ? addresses->itemText(left - 1) : QString());
    });
}

void EmailFlow::setHolder(const QString& address) {
    window_.form.quietly([&] { window_.controls.txtTextbox[HiddenEmail]->setText(address); });
    window_.rebuildTyped(UndoFlow::kNotTyping);
}

}  // namespace pennacle
