#include "mainWindow.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavrin"));
    QApplication::setDesktopFileName(QStringLiteral("kavrin"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kavrin.png")));
    // The whole rest of the command line names the file, blanks and quotes kept.
    const QString commandLine = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    mainWindow window(commandLine);
    window.show();
    application.exec();
    return 0;
}
