#include "tools/tpp-host/console_text.h"

#include <windows.h>

std::string Cp1251ToUtf8(const char* text) {
    if (!text) return "(null)";
    const int wideLength = MultiByteToWideChar(1251, 0, text, -1, nullptr, 0);
    if (wideLength <= 0) return text;
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(1251, 0, text, -1, wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length > 0 ? length - 1 : 0));
    return utf8;
}
