#include "mainWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace {

constexpr const char* helpText = "Aufruf: kavrin [DATEI]\n"
                                 "Öffnet das Fenster, in dem TZV-Tippscheindateien (.tzv) geprüft werden, und prüft\n"
                                 "DATEI beim Start. Ein Name, der mit '-' beginnt, folgt nach '--'.\n"
                                 "\n"
                                 "  -h, --help     diese Hilfe\n"
                                 "      --version  Version\n";

// Help and version answer on the terminal when they are the only argument,
// without opening a window; every other command line names a file.
bool answeredOnTerminal(int argc, char** argv, int& status)
{
    if (argc != 2)
        return false;
    const char* text = nullptr;
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        text = helpText;
    else if (std::strcmp(argv[1], "--version") == 0)
        text = "kavrin " KAVRIN_VERSION "\n" KAVRIN_LICENCE_LINE "\n";
    else
        return false;
    status = std::fputs(text, stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 2;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (int status = 0; answeredOnTerminal(argc, argv, status))
        return status;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kavrin"));
    QApplication::setApplicationVersion(QStringLiteral(KAVRIN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("kavrin"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kavrin.png")));
    // Kavrin speaks German; Qt's own dialogs and buttons should too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    // The whole rest of the command line names the file, blanks and quotes
    // kept; a leading "--" only says that a name starting with '-' follows.
    QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--"))
        arguments.removeFirst();
    mainWindow window(arguments.join(QLatin1Char(' ')));
    window.show();
    application.exec();
    return 0;
}
