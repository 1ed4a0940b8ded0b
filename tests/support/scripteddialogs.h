#pragma once

#include "core/dialogs.h"

#include <QQueue>
#include <QStringList>

#include <optional>

// A Dialogs double: answers come from queues (empty text / No / Cancel when a queue is empty;
// std::nullopt in inputAnswers is Cancel), and every call is recorded as
// "kind|caption or title|text or filter".
class ScriptedDialogs : public pennacle::Dialogs {
public:
    QQueue<QString> fileAnswers;          // ShowOpen, ShowSave, BrowseForFolder; ShowOpenFiles: one
    QQueue<QStringList> fileListAnswers;  // ShowOpenFiles, before fileAnswers
    QStringList startFolders;             // where each file dialog opened
    QQueue<std::optional<QString>> inputAnswers;      // InputBox
    QQueue<bool> yesNoAnswers;                        // askYesNo, askYesNoRisky
    QQueue<Answer> yesNoCancelAnswers;                // askYesNoCancel
    QQueue<SaveChoice> saveChoices;                   // askSaveDiscardCancel
    QQueue<std::optional<ServerLogin>> loginAnswers;  // askServerLogin
    QQueue<int> choiceAnswers;                        // askChoice and chooseItem (-1 when empty)
    QStringList calls;

    QStringList callsOf(const QString& kind) const;

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
};
