// The window's controls as designed: places in twips, captions, names and tab order.
#include "app/windowcontrols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

namespace pennacle {

namespace {

constexpr int kTwipsPerPixel = 15;
constexpr int kFieldHeight = 315;  // twips; one line of 9 pt text with its frame

QFont formFont() {
    QFont font(QStringLiteral("Arial"), 9, QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont buttonFont() {
    QFont font = formFont();
    font.setPointSizeF(11.25);
    return font;
}

// Where a field of the "General" page stands inside its frame (twips), and its caption.
struct FieldPlace {
    FormField field;
    const char* caption;
    int labelLeft, labelWidth, fieldLeft, top, fieldWidth;
};

// Three columns in the first two rows of "Personal Information".
constexpr FieldPlace kPersonalFields[] = {
    {LastName, "Last Name:", 120, 1095, 1230, 360, 2115},
    {FirstName, "First Name:", 3465, 1110, 4590, 360, 2055},
    {MiddleInitial, "MI:", 6765, 960, 7740, 360, 600},
    {Company, "Company:", 120, 1095, 1230, 840, 2115},
    {Title, "Title:", 3465, 1110, 4590, 840, 2055},
    {WebsiteHome, "Website Home:", 5610, 1320, 6945, 1320, 2430},
    {WebsiteWork, "Website Work:", 5610, 1320, 6945, 1740, 2430},
};

// Home (first) and work address rows; the work fields follow the home ones by 5.
struct AddressPlace {
    int offset;  // from the frame's first field
    const char* kind;
    int left, top, width;
};
constexpr AddressPlace kAddressFields[] = {
    {0, "Address:", 120, 360, 7845},   {1, "City:", 120, 840, 3150},
    {2, "Region:", 4800, 840, 3165},   {3, "Zip:", 120, 1320, 3150},
    {4, "Country:", 4800, 1320, 3165},
};
constexpr int kAddressLabelWidth = 1395;

// Tab moves through a frame's controls as they read: row by row, left to right. Controls
// whose tops lie within half a field of the row's first control share its row (a check box
// sits a little lower than the box beside it).
void chainInReadingOrder(QWidget* frame) {
    QList<QWidget*> controls;
    for (QWidget* w : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!w->isHidden() && (w->focusPolicy() & Qt::TabFocus))
            controls << w;
    }
    std::stable_sort(controls.begin(), controls.end(), [](QWidget* a, QWidget* b) {
        return a->geometry().top() < b->geometry().top();
    });
    const int rowTolerance = fromTwips(0, 0, 0, kFieldHeight / 2).height();
    for (qsizetype first = 0; first < controls.size();) {
        qsizetype end = first + 1;
        while (end < controls.size() &&
               controls[end]->geometry().top() - controls[first]->geometry().top() <=
                   rowTolerance) {
            ++end;
        }
        std::stable_sort(
            controls.begin() + first, controls.begin() + end,
            [](QWidget* a, QWidget* b) { return a->geometry().left() < b->geometry().left(); });
        first = end;
    }
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls[i - 1], controls[i]);
}

// Controls on the pages were designed in the tab control's coordinates; a Qt page starts
// below the tabs.
struct TabPagePlace {
    int pageOffsetY;
    QRect operator()(int left, int top, int width, int height) const {
        return fromTwips(left, top, width, height).translated(-1, -pageOffsetY);
    }
};

// A captioned control at its place, known by its name.
template <class Control>
Control* placedControl(QWidget* parent, const QString& name, const QString& caption,
                       const QRect& rect) {
    auto* control = new Control(caption, parent);
    control->setObjectName(name);
    control->setGeometry(rect);
    return control;
}

// The captions with their Alt+letter: each letter once, but for "Pager", which shares "P" with
// "Work Zip" (twenty-five captions, and no "J" or "Q" in any).
constexpr const char* kMarkedCaptions[] = {
    "&Last Name:", "&First Name:",  "&MI:",           "&Company:",      "&Title:",
    "&Birthday:",  "&Email:",       "Website &Home:", "&Website Work:", "Home A&ddress:",
    "Home Cit&y:", "Home Re&gion:", "Home &Zip:",     "Home Co&untry:", "Work Addre&ss:",
    "Work C&ity:", "Work Regio&n:", "Work Zi&p:",     "Work C&ountry:", "Home &Voice:",
    "Home Fa&x:",  "Wor&k Voice:",  "Wo&rk Fax:",     "Cellul&ar:",     "&Pager:",
};

QString withMnemonic(const QString& caption) {
    for (const char* marked : kMarkedCaptions) {
        QString text = QLatin1String(marked);
        if (QString(text).remove(QLatin1Char('&')) == caption)
            return text;
    }
    return caption;
}

// What a screen reader calls the box that a caption names: the caption without its colon.
QString boxName(const QString& caption) {
    QString name = caption;
    name.remove(QLatin1Char('&'));
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name;
}

// The caption names the box: Alt+its letter reaches it, and a screen reader reads it.
void labelBox(QLabel* label, QWidget* box) {
    label->setBuddy(box);
    box->setAccessibleName(boxName(label->text()));
}

QLabel* addLabel(QWidget* parent, int index, const QString& caption, const QRect& rect) {
    auto* label = new QLabel(withMnemonic(caption), parent);
    label->setObjectName(QStringLiteral("Label1_%1").arg(index));
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// For a control without a caption of its own: what a screen reader says, and the tooltip.
void describe(QWidget* control, const QString& what) {
    control->setAccessibleName(what);
    control->setToolTip(what);
}

QGroupBox* addFrame(QWidget* parent, const char* name, const QString& caption, const QRect& rect) {
    return placedControl<QGroupBox>(parent, QLatin1String(name), caption, rect);
}

QRadioButton* addOption(QGroupBox* frame, const char* name, const QString& caption,
                        const QRect& rect) {
    return placedControl<QRadioButton>(frame, QLatin1String(name), caption, rect);
}

}  // namespace

QRect fromTwips(int left, int top, int width, int height) {
    const auto px = [](int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; };
    return QRect(px(left), px(top), px(width), px(height));
}

void paintBackground(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    // Greyed, yet readable: the form is disabled while no contact is shown.
    const auto between = [](int from, int to) { return (from * 45 + to * 55) / 100; };
    const QColor disabled(between(background.red(), text.red()),
                          between(background.green(), text.green()),
                          between(background.blue(), text.blue()));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    widget->setPalette(palette);
}

void WindowControls::setupUi(QWidget* window) {
    window->setObjectName(QStringLiteral("Form1"));
    window->setFixedSize(kForm1ClientSize);
    window->setFont(formFont());
    // The design background is white; a skin file replaces it with the button face colour.
    // Its text is set with it, so a dark desktop palette leaves no light text on white.
    paintBackground(window, Qt::white, Qt::black);
    window->setAutoFillBackground(true);

    // On a screen too small for the window the controls scroll, each where it was designed.
    Scroller = new QScrollArea(window);
    Scroller->setObjectName(QStringLiteral("Form1Scroller"));
    Scroller->setFrameShape(QFrame::NoFrame);
    Scroller->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("Form1Content"));
    content->setFixedSize(kForm1ClientSize);
    content->setAutoFillBackground(true);
    Scroller->setWidget(content);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Scroller);

    createControls(content);
    for (QGroupBox* frame : window->findChildren<QGroupBox*>())
        chainInReadingOrder(frame);
}

void WindowControls::fitInto(QWidget* window, const QSize& room) {
    if (room.width() >= kForm1ClientSize.width() && room.height() >= kForm1ClientSize.height()) {
        window->setFixedSize(kForm1ClientSize);
        return;
    }
    // A scroll bar that one side needs takes room from the other.
    const int bar = Scroller->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Scroller);
    QSize whole = kForm1ClientSize;
    if (room.width() < whole.width())
        whole.rheight() += bar;
    if (room.height() < whole.height())
        whole.rwidth() += bar;
    window->setMinimumSize(QSize(160, 120).boundedTo(room));
    window->setMaximumSize(whole);
    window->resize(whole.boundedTo(room));
}

void WindowControls::createControls(QWidget* window) {
    createLeftColumn(window);

    TabControl1 = new QTabWidget(window);
    TabControl1->setObjectName(QStringLiteral("TabControl1"));
    TabControl1->setGeometry(fromTwips(8040, 60, 9960, 8180));
    TabControl1->tabBar()->setFont(buttonFont());
    TabControl1->setAccessibleName(QStringLiteral("Pages"));
    TabControl1->tabBar()->setAccessibleName(QStringLiteral("Pages"));
    const QStringList pageNames = {QStringLiteral("General"), QStringLiteral("Notes"),
                                   QStringLiteral("Photos"), QStringLiteral("More")};
    for (const QString& name : pageNames) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("TabPage") + name);
        page->setAutoFillBackground(true);
        TabControl1->addTab(page, name);
    }
    // Controls on the pages were designed in the tab control's coordinates.
    // The first frame starts right below the tabs (420 twips).
    const int pageOffsetY = std::min(TabControl1->tabBar()->sizeHint().height() + 1, 28);
    createGeneralPage(TabControl1->widget(0), pageOffsetY);
    createNotesPage(TabControl1->widget(1));
    createPhotosPage(TabControl1->widget(2), pageOffsetY);
    createMorePage(TabControl1->widget(3), pageOffsetY);
}

void WindowControls::createLeftColumn(QWidget* window) {
    addPushButton(window, 4, QStringLiteral("Help"), fromTwips(120, 120, 7800, 405));

    ListView1 = new QTreeView(window);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    // The list gave its foot to a row of buttons; its top row stays where it was designed.
    ListView1->setGeometry(fromTwips(120, 630, 7800, 3435));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);  // keeps 100,000 rows cheap to lay out
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setAllColumnsShowFocus(true);
    ListView1->header()->setStretchLastSection(false);
    ListView1->setAccessibleName(QStringLiteral("Contacts"));

    addPushButton(window, 14, QStringLiteral("New Contact"), fromTwips(120, 4140, 3840, 405));
    addPushButton(window, 15, QStringLiteral("Find Duplicates"), fromTwips(4080, 4140, 3840, 405));
    addPushButton(window, 2, QStringLiteral("Add Contact(s) From 1 VCF File"),
                  fromTwips(120, 4650, 3840, 405));
    addPushButton(window, 5, QStringLiteral("Delete Selected Contact"),
                  fromTwips(4080, 4650, 3840, 405));
    addPushButton(window, 6, QStringLiteral("Clear List"), fromTwips(120, 5160, 3840, 405));
    addPushButton(window, 7, QStringLiteral("Load Sample/Example Files"),
                  fromTwips(4080, 5160, 3840, 405));
    // The list gave one more row of its foot to the address book on a server.
    addPushButton(window, 16, QStringLiteral("Open Address Book on Server..."),
                  fromTwips(120, 5670, 3840, 405));
    addPushButton(window, 17, QStringLiteral("Save to Server"), fromTwips(4080, 5670, 1860, 405));
    addPushButton(window, 18, QStringLiteral("Refresh"), fromTwips(6060, 5670, 1860, 405));

    QGroupBox* frame6 =
        addFrame(window, "Frame6", QStringLiteral("Option"), fromTwips(120, 6150, 7800, 735));
    Option1 = addOption(frame6, "Option1", QStringLiteral("Save all contacts to one VCF"),
                        fromTwips(240, 300, 3015, 255));
    Option2 = addOption(frame6, "Option2", QStringLiteral("Save each contact to separate VCF"),
                        fromTwips(3240, 300, 3375, 255));

    QGroupBox* frame7 =
        addFrame(window, "Frame7", QStringLiteral("Save Option"), fromTwips(120, 6960, 7800, 705));
    Option5 = addOption(frame7, "Option5", QStringLiteral("Save As ANSI"),
                        fromTwips(240, 300, 1815, 255));
    Option6 = addOption(frame7, "Option6", QStringLiteral("Save As UTF8"),
                        fromTwips(2400, 300, 1815, 255));
    describe(addPushButton(frame7, 8, QStringLiteral("?"), fromTwips(6960, 300, 600, 315)),
             QStringLiteral("About ANSI and UTF-8"));
    auto* versionLabel = new QLabel(QStringLiteral("&Write cards:"), frame7);
    versionLabel->setObjectName(QStringLiteral("Label3"));
    versionLabel->setGeometry(fromTwips(4260, 300, 1110, 285));
    Combo3 = new QComboBox(frame7);
    Combo3->setObjectName(QStringLiteral("Combo3"));
    Combo3->addItems(
        {QStringLiteral("as read"), QStringLiteral("vCard 3.0"), QStringLiteral("vCard 4.0")});
    Combo3->setGeometry(fromTwips(5400, 270, 1500, 345));
    Combo3->setToolTip(QStringLiteral(
        "The version every saved card is written in; vCard 3.0 and 4.0 are always UTF-8"));
    labelBox(versionLabel, Combo3);

    addPushButton(window, 1, QStringLiteral("Save As VCF"), fromTwips(120, 7800, 7800, 405));

    // Design state.
    Option1->setChecked(true);
    Option5->setChecked(true);
}

void WindowControls::createGeneralPage(QWidget* page, int pageOffsetY) {
    const TabPagePlace onPage{pageOffsetY};
    int labelIndex = 0;

    QGroupBox* frame1 = addFrame(page, "Frame1", QStringLiteral("Personal Information"),
                                 onPage(240, 420, 9495, 2115));
    for (const FieldPlace& f : kPersonalFields) {
        QLabel* label = addLabel(frame1, labelIndex++, QLatin1String(f.caption),
                                 fromTwips(f.labelLeft, f.top, f.labelWidth, kFieldHeight));
        labelBox(label, addTextbox(frame1, f.field,
                                   fromTwips(f.fieldLeft, f.top, f.fieldWidth, kFieldHeight)));
    }
    QLabel* birthday = addLabel(frame1, labelIndex++, QStringLiteral("Birthday:"),
                                fromTwips(6765, 840, 960, kFieldHeight));
    dtpBirthday = new BirthdayEdit(frame1);
    dtpBirthday->setObjectName(QStringLiteral("dtpBirthday"));
    dtpBirthday->setGeometry(fromTwips(7740, 840, 1635, kFieldHeight));
    labelBox(birthday, dtpBirthday);

    QLabel* email = addLabel(frame1, labelIndex++, QStringLiteral("Email:"),
                             fromTwips(120, 1320, 1095, kFieldHeight));
    Combo2 = new WideListComboBox(frame1);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);
    Combo2->setGeometry(fromTwips(1230, 1320, 1275, kFieldHeight));
    Combo1 = new WideListComboBox(frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    // Entries come only from cards and the "+" command, so both lists stay parallel.
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setGeometry(fromTwips(2565, 1320, 2925, kFieldHeight));
    // Alt+E reaches the address; the type stands before it.
    email->setBuddy(Combo1);
    Combo1->setAccessibleName(QStringLiteral("Email address"));
    Combo2->setAccessibleName(QStringLiteral("Email type"));
    describe(addPushButton(frame1, 3, QStringLiteral("+"), fromTwips(1230, 1740, 450, 300)),
             QStringLiteral("Add an e-mail address"));
    describe(addPushButton(frame1, 9, QStringLiteral("-"), fromTwips(1740, 1740, 450, 300)),
             QStringLiteral("Remove the selected e-mail address"));

    // The hidden e-mail holder sits below the frame's visible height. It is never shown and
    // never takes the focus: typing into it would change the card unseen.
    QLineEdit* holder = addTextbox(frame1, HiddenEmail, fromTwips(1230, 2370, 2115, kFieldHeight));
    holder->setFocusPolicy(Qt::NoFocus);
    holder->hide();

    const struct {
        const char* name;
        const char* caption;
        int top;
        FormField first;
        const char* prefix;
    } addressFrames[] = {
        {"Frame2", "Home Address Information", 2640, HomeAddress, "Home "},
        {"Frame3", "Work Address Information", 4620, WorkAddress, "Work "},
    };
    for (const auto& a : addressFrames) {
        QGroupBox* frame =
            addFrame(page, a.name, QLatin1String(a.caption), onPage(240, a.top, 9495, 1935));
        for (const AddressPlace& f : kAddressFields) {
            QLabel* label =
                addLabel(frame, labelIndex++, QLatin1String(a.prefix) + QLatin1String(f.kind),
                         fromTwips(f.left, f.top, kAddressLabelWidth, kFieldHeight));
            labelBox(label, addTextbox(frame, FormField(a.first + f.offset),
                                       fromTwips(f.left + kAddressLabelWidth + 15, f.top, f.width,
                                                 kFieldHeight)));
        }
    }

    QGroupBox* frame4 = addFrame(page, "Frame4", QStringLiteral("Contact Information"),
                                 onPage(240, 6600, 9495, 1455));
    for (int k = 0; k < kPhoneKindCount; ++k) {
        const int left = 120 + (k % 3) * 3090;
        const int top = k < 3 ? 360 : 840;
        // Reading order runs down the columns: Home Voice, Home Fax; Work Voice, Work Fax; ...
        const int phone = (k % 3) * 2 + k / 3;
        const PhoneKindInfo& kind = kPhoneKinds[size_t(phone)];
        QLabel* label =
            addLabel(frame4, labelIndex++, kind.caption, fromTwips(left, top, 1170, kFieldHeight));
        labelBox(label,
                 addTextbox(frame4, kind.field, fromTwips(left + 1185, top, 1560, kFieldHeight)));
        auto* check = new QCheckBox(frame4);
        check->setObjectName(QStringLiteral("Check1_%1").arg(phone));
        check->setGeometry(fromTwips(left + 2805, top + 30, 255, 255));
        describe(check, boxName(kind.caption) + QStringLiteral(" preferred"));
        Check1[size_t(phone)] = check;
    }
}

void WindowControls::createNotesPage(QWidget* page) {
    txtNotes = new QPlainTextEdit(page);
    txtNotes->setObjectName(QStringLiteral("txtTextbox_%1").arg(Notes));
    txtNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtNotes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtNotes->setAccessibleName(QStringLiteral("Notes"));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(txtNotes);
}

void WindowControls::createPhotosPage(QWidget* page, int pageOffsetY) {
    const TabPagePlace onPage{pageOffsetY};
    ListView2 = new QTreeView(page);
    ListView2->setObjectName(QStringLiteral("ListView2"));
    ListView2->setGeometry(onPage(240, 540, 5520, 3000));
    ListView2->setRootIsDecorated(false);
    ListView2->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView2->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView2->header()->setStretchLastSection(false);
    ListView2->setAccessibleName(QStringLiteral("Photos"));

    addPushButton(page, 10, QStringLiteral("Replace Picture"), onPage(5880, 540, 3855, 405));
    addPushButton(page, 11, QStringLiteral("Delete Picture"), onPage(5880, 1065, 3855, 405));
    addPushButton(page, 12, QStringLiteral("Add Picture"), onPage(5880, 1590, 3855, 405));

    Picture1 = new QLabel(page);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(onPage(240, 3660, 9495, 4395));
    Picture1->setFont(QFont(QStringLiteral("Tahoma"), 9));
    Picture1->setFrameShape(QFrame::StyledPanel);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setAccessibleName(QStringLiteral("Photo preview"));
}

// The card's lines that no box shows, read-only: a line can only be removed.
void WindowControls::createMorePage(QWidget* page, int pageOffsetY) {
    const TabPagePlace onPage{pageOffsetY};
    ListView3 = new QListView(page);
    ListView3->setObjectName(QStringLiteral("ListView3"));
    ListView3->setGeometry(onPage(240, 540, 9495, 7035));
    ListView3->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView3->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView3->setUniformItemSizes(true);
    ListView3->setAccessibleName(QStringLiteral("Other lines of the card"));
    addPushButton(page, 13, QStringLiteral("Remove Selected Line"), onPage(240, 7680, 3855, 405));
}

void WideListComboBox::showPopup() {
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    // Room for the entry's margins and a scroll bar beside the longest text.
    const int margins = 4 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) +
                        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) + 16;
    view()->setMinimumWidth(std::max(width(), widest + margins));
    QComboBox::showPopup();
}

BirthdayEdit::BirthdayEdit(QWidget* parent) : QDateEdit(parent) {
    setDisplayFormat(QStringLiteral("M/d/yyyy"));
    setCalendarPopup(true);
    setMinimumDate(firstBirthday());
    setDate(noBirthday());
}

QString BirthdayEdit::textFromDateTime(const QDateTime& dateTime) const {
    if (dateTime.date() == noBirthday() && !typing_)
        return QString();
    return QDateEdit::textFromDateTime(dateTime);
}

QDateTime BirthdayEdit::dateTimeFromText(const QString& text) const {
    if (text.isEmpty())
        return QDateTime(noBirthday(), time());
    return QDateEdit::dateTimeFromText(text);
}

QValidator::State BirthdayEdit::validate(QString& text, int& pos) const {
    if (text.isEmpty())
        return QValidator::Acceptable;
    return QDateEdit::validate(text, pos);
}

bool BirthdayEdit::isBlank() const {
    return lineEdit()->text().isEmpty();
}

void BirthdayEdit::keyPressEvent(QKeyEvent* event) {
    const bool movedOn = std::exchange(movedOn_, false);
    if (event->key() == Qt::Key_Delete && !(event->modifiers() & ~Qt::KeypadModifier)) {
        clearBirthday();
        return;
    }
    const QString text = event->text();
    const bool digit = text.size() == 1 && text[0].isDigit();
    if (isBlank()) {
        if (event->key() == Qt::Key_Enter || event->key() == Qt::Key_Return) {
            // Nothing to take: the date edit would look for a section in the empty text.
            event->ignore();
            emit editingFinished();
            return;
        }
        if (digit)
            startTyping();
    }
    if (movedOn && text == u"/")
        return;
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    movedOn_ = digit && currentSection() != before;
}

void BirthdayEdit::startTyping() {
    typing_ = true;
    lineEdit()->setText(textFromDateTime(dateTime()));
    setSelectedSection(sectionAt(0));
}

void BirthdayEdit::clearBirthday() {
    typing_ = false;
    setDate(noBirthday());
    // Already "no birthday" while it was being typed over: only the text goes.
    lineEdit()->clear();
}

void BirthdayEdit::focusInEvent(QFocusEvent* event) {
    // The date edit selects a section of its text, and the empty box has none.
    if (isBlank()) {
        QAbstractSpinBox::focusInEvent(event);
        return;
    }
    QDateEdit::focusInEvent(event);
}

void BirthdayEdit::focusOutEvent(QFocusEvent* event) {
    QDateEdit::focusOutEvent(event);
    typing_ = false;
    movedOn_ = false;
    if (date() == noBirthday())
        lineEdit()->clear();
}

bool BirthdayEdit::focusNextPrevChild(bool next) {
    // Tab walks the sections of a date; the empty box has none to walk.
    if (isBlank())
        return QWidget::focusNextPrevChild(next);
    return QDateEdit::focusNextPrevChild(next);
}

void BirthdayEdit::stepBy(int steps) {
    // From the empty box the arrow keys and the wheel start at the first section, as typing does.
    if (isBlank())
        startTyping();
    QDateEdit::stepBy(steps);
}

QLineEdit* WindowControls::addTextbox(QWidget* parent, FormField field, const QRect& rect) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txtTextbox_%1").arg(field));
    box->setGeometry(rect);
    txtTextbox[size_t(field)] = box;
    return box;
}

QPushButton* WindowControls::addPushButton(QWidget* parent, int number, const QString& caption,
                                           const QRect& rect) {
    auto* button = placedControl<QPushButton>(parent, QStringLiteral("PushButton%1").arg(number),
                                              caption, rect);
    button->setFont(buttonFont());
    button->setCursor(Qt::PointingHandCursor);
    button->setAutoDefault(false);
    PushButton[static_cast<size_t>(number)] = button;
    return button;
}

}  // namespace pennacle
