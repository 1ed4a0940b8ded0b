#pragma once

#include "cards/cardform.h"

#include <QComboBox>
#include <QDateEdit>
#include <QRect>
#include <QSize>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QTabWidget;
class QTreeView;
class QWidget;

namespace pennacle {

// The main window's controls under their designer names, placed where they were designed in
// twips. The window inherits them, so its handlers speak of `Combo1` as the design does.
class WindowControls {
public:
    static constexpr int kPushButtonCount = 18;

    // Creates every control on `window` and gives the window its size, font and colours.
    void setupUi(QWidget* window);
    // Sizes the window for a screen whose free room is `room`: as designed where it fits,
    // smaller with scroll bars where it does not.
    void fitInto(QWidget* window, const QSize& room);

    std::array<QPushButton*, kPushButtonCount + 1> PushButton{};  // 1-based
    // txtTextbox(0) to txtTextbox(23); the notes box txtTextbox(24) is a QPlainTextEdit.
    std::array<QLineEdit*, Notes> txtTextbox{};
    QPlainTextEdit* txtNotes = nullptr;
    std::array<QCheckBox*, kPhoneKindCount> Check1{};
    QTreeView* ListView1 = nullptr;
    QTreeView* ListView2 = nullptr;
    QListView* ListView3 = nullptr;  // the "More" page: lines no box shows
    QTabWidget* TabControl1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QDateEdit* dtpBirthday = nullptr;
    QLabel* Picture1 = nullptr;
    QRadioButton* Option1 = nullptr;
    QRadioButton* Option2 = nullptr;
    QRadioButton* Option5 = nullptr;
    QRadioButton* Option6 = nullptr;
    // "Write cards": as read, vCard 3.0 or vCard 4.0; the encoding options apply to "as read".
    QComboBox* Combo3 = nullptr;
    QScrollArea* Scroller = nullptr;  // holds every control

private:
    void createControls(QWidget* window);
    void createLeftColumn(QWidget* window);
    void createGeneralPage(QWidget* page, int pageOffsetY);
    void createNotesPage(QWidget* page);
    void createPhotosPage(QWidget* page, int pageOffsetY);
    void createMorePage(QWidget* page, int pageOffsetY);
    QLineEdit* addTextbox(QWidget* parent, FormField field, const QRect& twips);
    QPushButton* addPushButton(QWidget* parent, int number, const QString& caption,
                               const QRect& twips);
};

// A drop-down list as wide as its longest entry, so no e-mail address is cut short.
class WideListComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
};

// Paints a widget's background with its text colour, both at once.
void paintBackground(QWidget* widget, const QColor& background, const QColor& text);

// The birthday picker: any date from firstBirthday() on. The date that means "no birthday"
// shows as an empty box, which takes typed digits as a new date; Delete empties it again.
class BirthdayEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit BirthdayEdit(QWidget* parent);

protected:
    QString textFromDateTime(const QDateTime& dateTime) const override;
    QDateTime dateTimeFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void stepBy(int steps) override;

private:
    bool isBlank() const;
    void startTyping();
    void clearBirthday();

    // While keys come in, "no birthday" shows as the date it stands for, to be typed over.
    bool typing_ = false;
    // A digit has just filled its section and moved on to the next: the separator that the
    // user types after it must not move on once more.
    bool movedOn_ = false;
};

// The window's client size in pixels (18120 x 8355 twips).
inline constexpr QSize kForm1ClientSize(1208, 557);

// Twips to pixels, 15 twips to the pixel.
QRect fromTwips(int left, int top, int width, int height);

}  // namespace pennacle
