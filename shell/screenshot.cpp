#include "mainWindow.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

// kavrin-screenshot FILE OUTPUT.png: the window as it shows after checking FILE.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "Aufruf: kavrin-screenshot DATEI AUSGABE.png\n");
        return 2;
    }
    mainWindow window(arguments.at(1));
    window.show();
    QApplication::processEvents();
    return window.grab().save(arguments.at(2)) ? 0 : 1;
}
