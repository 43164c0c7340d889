// Dialog template 5000 as TPP_25Frame.dll carries it, held to what the code
// takes its controls for (kDialogControls, which the code binds and
// dispatches from), and to the texts a Russian user reads.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/win32/host_side.h"
#include "ui/win32/settings_dialog_controls.h"

namespace {

struct TemplateControl {
    int id;
    std::wstring windowClass;  // lower case, the predefined classes by name
    DWORD style;
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    std::wstring font;
    std::vector<TemplateControl> controls;
};

// Walks an extended template: its header, then each control, DWORD-aligned.
class TemplateReader {
public:
    explicit TemplateReader(const uint8_t* data) : data_(data) {}

    DialogTemplate Read() {
        DialogTemplate dialog;
        Skip(2 + 2 + 4 + 4);  // version, signature, help id, extended style
        dialog.style = Take<DWORD>();
        const int count = Take<WORD>();
        Skip(4 * 2);      // x, y, width, height
        NameOrOrdinal();  // menu
        NameOrOrdinal();  // class
        Text();           // title
        if (dialog.style & DS_SETFONT) {
            Skip(2 + 2 + 1 + 1);  // points, weight, italic, character set
            dialog.font = Text();
        }
        for (int i = 0; i < count; ++i) {
            offset_ = (offset_ + 3) & ~size_t{3};
            Skip(4 + 4);  // help id, extended style
            TemplateControl control;
            control.style = Take<DWORD>();
            Skip(4 * 2);
            control.id = static_cast<int>(Take<DWORD>());
            control.windowClass = ClassName(NameOrOrdinal());
            control.text = NameOrOrdinal();
            Skip(Take<WORD>());  // creation data
            dialog.controls.push_back(control);
        }
        return dialog;
    }

private:
    template <class T>
    T Take() {
        T value;
        std::memcpy(&value, data_ + offset_, sizeof value);
        offset_ += sizeof value;
        return value;
    }
    void Skip(size_t bytes) { offset_ += bytes; }
    std::wstring Text() {
        std::wstring text;
        for (wchar_t c = Take<WORD>(); c != 0; c = Take<WORD>()) text += c;
        return text;
    }
    // A string, or an ordinal written as "#N".
    std::wstring NameOrOrdinal() {
        if (reinterpret_cast<const WORD*>(data_ + offset_)[0] != 0xFFFF) return Text();
        Skip(2);
        return L"#" + std::to_wstring(Take<WORD>());
    }
    static std::wstring ClassName(std::wstring name) {
        static const std::map<std::wstring, std::wstring> predefined = {
            {L"#128", L"button"}, {L"#129", L"edit"}, {L"#130", L"static"}, {L"#131", L"listbox"}};
        for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
        const auto found = predefined.find(name);
        return found == predefined.end() ? name : found->second;
    }

    const uint8_t* data_;
    size_t offset_ = 0;
};

std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(
        static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

class DialogTemplateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        HMODULE module = LoadLibraryExA(PluginPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << GetLastError();
        HRSRC resource = FindResourceExA(module, RT_DIALOG, MAKEINTRESOURCEA(IDD_SETTINGS),
                                         MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT));
        ASSERT_NE(resource, nullptr) << "no Russian dialog " << IDD_SETTINGS;
        dialog = TemplateReader(static_cast<const uint8_t*>(LockResource(LoadResource(module, resource)))).Read();
        FreeLibrary(module);
    }

    static inline DialogTemplate dialog;
};

// Whether a control is what the code takes a control of that kind for.
bool IsOfKind(const TemplateControl& control, ControlKind kind) {
    const std::wstring& type = control.windowClass;
    const DWORD button = control.style & BS_TYPEMASK;
    switch (kind) {
        case ControlKind::PushButton:
            return type == L"button" && (button == BS_PUSHBUTTON || button == BS_DEFPUSHBUTTON);
        case ControlKind::OwnerDrawButton: return type == L"button" && button == BS_OWNERDRAW;
        case ControlKind::RadioButton: return type == L"button" && button == BS_AUTORADIOBUTTON;
        case ControlKind::CheckBox: return type == L"button" && button == BS_AUTOCHECKBOX;
        case ControlKind::Edit: return type == L"edit";
        case ControlKind::ListBox: return type == L"listbox" && (control.style & LBS_NOTIFY);
        case ControlKind::UpDown: return type == L"msctls_updown32" && (control.style & UDS_SETBUDDYINT);
        case ControlKind::Text: return type == L"static";
    }
    return false;
}

TEST_F(DialogTemplateTest, HasEveryControlTheCodeReachesOnceAndOfItsKind) {
    std::map<int, std::vector<const TemplateControl*>> byId;
    for (const TemplateControl& control : dialog.controls)
        if (control.id != -1) byId[control.id].push_back(&control);
    // A control with an id the code does not know would do nothing.
    for (const auto& [id, controls] : byId) EXPECT_NE(FindDialogControl(id), nullptr) << "id " << id;
    for (const DialogControl& expected : kDialogControls) {
        const std::vector<const TemplateControl*>& found = byId[expected.id];
        // GetDlgItem finds the first of equal ids: a second would be dead.
        if (found.size() != 1) {
            ADD_FAILURE() << "id " << expected.id << " is in the template " << found.size() << " times";
            continue;
        }
        const TemplateControl& control = *found[0];
        EXPECT_TRUE(IsOfKind(control, expected.kind) && (control.style & WS_VISIBLE))
            << "id " << expected.id << ", kind " << static_cast<int>(expected.kind) << ": class "
            << Utf8(control.windowClass) << ", style 0x" << std::hex << control.style;
    }
    EXPECT_EQ(dialog.style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU))
        << "the close box, which the dialog takes as Cancel";
}

// The shell's TrueType font: Cyrillic under any code page, scaled with the
// screen's DPI. The bitmap "MS Sans Serif" of old drew bars under 1252.
TEST_F(DialogTemplateTest, UsesTheShellsTrueTypeFont) {
    EXPECT_EQ(dialog.style & DS_SHELLFONT, static_cast<DWORD>(DS_SHELLFONT));
    EXPECT_EQ(dialog.font, L"MS Shell Dlg 2");
}

// An automatic radio button unchecks the others of its group, which runs
// from a WS_GROUP control to the next: each choice must be a group of its own.
TEST_F(DialogTemplateTest, EachChoiceIsARadioGroupOfItsOwn) {
    std::set<std::set<int>> groups;
    std::set<int> group;
    for (const TemplateControl& control : dialog.controls) {
        if (control.style & WS_GROUP) {
            if (!group.empty()) groups.insert(group);
            group.clear();
        }
        if (IsOfKind(control, ControlKind::RadioButton)) group.insert(control.id);
    }
    if (!group.empty()) groups.insert(group);
    const std::set<std::set<int>> choices = {{IDC_DIC_BUILTIN, IDC_DIC_ALTERNATIVE},
                                             {IDC_BACK_NONE, IDC_BACK_AROUND, IDC_BACK_SCREEN},
                                             {IDC_RULES_AZ, IDC_RULES_ZA, IDC_RULES_RANDOM}};
    EXPECT_EQ(groups, choices);
}

// One item a line, sorted: a mismatch shows as a diff of lines.
std::string SortedLines(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    std::string lines;
    for (const std::string& item : items) lines += item + "\n";
    return lines;
}

// The labels, buttons and group boxes as they show (the colour buttons paint
// themselves); the controls without an id are told apart by their text. The
// pad's font is Marlett, where "3" to "6" are the arrows left, right, up and
// down.
TEST_F(DialogTemplateTest, TextsAreTheRussianOnesAUserReads) {
    // clang-format off
    const std::pair<int, const char*> texts[] = {
        {IDC_DIC_BUILTIN, "Встроенный"}, {IDC_DIC_ALTERNATIVE, "Альтернативный"}, {IDC_DIC_CHOOSE, "..."},
        {IDC_ENTRY_ADD, "Добавить"}, {IDC_ENTRY_CHANGE, "Изменить"}, {IDC_ENTRY_DELETE, "Удалить"},
        {IDC_BACK_NONE, "Отсутствует"}, {IDC_BACK_AROUND, "Вокруг слова"}, {IDC_BACK_SCREEN, "Весь экран"},
        {IDC_RULES_AZ, "A - Z"}, {IDC_RULES_ZA, "Z - A"}, {IDC_RULES_RANDOM, "Случайно"},
        {IDC_RANDOM_POSITION, "Случайно"}, {IDC_FONT, "Arial"},
        {IDC_OK, "ОК"}, {IDC_DEFAULTS, "По умолчанию"}, {IDC_CANCEL, "Отмена"},
        {IDC_ARROW_LEFT, "3"}, {IDC_ARROW_RIGHT, "4"}, {IDC_ARROW_UP, "5"}, {IDC_ARROW_DOWN, "6"},
        {IDC_PRESET_TOP_LEFT, "h"}, {IDC_PRESET_TOP_RIGHT, "h"}, {IDC_PRESET_BOTTOM_LEFT, "h"},
        {IDC_PRESET_BOTTOM_RIGHT, "h"}, {IDC_PRESET_CENTRE, "h"},
        {-1, ""}, {-1, "Словарь"}, {-1, "Текст"}, {-1, "Положение"}, {-1, "Фон"}, {-1, "Время показа"},
        {-1, "Частота показов"}, {-1, "Перебор слов"},
        {-1, "Шрифт:"}, {-1, "Цвет текста:"}, {-1, "Цвет фона:"}, {-1, "Прозрачность:"}, {-1, "%"},
        {-1, "В течение"}, {-1, "...."}, {-1, "кадр."}, {-1, "Каждый"}, {-1, "...."}, {-1, "кадр"},
        {-1, "Оформление"}, {-1, "Контур:"}, {-1, "Тень:"}, {-1, "Поля рамки:"},
        {IDC_KEEP_PROPORTIONS, "Сохранять пропорции букв"}, {IDC_LEGIBILITY_WARNING, ""}, {IDC_STATUS, ""},
    };
    // clang-format on
    std::vector<std::string> expected, shown;
    for (const auto& [id, text] : texts) expected.push_back(std::to_string(id) + " " + text);
    for (const TemplateControl& control : dialog.controls)
        if ((control.windowClass == L"static" || control.windowClass == L"button") &&
            !IsOfKind(control, ControlKind::OwnerDrawButton))
            shown.push_back(std::to_string(control.id) + " " + Utf8(control.text));
    EXPECT_EQ(SortedLines(shown), SortedLines(expected));
}

}  // namespace
