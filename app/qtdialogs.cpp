#include "app/qtdialogs.h"

#include "core/linebreaks.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace pennacle {

namespace {
void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, withLfBreaks(text), QMessageBox::Ok, parent);
    box.exec();
}
}  // namespace

QString QtDialogs::ShowOpen(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(parent_, title, QString(), qtFilterFromPipeFilter(filter));
}

QString QtDialogs::ShowSave(const QString& title, const QString& filter) {
    // The chosen name is used as given, and an existing file is replaced without a question.
    return QFileDialog::getSaveFileName(parent_, title, QString(), qtFilterFromPipeFilter(filter),
                                        nullptr, QFileDialog::DontConfirmOverwrite);
}

QString QtDialogs::BrowseForFolder(const QString& prompt, const QString& startFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(parent_, prompt, startFolder, QFileDialog::ShowDirsOnly);
    return folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

void QtDialogs::message(const QString& caption, const QString& text) {
    showBox(parent_, QMessageBox::NoIcon, caption, text);
}

void QtDialogs::warning(const QString& caption, const QString& text) {
    showBox(parent_, QMessageBox::Warning, caption, text);
}

bool QtDialogs::askYesNo(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, withLfBreaks(text),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::InputBox(const QString& caption, const QString& prompt) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, QString(), &ok);
    return ok ? answer : QString();
}

void QtDialogs::openFolder(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace pennacle
