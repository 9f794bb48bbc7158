#pragma once

#include <string>
#include <string_view>
#include <windows.h>

// Names are UTF-8 inside Kavrin and UTF-16 to Windows, so that any name
// works, not only those of the ANSI code page. Inline, so that the validator
// uses them without linking anything.
namespace kavrin::system {

// Strict: bytes that are not UTF-8 give an empty name, which opens nothing,
// rather than one with U+FFFD that might name another file.
inline std::wstring wideName(std::string_view name)
{
    if (name.empty())
        return {};
    const int units = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), int(name.size()), nullptr, 0);
    if (units <= 0)
        return {};
    std::wstring wide(std::size_t(units), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), int(name.size()), wide.data(), units);
    return wide;
}

// A lone surrogate, which NTFS allows in a name, becomes U+FFFD: the name
// can then be shown, and opening it fails as for a missing file.
inline std::string utf8Name(std::wstring_view name)
{
    if (name.empty())
        return {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, name.data(), int(name.size()), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return {};
    std::string out(std::size_t(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, name.data(), int(name.size()), out.data(), bytes, nullptr, nullptr);
    return out;
}

} // namespace kavrin::system
