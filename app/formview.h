#pragma once

#include "app/otherlinelist.h"
#include "app/windowcontrols.h"
#include "cards/cardform.h"
#include "core/cardbytes.h"
#include "core/guard.h"
#include "photos/photolist.h"

#include <functional>

class QPointF;

namespace pennacle {

// Boxes that are typed in besides the form's text boxes, numbered after them: typing in one
// box is one step to undo.
enum TypedBox { Combo1Typing = Notes + 1, Combo2Typing, BirthdayTyping };

// The contact form as one `CardForm` value: copies a form into the window's widgets, with
// FillingForm raised so that no card is rebuilt, and reads the widgets back. It holds what the
// form shows besides its boxes: the photo rows, the lines of "More" and the parts of the card
// that no box shows.
class FormView {
public:
    struct Window {
        WindowControls& controls;  // widgets made after the view: reached only when used
        Reporter& reporter;
        std::function<void(int row)> previewPhoto;
    };

    explicit FormView(Window window) : window_(std::move(window)) {}

    CardForm read() const;
    void show(const CardForm& form);
    // Empties every box.
    void clear();
    // Shows the card and previews its first photo.
    void load(const CardBytes& card);

    // Raised while the program itself empties or fills the form.
    bool isFilling() const { return FillingForm; }
    // Runs a change of the widgets that is no edit of the user's, with FillingForm raised.
    void quietly(const std::function<void()>& change);

    PhotoList& photos() { return photos_; }
    OtherLineList& otherLines() { return otherLines_; }
    // -1 when no photo row is selected; selecting -1 selects none.
    int selectedPhotoRow() const;
    void selectPhotoRow(int row);
    // "Remove Selected Line" on "More": true when a line went.
    bool removeSelectedLine();

    // With no contact current the pages are disabled, so nothing typed in them is silently
    // lost. The tabs stay free to look at.
    void enablePages(bool contact);
    // Whether `position` in `window` lies on "Photos" while that page is shown and takes
    // pictures: without a contact it takes none, having no card for them to go to.
    bool isOnPhotosPage(const QWidget& window, const QPointF& position) const;

private:
    Window window_;
    PhotoList photos_;
    OtherLineList otherLines_;
    OtherParts otherParts_;  // of the loaded card, written back with the boxes' text
    bool FillingForm = false;
};

}  // namespace pennacle
