#include "app/form1.h"

#include "app/workprogress.h"

#include "core/startup.h"

#include <QApplication>

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeView>

namespace pennacle {

QString helpText() {
    return QStringLiteral(
        "Do you need more fields added? Please contact Team Quarrystone at "
        "https://pennacle-suite.example/contact");
}

Form1::Form1(Dialogs& dialogs, SettingsStore& settings, QString appFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      dialogs_(dialogs),
      settings_(settings),
      reporter_(dialogs),
      appFolder_(std::move(appFolder)),
      formView_({.controls = *this,
                 .reporter = reporter_,
                 .previewPhoto = [this](int row) { ListView2_ItemClick(row); }}),
      saveOptions_(*this, settings_),
      imports_(importWindow()),
      saves_(saveWindow()),
      photoFlow_(photoWindow()),
      samples_(sampleWindow()),
      emails_(emailWindow()) {
    setupUi(this);
    connectHandlers();
    Form_Load();
    connectFormHandlers();
    // Last: the find bar follows the designed controls in the tab order, and the skin's face
    // colour is for the designed controls only.
    finder_ = std::make_unique<FindFlow>(*this, *ListView1, contacts_,
                                         [this](int row) { ListView1_ItemClick(row); });
    undo_ = std::make_unique<UndoFlow>(undoWindow());
    connectUndo();
    listFlow_ = std::make_unique<ListFlow>(listWindow());
}

Form1::~Form1() = default;

ImportFlow::Window Form1::importWindow() {
    return {.context = flowContext(),
            .contacts = contacts_,
            .startProgress = progressStarter(),
            .enableForm = [this] { TabControl1->setEnabled(true); },
            .showContact = [this](const CardBytes& card) { LoadVCFData(card); },
            .addPicture = [this](const QString& path) { addPictureFile(path); },
            .fileAdded =
                [this](const QString& path, bool intoEmptyList) {
                    changes_.noteFileAdded(path, intoEmptyList);
                    addedMatchesFile_ = intoEmptyList;
                    showChanges();
                }};
}

SaveFlow::Window Form1::saveWindow() {
    return {.context = flowContext(),
            .contacts = contacts_,
            .settings = settings_,
            .options = [this] { return saveOptions_.read(); },
            .startProgress = progressStarter()};
}

PhotoFlow::Window Form1::photoWindow() {
    return {.context = flowContext(),
            .photos = formView_.photos(),
            .selectedRow = [this] { return formView_.selectedPhotoRow(); },
            .selectRow = [this](int row) { formView_.selectPhotoRow(row); },
            .quietly = [this](const std::function<void()>& change) { formView_.quietly(change); },
            .previewRoom = [this] { return Picture1->contentsRect().size(); },
            .showPreview =
                [this](const QImage& picture) { Picture1->setPixmap(QPixmap::fromImage(picture)); },
            .clearPreview = [this] { Picture1->clear(); },
            .rebuild = [this] { rebuildNow(); }};
}

SampleFlow::Window Form1::sampleWindow() {
    return {.context = flowContext(),
            .contacts = contacts_,
            .settings = settings_,
            .appFolder = appFolder_,
            .showContact = [this](const CardBytes& card) { LoadVCFData(card); }};
}

EmailFlow::Window Form1::emailWindow() {
    return {.context = flowContext(),
            .contacts = contacts_,
            .controls = *this,
            .form = formView_,
            .rebuildTyped = [this](int box) { rebuildTyped(box); }};
}

FlowContext Form1::flowContext() {
    return {dialogs_, reporter_, appTitle_, settings_};
}

StartProgress Form1::progressStarter() {
    return [this](const QString& label) -> std::unique_ptr<Progress> {
        return std::make_unique<WorkProgress>(this, label, progressDelay_);
    };
}

void Form1::connectHandlers() {
    const std::pair<int, void (Form1::*)()> buttons[] = {
        {1, &Form1::PushButton1_Click},   {2, &Form1::PushButton2_Click},
        {3, &Form1::PushButton3_Click},   {4, &Form1::PushButton4_Click},
        {5, &Form1::PushButton5_Click},   {6, &Form1::PushButton6_Click},
        {7, &Form1::PushButton7_Click},   {8, &Form1::PushButton8_Click},
        {9, &Form1::PushButton9_Click},   {10, &Form1::PushButton10_Click},
        {11, &Form1::PushButton11_Click}, {12, &Form1::PushButton12_Click},
        {13, &Form1::PushButton13_Click}, {14, &Form1::PushButton14_Click},
        {15, &Form1::PushButton15_Click}, {16, &Form1::PushButton16_Click},
        {17, &Form1::PushButton17_Click}, {18, &Form1::PushButton18_Click},
    };
    for (const auto& [number, handler] : buttons)
        connect(PushButton[size_t(number)], &QPushButton::clicked, this, handler);
    connect(TabControl1, &QTabWidget::currentChanged, this, &Form1::TabControl1_Click);
    saveOptions_.connect(*this);
}

void Form1::Form_Load() {
    Guard g(reporter_, windowTag("Form_Load"));
    g(100, [&] { ApplySkin(); });
    g(102, [&] { setWindowTitle(QLatin1String(kProductName)); });
    g(104, [&] { appTitle_ = pennacle::applicationTitle(); });
    // The first start records which sample files exist; only those are loaded later.
    g(106, [&] { samples_.recordOnFirstStart(); });
    g(108, [&] {
        if (!FileExists(pointerFilePath(appFolder_)))
            return;
        const QPixmap pointer(pointerFilePath(appFolder_));
        if (pointer.isNull())
            throw Failure(QStringLiteral("Invalid picture"));
        for (size_t i = 1; i < PushButton.size(); ++i)
            PushButton[i]->setCursor(QCursor(pointer));
    });
    g(110, [&] {
        TabControl1->setCurrentIndex(
            settingToInt(settings_.ReadSetting(QStringLiteral("TabControl1"), "0")));
    });
    g(112, [&] { saveOptions_.restoreOption(Option1, "Option1", "1"); });
    g(114, [&] { saveOptions_.restoreOption(Option2, "Option2", "0"); });
    g(116, [&] { saveOptions_.restoreOption(Option5, "Option5", "1"); });
    g(118, [&] { saveOptions_.restoreOption(Option6, "Option6", "0"); });
    g(120, [&] { showInList(*ListView1, contacts_); });
    g(122, [&] {
        ListView2->setModel(&formView_.photos());
        ListView2->setColumnWidth(PhotoList::LabelColumn, fromTwips(0, 0, 4500, 0).width());
        ListView2->setColumnHidden(PhotoList::DataColumn, true);
        ListView2->setColumnHidden(PhotoList::TypeColumn, true);
    });
    g(124, [&] { ListView3->setModel(&formView_.otherLines()); });
    g(126, [&] { saveOptions_.restoreVersion(); });
}

void Form1::ApplySkin() {
    const QString skin = skinFilePath(appFolder_);
    if (!FileExists(skin))
        return;
    const QColor face = QApplication::palette().color(QPalette::Button);
    const QColor faceText = QApplication::palette().color(QPalette::ButtonText);
    const auto paintFace = [&](QWidget* widget) { paintBackground(widget, face, faceText); };
    paintFace(this);
    for (QWidget* w : findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w) ||
            qobject_cast<QGroupBox*>(w) || qobject_cast<QLabel*>(w)) {
            paintFace(w);
        }
    }
    QFile file(skin);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(file.errorString());
    setStyleSheet(QString::fromUtf8(file.readAll()));
}

void Form1::TabControl1_Click(int index) {
    settings_.WriteSetting(QStringLiteral("TabControl1"), QString::number(index));
}

void Form1::PushButton4_Click() {
    Guard g(reporter_, windowTag("PushButton4_Click"));
    g(100, [&] { dialogs_.message(appTitle_, helpText()); });
}

void Form1::PushButton8_Click() {
    Guard g(reporter_, windowTag("PushButton8_Click"));
    g(100, [&] { dialogs_.message(appTitle_, encodingNoteText()); });
}

void Form1::closeEvent(QCloseEvent* event) {
    if (!mayClose()) {
        event->ignore();
        return;
    }
    event->accept();
    if (isWindow() && qApp)
        QApplication::quit();
}

bool Form1::mayClose() {
    // An empty list cannot be saved: asking to save it would only keep the window open.
    if (!changes_.unsaved() || contacts_.isEmpty())
        return true;
    Guard g(reporter_, windowTag("Form_QueryUnload"));
    // Should asking fail, the window stays: nothing is lost.
    Dialogs::SaveChoice choice = Dialogs::SaveChoice::Cancel;
    g(100, [&] {
        choice = dialogs_.askSaveDiscardCancel(
            appTitle_, QStringLiteral("Save changes to the contact list before closing?"));
    });
    // A list that came from a server is saved back there.
    if (choice == Dialogs::SaveChoice::Save)
        g(102, [&] { server_ && server_->isOpen() ? PushButton17_Click() : PushButton1_Click(); });
    // A save that was cancelled or had failures leaves the changes unsaved.
    return choice == Dialogs::SaveChoice::Discard ||
           (choice == Dialogs::SaveChoice::Save && !changes_.unsaved());
}

void Form1::showChanges() {
    setWindowTitle(changes_.windowTitle(QLatin1String(kProductName)));
}

}  // namespace pennacle
