#include "app/form1.h"
#include "app/qtdialogs.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

int main(int argc, char* argv[]) {
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
        QRect frame = form.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        form.move(frame.topLeft());
    }
    form.show();
    QStringList files = QCoreApplication::arguments();
    files.removeFirst();
    form.importFiles(files);
    return app.exec();
}
