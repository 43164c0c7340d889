#include "tools/tpp-host/console_text.h"

#include <windows.h>

namespace {

std::string WideToUtf8(const wchar_t* wide, int wideLength) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace

std::string Cp1251ToUtf8(const char* text) {
    if (!text) return "(null)";
    const int wideLength = MultiByteToWideChar(1251, 0, text, -1, nullptr, 0);
    if (wideLength <= 1) return {};
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(1251, 0, text, -1, wide.data(), wideLength);
    return WideToUtf8(wide.c_str(), wideLength - 1);
}

std::string SystemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string text = length ? WideToUtf8(buffer, static_cast<int>(length)) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}
