#include "app/form1.h"
#include "app/qtdialogs.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pennacle Suite"));
    QApplication::setOrganizationName(QStringLiteral("Quarrystone"));
    QApplication::setApplicationVersion(QStringLiteral(PENNACLE_VERSION));

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
