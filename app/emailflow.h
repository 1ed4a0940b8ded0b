#pragma once

#include "app/flowcontext.h"
#include "app/formview.h"
#include "app/windowcontrols.h"
#include "contacts/contactlist.h"

#include <functional>

namespace pennacle {

// The form's e-mail addresses: the address list (Combo1) and its list of types (Combo2) move
// together, and the hidden holder box keeps the address that the card's e-mail box shows.
class EmailFlow {
public:
    struct Window {
        FlowContext context;
        const ContactList& contacts;
        WindowControls& controls;
        FormView& form;
        // Rebuilds the current card for typing in `box`, or for no typing (UndoFlow::kNotTyping).
        std::function<void(int box)> rebuildTyped;
    };

    explicit EmailFlow(Window window) : window_(std::move(window)) {}

    // Picking an address picks its type.
    void pick(int index);
    // What the user typed in the address list's or the type list's edit area becomes the
    // selected entry's text.
    void typeAddress();
    void typeType();
    // "+": asks for an address and its type.
    void add();
    // "-": removes the selected address with its type.
    void removeSelected();

private:
    // The holder follows the lists, so a new address reaches the card at once.
    void setHolder(const QString& address);

    Window window_;
};

}  // namespace pennacle
