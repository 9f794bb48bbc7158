#include "platform.h"

#include "resultText.h"
#include "wideNames.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string_view>
#include <windows.h>

#include <shellapi.h>

namespace kavrin::cli::platform {

namespace {

    constexpr std::string_view wildcards = "*?";
    constexpr std::string_view folderSeparators = "\\/:"; // a drive's own folder too: "D:*.tzv"
    constexpr std::string_view noMatchStart = "keine Datei passt zum Muster '";
    constexpr std::string_view noMatchEnd = "'";

    HANDLE handleOf(int descriptor) { return reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor)); }

    bool sameLetter(wchar_t a, wchar_t b) { return ::CompareStringOrdinal(&a, 1, &b, 1, TRUE) == CSTR_EQUAL; }

    // The units of the character at name[i]: a surrogate pair is one.
    std::size_t characterUnits(std::wstring_view name, std::size_t i)
    {
        return IS_HIGH_SURROGATE(name[i]) && i + 1 < name.size() && IS_LOW_SURROGATE(name[i + 1]) ? 2 : 1;
    }

    // '*' any run of characters, '?' one character, the rest itself in any
    // case, as Windows compares names. Matched here rather than by
    // FindFirstFile, which also matches the short 8.3 names ("*.tzv" would
    // find "a.tzvx").
    bool matches(std::wstring_view pattern, std::wstring_view name)
    {
        std::size_t p = 0;
        std::size_t n = 0;
        std::size_t starAt = std::wstring_view::npos;
        std::size_t resumeAt = 0;
        while (n < name.size()) {
            if (p < pattern.size() && pattern[p] == L'*') {
                starAt = p++;
                resumeAt = n;
            } else if (p < pattern.size() && (pattern[p] == L'?' || sameLetter(pattern[p], name[n]))) {
                const std::size_t units = pattern[p] == L'?' ? characterUnits(name, n) : 1;
                ++p;
                n += units;
            } else if (starAt != std::wstring_view::npos) {
                p = starAt + 1;
                resumeAt += characterUnits(name, resumeAt);
                n = resumeAt;
            } else {
                return false;
            }
        }
        while (p < pattern.size() && pattern[p] == L'*')
            ++p;
        return p == pattern.size();
    }

    // The names in the pattern's folder that match its last part, with the
    // folder as it was typed; wildcards in the folder part match nothing.
    std::vector<std::string> matchingNames(const std::string& pattern)
    {
        const std::size_t lastSeparator = pattern.find_last_of(folderSeparators);
        const std::string folder = lastSeparator == std::string::npos ? "" : pattern.substr(0, lastSeparator + 1);
        const std::wstring wanted = system::wideName(std::string_view(pattern).substr(folder.size()));
        std::vector<std::string> names;
        WIN32_FIND_DATAW found {};
        const HANDLE search = wanted.empty() ? INVALID_HANDLE_VALUE
                                             : ::FindFirstFileExW(system::wideName(folder + "*").c_str(),
                                                 FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            const std::wstring_view name = found.cFileName;
            if (name != L"." && name != L".." && matches(wanted, name))
                names.push_back(folder + system::utf8Name(name));
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

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

std::optional<std::string> expandPatterns(std::vector<std::string>& files)
{
    std::vector<std::string> expanded;
    for (const std::string& file : files) {
        if (file.find_first_of(wildcards) == std::string::npos) {
            expanded.push_back(file);
            continue;
        }
        const std::vector<std::string> names = matchingNames(file);
        if (names.empty())
            return std::string(noMatchStart).append(terminalSafe(file)).append(noMatchEnd);
        expanded.insert(expanded.end(), names.begin(), names.end());
    }
    files = std::move(expanded);
    return std::nullopt;
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

bool sameFile(const std::string& path, int descriptor)
{
    // Opened for no access at all: only to ask which file the name is.
    const HANDLE named
        = ::CreateFileW(system::wideName(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
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
