#include "support/scripteddialogs.h"

namespace {
QString record(const QString& kind, const QString& a, const QString& b) {
    return kind + QLatin1Char('|') + a + QLatin1Char('|') + b;
}
}  // namespace

QStringList ScriptedDialogs::callsOf(const QString& kind) const {
    QStringList result;
    const QString prefix = kind + QLatin1Char('|');
    for (const QString& call : calls) {
        if (call.startsWith(prefix))
            result << call.mid(prefix.size());
    }
    return result;
}

QString ScriptedDialogs::ShowOpen(const QString& title, const QString& filter,
                                  const QString& startFolder) {
    calls << record(QStringLiteral("open"), title, filter);
    startFolders << startFolder;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QStringList ScriptedDialogs::ShowOpenFiles(const QString& title, const QString& filter,
                                           const QString& startFolder) {
    if (!fileListAnswers.isEmpty()) {
        calls << record(QStringLiteral("open"), title, filter);
        startFolders << startFolder;
        return fileListAnswers.dequeue();
    }
    const QString one = ShowOpen(title, filter, startFolder);
    return one.isEmpty() ? QStringList() : QStringList{one};
}

QString ScriptedDialogs::ShowSave(const QString& title, const QString& filter,
                                  const QString& startFolder) {
    calls << record(QStringLiteral("save"), title, filter);
    startFolders << startFolder;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedDialogs::BrowseForFolder(const QString& prompt, const QString& startFolder) {
    calls << record(QStringLiteral("folder"), prompt, startFolder);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

void ScriptedDialogs::message(const QString& caption, const QString& text) {
    calls << record(QStringLiteral("message"), caption, text);
}

void ScriptedDialogs::warning(const QString& caption, const QString& text) {
    calls << record(QStringLiteral("warning"), caption, text);
}

bool ScriptedDialogs::askYesNo(const QString& caption, const QString& text) {
    calls << record(QStringLiteral("yesno"), caption, text);
    return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
}

bool ScriptedDialogs::askYesNoRisky(const QString& caption, const QString& text) {
    calls << record(QStringLiteral("risky"), caption, text);
    return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
}

ScriptedDialogs::Answer ScriptedDialogs::askYesNoCancel(const QString& caption,
                                                        const QString& text) {
    calls << record(QStringLiteral("yesnocancel"), caption, text);
    return yesNoCancelAnswers.isEmpty() ? Answer::Cancel : yesNoCancelAnswers.dequeue();
}

ScriptedDialogs::SaveChoice ScriptedDialogs::askSaveDiscardCancel(const QString& caption,
                                                                  const QString& text) {
    calls << record(QStringLiteral("savechanges"), caption, text);
    return saveChoices.isEmpty() ? SaveChoice::Cancel : saveChoices.dequeue();
}

std::optional<QString> ScriptedDialogs::InputBox(const QString& caption, const QString& prompt) {
    calls << record(QStringLiteral("input"), caption, prompt);
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
}

void ScriptedDialogs::openFolder(const QString& path) {
    calls << record(QStringLiteral("openFolder"), path, QString());
}

std::optional<ScriptedDialogs::ServerLogin> ScriptedDialogs::askServerLogin(
    const QString& caption, const ServerLogin& start) {
    calls << record(QStringLiteral("login"), caption,
                    start.address + u' ' + start.user + (start.password.isEmpty() ? "" : " *"));
    return loginAnswers.isEmpty() ? std::nullopt : loginAnswers.dequeue();
}

int ScriptedDialogs::askChoice(const QString& caption, const QString& text,
                               const QStringList& choices) {
    calls << record(QStringLiteral("choice"), caption, text + u'|' + choices.join(u'/'));
    return choiceAnswers.isEmpty() ? -1 : choiceAnswers.dequeue();
}

int ScriptedDialogs::chooseItem(const QString& caption, const QString& prompt,
                                const QStringList& items) {
    calls << record(QStringLiteral("item"), caption, prompt + u'|' + items.join(u'/'));
    return choiceAnswers.isEmpty() ? -1 : choiceAnswers.dequeue();
}
