#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

// The yardstick: two passes of a plain buffered byte loop that does only the
// reading, the text-mode rules (CR LF as LF, 0x1A ends) and line and column
// counting, nothing of the grammar.
int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    unsigned long line = 1, column = 1;
    for (int pass = 0; pass < 2; ++pass) {
        const int fd = ::open(argv[1], O_RDONLY);
        if (fd < 0)
            return 1;
        static unsigned char buffer[64 * 1024];
        bool pendingCr = false;
        bool ended = false;
        line = column = 1;
        ssize_t got;
        while (!ended && (got = ::read(fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t i = 0; i < got; ++i) {
                const unsigned char c = buffer[i];
                if (c == 0x1A) {
                    ended = true;
                    break;
                }
                if (pendingCr && c != '\n')
                    ++column; // the lone CR
                pendingCr = c == '\r';
                if (pendingCr)
                    continue;
                if (c == '\n') {
                    ++line;
                    column = 1;
                } else {
                    ++column;
                }
            }
        }
        ::close(fd);
    }
    std::printf("%lu:%lu\n", line, column);
    return 0;
}
