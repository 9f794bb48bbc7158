#include "platform.h"

#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace kavrin::cli::platform {

namespace {

    std::string utf8Of(const wchar_t* text)
    {
        const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
        if (bytes <= 1)
            return {};
        std::string out(std::size_t(bytes - 1), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
        return out;
    }

    std::wstring wideOf(const std::string& text)
    {
        const int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
        std::wstring out(std::size_t(units > 0 ? units : 0), L'\0');
        if (units > 0)
            ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), units);
        return out;
    }

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
        out.push_back(utf8Of(wide[i]));
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

// The C library has no wcwidth here; the ranges that matter in a ticket
// file's excerpt, as wcwidth() has them.
std::size_t columnsOf(char32_t c)
{
    struct range {
        char32_t first;
        char32_t last;
    };
    static constexpr range combining[] = { { 0x0300, 0x036F }, { 0x1AB0, 0x1AFF }, { 0x1DC0, 0x1DFF },
        { 0x200B, 0x200F }, { 0x20D0, 0x20FF }, { 0xFE00, 0xFE0F }, { 0xFE20, 0xFE2F } };
    static constexpr range wide[] = { { 0x1100, 0x115F }, { 0x2E80, 0x303E }, { 0x3041, 0x33FF }, { 0x3400, 0x4DBF },
        { 0x4E00, 0x9FFF }, { 0xA000, 0xA4CF }, { 0xAC00, 0xD7A3 }, { 0xF900, 0xFAFF }, { 0xFE30, 0xFE4F },
        { 0xFF00, 0xFF60 }, { 0xFFE0, 0xFFE6 }, { 0x1F300, 0x1F64F }, { 0x1F900, 0x1F9FF }, { 0x20000, 0x3FFFD } };
    for (const range& r : combining)
        if (c >= r.first && c <= r.last)
            return 0;
    for (const range& r : wide)
        if (c >= r.first && c <= r.last)
            return 2;
    return 1;
}

bool writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const std::size_t want = bytes.size() > INT_MAX ? INT_MAX : bytes.size();
        const int n = ::_write(descriptor, bytes.data(), unsigned(want));
        if (n <= 0)
            return false;
        bytes.remove_prefix(std::size_t(n));
    }
    return true;
}

bool sameFile(const std::string& path, int descriptor)
{
    // Opened for no access at all: only to ask which file the name is.
    const HANDLE named = ::CreateFileW(wideOf(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION a {};
    BY_HANDLE_FILE_INFORMATION b {};
    const bool same = ::GetFileType(handleOf(descriptor)) == FILE_TYPE_DISK && ::GetFileInformationByHandle(named, &a)
        && ::GetFileInformationByHandle(handleOf(descriptor), &b) && a.dwVolumeSerialNumber == b.dwVolumeSerialNumber
        && a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
    ::CloseHandle(named);
    return same;
}

} // namespace kavrin::cli::platform
