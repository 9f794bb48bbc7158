#include "platform.h"

#include "wideNames.h"

#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace kavrin::cli::platform {

namespace {

    HANDLE handleOf(int descriptor) { return reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor)); }

} // namespace

// The command line as UTF-16, whatever the ANSI code page: "Prüfung.tzv"
// and names outside it arrive whole.
std::vector<std::string> arguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr)
        return { argv, argv + argc };
    std::vector<std::string> out;
    for (int i = 0; i < count; ++i)
        out.push_back(system::utf8Name(wide[i]));
    ::LocalFree(wide);
    return out;
}

void prepareStreams()
{
    ::_setmode(standardInput, _O_BINARY);
    ::_setmode(standardOutput, _O_BINARY);
    ::_setmode(standardError, _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
}

bool isTerminal(int descriptor)
{
    DWORD mode = 0;
    return ::GetConsoleMode(handleOf(descriptor), &mode) != 0;
}

std::size_t terminalWidth(int descriptor)
{
    CONSOLE_SCREEN_BUFFER_INFO info {};
    if (!::GetConsoleScreenBufferInfo(handleOf(descriptor), &info))
        return 0;
    return std::size_t(info.srWindow.Right - info.srWindow.Left + 1);
}

// Windows 10 and later show ANSI sequences once asked to; an older console
// shows them as text, so gets none.
bool showsColour(int descriptor)
{
    DWORD mode = 0;
    const HANDLE console = handleOf(descriptor);
    if (!::GetConsoleMode(console, &mode))
        return false;
    return (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0
        || ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool readAtMost(int descriptor, std::string& into, std::size_t limit)
{
    into.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const std::size_t want = limit - got;
        const int n = ::_read(descriptor, into.data() + got, unsigned(want > INT_MAX ? INT_MAX : want));
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    into.resize(got);
    return got == limit;
}

int openToRead(const std::string& path)
{
    const std::wstring name = system::wideName(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (name.empty() || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0))
        return -1;
    return ::_wopen(name.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

void closeFile(int descriptor) { ::_close(descriptor); }

bool sameFile(int first, int second)
{
    BY_HANDLE_FILE_INFORMATION a {};
    BY_HANDLE_FILE_INFORMATION b {};
    return ::GetFileType(handleOf(second)) == FILE_TYPE_DISK && ::GetFileInformationByHandle(handleOf(first), &a)
        && ::GetFileInformationByHandle(handleOf(second), &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber
        && a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

} // namespace kavrin::cli::platform
