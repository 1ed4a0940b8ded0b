#pragma once

#include "core/dialogs.h"

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace pennacle {

// The real modal dialogs, parented to the main window, or to the modal window open over it
// (a progress), so that a box always stands on top and can be answered.
class QtDialogs : public Dialogs {
public:
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    QString ShowOpen(const QString& title, const QString& filter,
                     const QString& startFolder) override;
    QStringList ShowOpenFiles(const QString& title, const QString& filter,
                              const QString& startFolder) override;
    QString ShowSave(const QString& title, const QString& filter,
                     const QString& startFolder) override;
    QString BrowseForFolder(const QString& prompt, const QString& startFolder) override;
    void message(const QString& caption, const QString& text) override;
    void warning(const QString& caption, const QString& text) override;
    bool askYesNo(const QString& caption, const QString& text) override;
    bool askYesNoRisky(const QString& caption, const QString& text) override;
    Answer askYesNoCancel(const QString& caption, const QString& text) override;
    SaveChoice askSaveDiscardCancel(const QString& caption, const QString& text) override;
    std::optional<QString> InputBox(const QString& caption, const QString& prompt) override;
    void openFolder(const QString& path) override;
    std::optional<ServerLogin> askServerLogin(const QString& caption,
                                              const ServerLogin& start) override;
    int askChoice(const QString& caption, const QString& text, const QStringList& choices) override;
    int chooseItem(const QString& caption, const QString& prompt,
                   const QStringList& items) override;

private:
    QWidget* owner() const;
    int askThree(const QString& caption, const QString& text, QMessageBox::StandardButton first,
                 QMessageBox::StandardButton second);

    QPointer<QWidget> parent_;
};

}  // namespace pennacle
