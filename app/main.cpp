#include "app/form1.h"
#include "app/qtdialogs.h"
#include "core/startup.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

#include <algorithm>
#include <cstdio>

namespace {

QStringList commandLineArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

int printed(std::FILE* stream, const QString& text, int status) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    return status;
}

// Help, the version and usage errors, answered without a display; -1 when the window opens.
int answerWithoutWindow(const pennacle::WindowCommandLine& line) {
    using Action = pennacle::WindowCommandLine::Action;
    switch (line.action) {
        case Action::Help:
            return printed(stdout, pennacle::windowUsageText(), 0);
        case Action::Version:
            return printed(stdout, QStringLiteral("pennacle " PENNACLE_VERSION "\n"), 0);
        case Action::UsageError:
            return printed(
                stderr,
                QStringLiteral("pennacle: %1\nTry \"pennacle --help\".\n").arg(line.problem), 2);
        case Action::Run:
            break;
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    const pennacle::WindowCommandLine line =
        pennacle::parseWindowCommandLine(commandLineArguments(argc, argv));
    if (const int status = answerWithoutWindow(line); status >= 0)
        return status;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pennacle Suite"));
    QApplication::setOrganizationName(QStringLiteral("Quarrystone"));
    QApplication::setApplicationVersion(QStringLiteral(PENNACLE_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.pennacle_suite.PennacleSuite"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pennacle-256.png")));

    pennacle::QtDialogs dialogs;
    pennacle::SettingsStore settings;
    pennacle::Form1 form(dialogs, settings, QCoreApplication::applicationDirPath());
    dialogs.setParentWidget(&form);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // The frame's size is known only once the window is shown: room for a title bar and
        // borders is kept free.
        const QSize frameRoom(16, 48);
        form.fitIntoScreen(screen->availableGeometry().size() - frameRoom);
        const QRect available = screen->availableGeometry();
        QRect frame = form.frameGeometry().adjusted(0, 0, frameRoom.width(), frameRoom.height());
        frame.moveCenter(available.center());
        form.move(std::max(frame.left(), available.left()), std::max(frame.top(), available.top()));
    }
    form.show();
    form.importFiles(line.files);
    return app.exec();
}
