#include "app/qtdialogs.h"

#include "core/linebreaks.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace pennacle {

namespace {
void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, withLfBreaks(text), QMessageBox::Ok, parent);
    box.exec();
}
}  // namespace

QWidget* QtDialogs::owner() const {
    // A box parented to the main window while a window-modal progress is open would stand
    // under the progress and be blocked by it.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return parent_;
}

QString QtDialogs::ShowOpen(const QString& title, const QString& filter,
                            const QString& startFolder) {
    return QFileDialog::getOpenFileName(owner(), title, startFolder,
                                        qtFilterFromPipeFilter(filter));
}

QStringList QtDialogs::ShowOpenFiles(const QString& title, const QString& filter,
                                     const QString& startFolder) {
    return QFileDialog::getOpenFileNames(owner(), title, startFolder,
                                         qtFilterFromPipeFilter(filter));
}

QString QtDialogs::ShowSave(const QString& title, const QString& filter,
                            const QString& startFolder) {
    // The chosen name is used as given; the dialog asks before it names an existing file.
    return QFileDialog::getSaveFileName(owner(), title, startFolder,
                                        qtFilterFromPipeFilter(filter));
}

QString QtDialogs::BrowseForFolder(const QString& prompt, const QString& startFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(owner(), prompt, startFolder, QFileDialog::ShowDirsOnly);
    return folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

void QtDialogs::message(const QString& caption, const QString& text) {
    showBox(owner(), QMessageBox::NoIcon, caption, text);
}

void QtDialogs::warning(const QString& caption, const QString& text) {
    showBox(owner(), QMessageBox::Warning, caption, text);
}

bool QtDialogs::askYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, withLfBreaks(text),
                    QMessageBox::Yes | QMessageBox::No, owner());
    return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::askYesNoRisky(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Warning, caption, withLfBreaks(text),
                    QMessageBox::Yes | QMessageBox::No, owner());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// A question with a first, a second and a Cancel button; Escape cancels. Returns the button.
int QtDialogs::askThree(const QString& caption, const QString& text,
                        QMessageBox::StandardButton first, QMessageBox::StandardButton second) {
    QMessageBox box(QMessageBox::Question, caption, withLfBreaks(text),
                    first | second | QMessageBox::Cancel, owner());
    box.setDefaultButton(first);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec();
}

Dialogs::Answer QtDialogs::askYesNoCancel(const QString& caption, const QString& text) {
    switch (askThree(caption, text, QMessageBox::Yes, QMessageBox::No)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

Dialogs::SaveChoice QtDialogs::askSaveDiscardCancel(const QString& caption, const QString& text) {
    switch (askThree(caption, text, QMessageBox::Save, QMessageBox::Discard)) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

std::optional<QString> QtDialogs::InputBox(const QString& caption, const QString& prompt) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(owner(), caption, prompt, QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

void QtDialogs::openFolder(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<Dialogs::ServerLogin> QtDialogs::askServerLogin(const QString& caption,
                                                              const ServerLogin& start) {
    QDialog dialog(owner());
    dialog.setWindowTitle(caption);
    auto* form = new QFormLayout(&dialog);
    auto* address = new QLineEdit(start.address);
    address->setObjectName(QStringLiteral("serverAddress"));
    address->setPlaceholderText(QStringLiteral("https://dav.example.org/"));
    address->setMinimumWidth(360);
    auto* user = new QLineEdit(start.user);
    user->setObjectName(QStringLiteral("serverUser"));
    auto* password = new QLineEdit(start.password);
    password->setObjectName(QStringLiteral("serverPassword"));
    password->setEchoMode(QLineEdit::Password);
    auto* remember = new QCheckBox(QStringLiteral("&Remember the password"));
    remember->setChecked(start.remember);
    form->addRow(QStringLiteral("Server &address:"), address);
    form->addRow(QStringLiteral("&User name:"), user);
    form->addRow(QStringLiteral("&Password:"), password);
    form->addRow(QString(), remember);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    (start.address.isEmpty() ? address : start.user.isEmpty() ? user : password)->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return ServerLogin{address->text().trimmed(), user->text(), password->text(),
                       remember->isChecked()};
}

int QtDialogs::askChoice(const QString& caption, const QString& text, const QStringList& choices) {
    QMessageBox box(QMessageBox::Question, caption, withLfBreaks(text), QMessageBox::NoButton,
                    owner());
    QList<QAbstractButton*> buttons;
    for (const QString& choice : choices)
        buttons << box.addButton(choice, QMessageBox::AcceptRole);
    box.addButton(QMessageBox::Cancel);
    if (!buttons.isEmpty())
        box.setDefaultButton(static_cast<QPushButton*>(buttons.first()));
    box.exec();
    return int(buttons.indexOf(box.clickedButton()));
}

int QtDialogs::chooseItem(const QString& caption, const QString& prompt, const QStringList& items) {
    bool ok = false;
    const QString chosen = QInputDialog::getItem(owner(), caption, prompt, items, 0, false, &ok);
    return ok ? int(items.indexOf(chosen)) : -1;
}

}  // namespace pennacle
