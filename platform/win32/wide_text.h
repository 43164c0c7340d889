// The plug-in's UTF-8 text and the wide-character API's UTF-16; its own
// Windows-1251 texts, and paths in the system's ANSI code page.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/cp1251.h"
#include "platform/utf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

inline std::wstring WideFromUtf8(std::string_view text) {
    const std::u16string units = Utf8ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

inline std::string Utf8FromWide(std::wstring_view text) {
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// Windows-1251, NULs included: the plug-in's own texts show right whatever
// the system's code page.
inline std::wstring WideFromCp1251(std::string_view text) { return WideFromUtf8(DecodeCp1251(text)); }

// The narrow API's text (paths, system messages) in the system's ANSI code
// page, and back; false when a character has no byte there.
inline std::wstring WideFromAnsi(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

inline bool AnsiFromWide(std::wstring_view text, std::string& out) {
    BOOL lossy = FALSE;
    const int size = static_cast<int>(text.size());
    out.assign(static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr)),
               '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), size, out.data(), static_cast<int>(out.size()),
                        nullptr, &lossy);
    return !lossy;
}
