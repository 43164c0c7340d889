// Dialog template 5000 as it stands in TPP_25Frame.dll: the DLL is loaded
// as a data file and its extended template walked field by field.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace {

std::string PluginPath() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.resize(folder.rfind('\\') + 1);
    return folder + "TPP_25Frame.dll";
}

std::string ToCp1251(const std::wstring& text) {
    std::string bytes(text.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(1251, 0, text.c_str(), static_cast<int>(text.size()),
                                      bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<size_t>(n));
    return bytes;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

// Reads the template's fields in order.
class TemplateReader {
public:
    explicit TemplateReader(const uint8_t* data) : data_(data) {}
    uint16_t Word() { return Take<uint16_t>(); }
    uint32_t Dword() { return Take<uint32_t>(); }
    int16_t Short() { return Take<int16_t>(); }
    uint8_t Byte() { return Take<uint8_t>(); }
    std::wstring Text() {
        std::wstring text;
        for (wchar_t c = Word(); c != 0; c = Word()) text += c;
        return text;
    }
    // A name or an ordinal (0xFFFF followed by the number).
    std::wstring NameOrOrdinal() {
        const uint16_t first = Word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        if (first == 0) return L"";
        return static_cast<wchar_t>(first) + Text();
    }
    void AlignDword() { offset_ = (offset_ + 3) & ~size_t{3}; }
    void Skip(size_t bytes) { offset_ += bytes; }

private:
    template <class T>
    T Take() {
        T value;
        std::memcpy(&value, data_ + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }
    const uint8_t* data_;
    size_t offset_ = 0;
};

const std::wstring kButton = L"#128";
const std::wstring kEdit = L"#129";
const std::wstring kStatic = L"#130";
const std::wstring kListBox = L"#131";
const std::wstring kUpDown = L"msctls_updown32";

constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kNumericEdit = ES_AUTOHSCROLL | ES_READONLY | ES_NUMBER | WS_BORDER | WS_TABSTOP;
constexpr DWORD kSpin = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS;
constexpr DWORD kText = SS_LEFT | WS_GROUP;

struct ExpectedControl {
    int id;
    const std::wstring& windowClass;
    const char* caption;  // Windows-1251
    int x, y, width, height;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
};

const ExpectedControl kControls[] = {
    {5124, kButton, "\xC2\xF1\xF2\xF0\xEE\xE5\xED\xED\xFB\xE9", 28, 18, 57, 10, BS_AUTORADIOBUTTON | WS_GROUP},  // Встроенный
    {5125, kButton, "\xC0\xEB\xFC\xF2\xE5\xF0\xED\xE0\xF2\xE8\xE2\xED\xFB\xE9", 103, 18, 73, 10, BS_AUTORADIOBUTTON},  // Альтернативный
    {5114, kButton, "\xCE\xF2\xF1\xF3\xF2\xF1\xF2\xE2\xF3\xE5\xF2", 201, 99, 57, 10, BS_AUTORADIOBUTTON | WS_GROUP},  // Отсутствует
    {5115, kButton, "\xC2\xEE\xEA\xF0\xF3\xE3 \xF1\xEB\xEE\xE2\xE0", 260, 99, 61, 10, BS_AUTORADIOBUTTON},  // Вокруг слова
    {5120, kButton, "\xC2\xE5\xF1\xFC \xFD\xEA\xF0\xE0\xED", 323, 99, 55, 10, BS_AUTORADIOBUTTON},  // Весь экран
    {5121, kButton, "A - Z", 205, 190, 31, 10, BS_AUTORADIOBUTTON | WS_GROUP},
    {5122, kButton, "Z - A", 263, 190, 31, 10, BS_AUTORADIOBUTTON},
    {5123, kButton, "\xD1\xEB\xF3\xF7\xE0\xE9\xED\xEE", 323, 190, 47, 10, BS_AUTORADIOBUTTON},  // Случайно
    {5002, kButton, "\xCE\xCA", 303, 217, 41, 13, kPush},  // ОК
    {5082, kButton, "3", 336, 35, 15, 12, kPush},
    {5083, kButton, "4", 368, 35, 15, 12, kPush},
    {5084, kButton, "5", 352, 22, 15, 12, kPush},
    {5085, kButton, "6", 352, 48, 15, 12, kPush},
    {-1, kStatic, "\xD8\xF0\xE8\xF4\xF2:", 198, 21, 26, 8, kText},  // Шрифт:
    {-1, kStatic, "\xD6\xE2\xE5\xF2 \xF2\xE5\xEA\xF1\xF2\xE0:", 198, 38, 44, 8, kText},  // Цвет текста:
    {-1, kStatic, "\xD6\xE2\xE5\xF2 \xF4\xEE\xED\xE0:", 198, 55, 39, 8, kText},  // Цвет фона:
    {-1, kStatic, "\xCF\xF0\xEE\xE7\xF0\xE0\xF7\xED\xEE\xF1\xF2\xFC:", 198, 71, 51, 8, kText},  // Прозрачность:
    {5089, kEdit, "", 263, 69, 31, 12, kNumericEdit},
    {5090, kUpDown, "Spin1", 284, 68, 11, 14, kSpin},
    {5094, kButton, "Arial", 249, 18, 69, 13, kPush},
    {5095, kButton, "Text Color", 249, 35, 69, 13, BS_OWNERDRAW | WS_TABSTOP},
    {5096, kButton, "Back Color", 249, 52, 69, 13, BS_OWNERDRAW | WS_TABSTOP},
    {5003, kButton, "\xCF\xEE \xF3\xEC\xEE\xEB\xF7\xE0\xED\xE8\xFE", 238, 217, 56, 13, kPush},  // По умолчанию
    {5103, kButton, "\xCE\xF2\xEC\xE5\xED\xE0", 354, 217, 41, 13, BS_DEFPUSHBUTTON | WS_TABSTOP},  // Отмена
    {-1, kButton, "", 3, 0, 392, 212, BS_GROUPBOX},
    {-1, kButton, "\xD2\xE5\xEA\xF1\xF2", 193, 7, 132, 80, BS_GROUPBOX},  // Текст
    {-1, kButton, "\xCF\xEE\xEB\xEE\xE6\xE5\xED\xE8\xE5", 329, 7, 60, 80, BS_GROUPBOX},  // Положение
    {5107, kButton, "h", 336, 22, 15, 12, kPush},
    {5108, kButton, "h", 336, 48, 15, 12, kPush},
    {5109, kButton, "h", 368, 22, 15, 12, kPush},
    {5110, kButton, "h", 368, 48, 15, 12, kPush},
    {5111, kButton, "h", 352, 35, 15, 12, kPush},
    {5097, kButton, "...", 167, 32, 14, 13, kPush},
    {-1, kButton, "\xD1\xEB\xEE\xE2\xE0\xF0\xFC", 8, 7, 180, 200, BS_GROUPBOX},  // Словарь
    {5093, kEdit, "", 258, 127, 28, 12, kNumericEdit},
    {5099, kUpDown, "Spin1", 276, 126, 11, 14, kSpin},
    {-1, kButton, "\xC2\xF0\xE5\xEC\xFF \xEF\xEE\xEA\xE0\xE7\xE0", 193, 116, 196, 29, BS_GROUPBOX},  // Время показа
    {-1, kButton, "\xD7\xE0\xF1\xF2\xEE\xF2\xE0 \xEF\xEE\xEA\xE0\xE7\xEE\xE2", 193, 148, 196, 28, BS_GROUPBOX},  // Частота показов
    {5100, kEdit, "", 312, 127, 28, 12, kNumericEdit},
    {5104, kUpDown, "Spin1", 330, 126, 11, 14, kSpin},
    {5105, kEdit, "", 258, 159, 28, 12, kNumericEdit},
    {5106, kUpDown, "Spin1", 276, 158, 11, 14, kSpin},
    {5117, kEdit, "", 312, 159, 28, 12, kNumericEdit},
    {5118, kUpDown, "Spin1", 330, 158, 11, 14, kSpin},
    {-1, kStatic, "\xCA\xE0\xE6\xE4\xFB\xE9", 212, 161, 28, 8, kText},  // Каждый
    {-1, kStatic, "....", 296, 161, 8, 8, kText},
    {-1, kStatic, "\xEA\xE0\xE4\xF0", 348, 161, 17, 8, kText},  // кадр
    {-1, kStatic, "\xC2 \xF2\xE5\xF7\xE5\xED\xE8\xE5", 211, 129, 34, 8, kText},  // В течение
    {-1, kStatic, "....", 295, 129, 8, 8, kText},
    {-1, kStatic, "\xEA\xE0\xE4\xF0.", 348, 129, 19, 8, kText},  // кадр.
    {-1, kButton, "\xD4\xEE\xED", 193, 89, 196, 24, BS_GROUPBOX},  // Фон
    {-1, kButton, "\xCF\xE5\xF0\xE5\xE1\xEE\xF0 \xF1\xEB\xEE\xE2", 193, 178, 196, 29, BS_GROUPBOX},  // Перебор слов
    {5126, kButton, "\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC", 14, 187, 50, 14, kPush},  // Добавить
    {5127, kButton, "\xC8\xE7\xEC\xE5\xED\xE8\xF2\xFC", 72, 187, 50, 14, kPush},  // Изменить
    {5128, kButton, "\xD3\xE4\xE0\xEB\xE8\xF2\xFC", 131, 187, 50, 14, kPush},  // Удалить
    {5130, kButton, "\xD1\xEB\xF3\xF7\xE0\xE9\xED\xEE", 338, 71, 47, 10, BS_AUTOCHECKBOX | WS_TABSTOP},  // Случайно
    {-1, kStatic, "%", 303, 72, 8, 8, kText},
    {5132, kEdit, "", 14, 32, 148, 12, ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP},
    {5113, kListBox, "", 14, 53, 167, 108, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
    {5133, kEdit, "", 14, 169, 167, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
};

TEST(DialogTemplate, MatchesTheLayoutByteForByte) {
    HMODULE module = LoadLibraryExA(PluginPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
    HRSRC resource = FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(5000),
                                     MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
    ASSERT_NE(resource, nullptr) << "no Russian dialog 5000";
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)));
    ASSERT_NE(data, nullptr);

    TemplateReader reader(data);
    EXPECT_EQ(reader.Word(), 1);       // extended template
    EXPECT_EQ(reader.Word(), 0xFFFF);
    reader.Dword();                    // help id
    EXPECT_EQ(reader.Dword(), static_cast<DWORD>(WS_EX_TOOLWINDOW));
    const DWORD style = reader.Dword();
    EXPECT_EQ(style & ~static_cast<DWORD>(DS_SETFONT), static_cast<DWORD>(DS_MODALFRAME | WS_CAPTION | WS_SYSMENU));
    EXPECT_TRUE(style & DS_SETFONT);
    const uint16_t count = reader.Word();
    ASSERT_EQ(count, 60);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 0);
    EXPECT_EQ(reader.Short(), 399);
    EXPECT_EQ(reader.Short(), 233);
    EXPECT_EQ(reader.NameOrOrdinal(), L"");  // no menu
    EXPECT_EQ(reader.NameOrOrdinal(), L"");  // the standard dialog class
    EXPECT_EQ(ToCp1251(reader.Text()), "TPP_25Frame \xEF\xEB\xE0\xE3\xE8\xED");  // TPP_25Frame плагин
    EXPECT_EQ(reader.Word(), 8);  // points
    EXPECT_EQ(reader.Word(), 0);  // weight
    EXPECT_EQ(reader.Byte(), 0);  // italic
    EXPECT_EQ(reader.Byte(), 1);  // character set
    EXPECT_EQ(reader.Text(), L"MS Sans Serif");

    for (const ExpectedControl& expected : kControls) {
        SCOPED_TRACE("control " + std::to_string(&expected - kControls) + ", id " +
                     std::to_string(expected.id));
        reader.AlignDword();
        reader.Dword();  // help id
        EXPECT_EQ(reader.Dword(), 0u);  // extended style
        EXPECT_EQ(reader.Dword(), WS_CHILD | WS_VISIBLE | expected.style);
        EXPECT_EQ(reader.Short(), expected.x);
        EXPECT_EQ(reader.Short(), expected.y);
        EXPECT_EQ(reader.Short(), expected.width);
        EXPECT_EQ(reader.Short(), expected.height);
        EXPECT_EQ(static_cast<int32_t>(reader.Dword()), expected.id);
        EXPECT_EQ(Lower(reader.NameOrOrdinal()), expected.windowClass);  // class names ignore case
        EXPECT_EQ(ToCp1251(reader.NameOrOrdinal()), expected.caption);
        reader.Skip(reader.Word());  // creation data
    }
    FreeLibrary(module);
}

}  // namespace
