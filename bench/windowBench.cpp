#include "mainWindow.h"
#include "ticketFiles.h"

#include <QApplication>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

// Milliseconds from the check command until the window has painted the whole
// result, best of five, for the window's worst file and an ordinary one.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const auto folder = std::filesystem::temp_directory_path() / ("kavrin-window-bench-" + std::to_string(::getpid()));
    kavrin::bench::writeTicketFiles(folder);
    mainWindow window;
    window.show();
    QApplication::processEvents();
    for (const char* name : { "broken-single-line-end-4mib.tzv", "broken-last-ticket-4mib.tzv", "valid-47-4mib.tzv" }) {
        double best = 1e9;
        for (int run = 0; run < 5; ++run) {
            window.nameEdit->setText(QString::fromStdString((folder / name).string()));
            const auto start = std::chrono::steady_clock::now();
            window.runCheck();
            window.repaint();
            QApplication::processEvents();
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            best = std::min(best, took.count());
        }
        std::printf("%-34s %8.1f ms\n", name, best);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
