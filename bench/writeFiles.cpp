#include "ticketFiles.h"

#include <cstdio>

// kavrin-bench-files FOLDER: writes the benchmark's ticket files.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: kavrin-bench-files ORDNER\n");
        return 2;
    }
    kavrin::bench::writeTicketFiles(argv[1]);
    return 0;
}
