#include "tools/tpp-host/console_text.h"

#include <windows.h>

#include <cstdarg>
#include <vector>

namespace {

std::string WideToUtf8(const wchar_t* wide, int wideLength) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(stream == stdout  ? STD_OUTPUT_HANDLE
                                       : stream == stdin ? STD_INPUT_HANDLE
                                                         : STD_ERROR_HANDLE),
                          &mode) != 0;
}

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

void ConsolePrint(std::FILE* stream, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list count;
    va_copy(count, args);
    const int length = std::vsnprintf(nullptr, 0, format, count);
    va_end(count);
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);

    HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(handle, &mode)) {
        std::fputs(text.data(), stream);
        std::fflush(stream);
        return;
    }
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, text.data(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength > 0 ? wideLength : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), -1, wide.data(), wideLength);
    DWORD written = 0;
    WriteConsoleW(handle, wide.c_str(), static_cast<DWORD>(wide.size() - 1), &written, nullptr);
}
