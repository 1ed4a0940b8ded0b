#pragma once

// The main window over a fresh settings file and an empty program folder, with scripted
// dialogs and a fixed clock, and shortcuts to its controls by object name.

#include "app/form1.h"
#include "support/files.h"
#include "support/scripteddialogs.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <memory>

struct WindowFixture {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<pennacle::SettingsStore> settings;
    std::unique_ptr<pennacle::Form1> form;

    // Settings stored before the window opens, as an earlier run left them.
    explicit WindowFixture(const QMap<QString, QString>& stored = {}) {
        QSettings raw(settingsPath(), QSettings::IniFormat);
        for (auto it = stored.begin(); it != stored.end(); ++it)
            raw.setValue("Pennacle Suite/" + it.key(), it.value());
        raw.sync();
    }
    QString settingsPath() const { return dir.filePath("settings.ini"); }
    // The program folder's name below the temporary folder; tests may rename it before open().
    QString appFolderName = QStringLiteral("app");
    QString appFolder() const { return dir.filePath(appFolderName); }
    pennacle::Form1& open() { return open(dialogs); }
    // The window over other dialogs than the scripted ones, e.g. real message boxes.
    pennacle::Form1& open(pennacle::Dialogs& with) {
        QDir().mkpath(appFolder());
        form.reset();  // a window of an earlier start must not outlive its settings
        settings = std::make_unique<pennacle::SettingsStore>(settingsPath());
        form = std::make_unique<pennacle::Form1>(with, *settings, appFolder());
        form->setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)); });
        return *form;
    }
    QString stored(const QString& key) const {
        return QSettings(settingsPath(), QSettings::IniFormat)
            .value("Pennacle Suite/" + key)
            .toString();
    }

    template <class T>
    T* find(const QString& name) const {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qWarning() << "missing control" << name;
        return widget;
    }
    bool checked(const char* option) const {
        return find<QRadioButton>(QLatin1String(option))->isChecked();
    }
    QLineEdit* box(pennacle::FormField field) const {
        return find<QLineEdit>(QStringLiteral("txtTextbox_%1").arg(field));
    }
    QPlainTextEdit* notes() const { return find<QPlainTextEdit>("txtTextbox_24"); }
    QComboBox* combo(const char* name) const { return find<QComboBox>(QLatin1String(name)); }
    QTreeView* list() const { return find<QTreeView>("ListView1"); }

    QString writeFile(const QString& name, const QByteArray& bytes) {
        writeBytes(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
    // Imports the text as a UTF-8 file through "Add Contact(s) From 1 VCF File".
    void import(const QString& text, const QString& name = "cards.vcf") {
        dialogs.fileAnswers.enqueue(writeFile(name, "\xef\xbb\xbf" + text.toUtf8()));
        form->PushButton2_Click();
    }
    QString card(int row = -1) const {
        const pennacle::ContactList& c = form->contacts();
        return c.at(row < 0 ? c.currentRow() : row).card.text();
    }
    QStringList names() const {
        QStringList result;
        for (qsizetype i = 0; i < form->contacts().count(); ++i)
            result << form->contacts().at(i).Text;
        return result;
    }
    // Types at the end of the field, as a user clicking into it would.
    void typeInto(QWidget* widget, const QString& text) {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_End);
        QTest::keyClicks(widget, text);
    }
};
