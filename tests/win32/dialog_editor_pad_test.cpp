// The dialog's dictionary group and its position pad, driven as a user
// would: list selections, typing, the three editing buttons, the file
// chooser with its save prompt, real mouse input on the arrow buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/win32/dialog_fixture.h"
#include "tests/win32/png_file.h"
#include "ui/settings_dialog_ids.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class DictionaryGroup : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        path = Folder() + "dialog_words.dic";
        otherPath = Folder() + "dialog_other.dic";
        std::ofstream(path, std::ios::binary) << "c - 3\r\na - 1\r\nb - 2\r\n";
        DeleteFileA(otherPath.c_str());
        Set([&](SettingsRecord& s) {
            s.DicType = 1;
            s.DicFileName = path;
        });
        LoadAltDictionary();
        ASSERT_NE(Open(), nullptr);
    }
    void TearDown() override {
        DialogTest::TearDown();
        DeleteFileA(path.c_str());
        DeleteFileA(otherPath.c_str());
    }

    std::vector<std::string> ListLines() const {
        std::vector<std::string> lines;
        HWND list = Item(IDC_ENTRY_LIST);
        const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[256] = "";
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            lines.push_back(text);
        }
        return lines;
    }
    // The same through the wide-character messages, for what the code page lacks.
    std::vector<std::wstring> WideListLines() const {
        std::vector<std::wstring> lines;
        HWND list = Item(IDC_ENTRY_LIST);
        const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = L"";
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            lines.push_back(text);
        }
        return lines;
    }
    std::wstring WideText(int id) const {
        wchar_t text[256] = L"";
        GetWindowTextW(Item(id), text, 256);
        return text;
    }
    void TypeWideWord(const wchar_t* text) const { SetWindowTextW(Item(IDC_WORD), text); }
    int ListSelection() const { return static_cast<int>(SendMessageA(Item(IDC_ENTRY_LIST), LB_GETCURSEL, 0, 0)); }
    // Add, Change and Delete in that order.
    std::vector<bool> EditButtons() const {
        return {Enabled(IDC_ENTRY_ADD), Enabled(IDC_ENTRY_CHANGE), Enabled(IDC_ENTRY_DELETE)};
    }

    std::string path, otherPath;
};

TEST_F(DictionaryGroup, BuiltinChoiceDisablesAllButTheRadioButtons) {
    Click(IDC_DIC_BUILTIN);
    EXPECT_EQ(Working().DicType, 0);
    for (int id :
         {IDC_DIC_FILE, IDC_DIC_CHOOSE, IDC_ENTRY_ADD, IDC_ENTRY_CHANGE, IDC_ENTRY_DELETE, IDC_ENTRY_LIST, IDC_WORD})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(Enabled(IDC_DIC_BUILTIN));
    EXPECT_TRUE(Enabled(IDC_DIC_ALTERNATIVE));
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"a - 1", "b - 2", "c - 3"}));

    Click(IDC_DIC_ALTERNATIVE);
    EXPECT_EQ(Working().DicType, 1);
    EXPECT_TRUE(Enabled(IDC_ENTRY_LIST));
    EXPECT_EQ(Text(IDC_DIC_FILE), path);
}

TEST_F(DictionaryGroup, WithoutAFileOnlyTheChooserIsEnabled) {
    Click(IDC_OK);
    Set([](SettingsRecord& s) { s.DicFileName.clear(); });
    LoadAltDictionary();
    Open();
    EXPECT_TRUE(Enabled(IDC_DIC_CHOOSE));
    for (int id : {IDC_DIC_FILE, IDC_ENTRY_ADD, IDC_ENTRY_CHANGE, IDC_ENTRY_DELETE, IDC_ENTRY_LIST, IDC_WORD})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_TRUE(ListLines().empty());
}

TEST_F(DictionaryGroup, SelectingAllowsDeleteAndTypingAllowsAddAndChange) {
    EXPECT_EQ(EditButtons(), (std::vector<bool>{false, false, false}));
    SelectLine(1);
    EXPECT_EQ(Text(IDC_WORD), "b - 2");
    EXPECT_EQ(settingsDialog.selectedEntry, 1);
    EXPECT_EQ(EditButtons(), (std::vector<bool>{false, false, true}));
    TypeWord("b - two");
    EXPECT_EQ(EditButtons(), (std::vector<bool>{true, true, false}));
}

TEST_F(DictionaryGroup, AddInsertsInOrderAndSelectsAnExistingLineInsteadOfDoubling) {
    TypeWord("B - 2");
    Click(IDC_ENTRY_ADD);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"a - 1", "b - 2", "c - 3"}));
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_EQ(Text(IDC_WORD), "b - 2");
    EXPECT_TRUE(AltDictionaryChanged());

    TypeWord("aa - 11");
    Click(IDC_ENTRY_ADD);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"a - 1", "aa - 11", "b - 2", "c - 3"}));
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_EQ(EditButtons(), (std::vector<bool>{false, false, true}));
}

TEST_F(DictionaryGroup, ChangeReplacesTheSelectedLineAndMergesWithAnEqualOne) {
    SelectLine(0);
    TypeWord("d - 4");
    Click(IDC_ENTRY_CHANGE);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"b - 2", "c - 3", "d - 4"}));
    EXPECT_EQ(ListSelection(), 2);

    SelectLine(2);
    TypeWord("C - 3");
    Click(IDC_ENTRY_CHANGE);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"b - 2", "c - 3"}));
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_TRUE(AltDictionaryChanged());
}

TEST_F(DictionaryGroup, DeleteSelectsTheNextLineAndEmptiesTheListAtLast) {
    Set([&](SettingsRecord& s) { s.CurExtEntry = 2; });
    SelectLine(2);
    Click(IDC_ENTRY_DELETE);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"a - 1", "b - 2"}));
    EXPECT_EQ(ListSelection(), 1);  // the new last line
    EXPECT_EQ(Working().CurExtEntry, 1);

    SelectLine(0);
    Click(IDC_ENTRY_DELETE);
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"b - 2"}));
    EXPECT_EQ(ListSelection(), 0);  // the line that moved into its place
    Click(IDC_ENTRY_DELETE);
    EXPECT_TRUE(ListLines().empty());
    EXPECT_EQ(ListSelection(), -1);
    EXPECT_EQ(settingsDialog.selectedEntry, -1);
    EXPECT_EQ(Text(IDC_WORD), "");
    EXPECT_EQ(Working().CurExtEntry, -1);
    EXPECT_FALSE(Enabled(IDC_ENTRY_DELETE));
}

TEST_F(DictionaryGroup, DoubleClickMakesTheLineTheLastShown) {
    SelectLine(2);
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_ENTRY_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(Item(IDC_ENTRY_LIST)));
    EXPECT_EQ(Working().CurExtEntry, 2);
}

TEST_F(DictionaryGroup, CancelDropsUnsavedEditsByReloadingTheFile) {
    TypeWord("z - 26");
    Click(IDC_ENTRY_ADD);
    Click(IDC_CANCEL);
    EXPECT_EQ(AltDictionaryLines(), (std::vector<std::string>{"a - 1", "b - 2", "c - 3"}));
    EXPECT_FALSE(AltDictionaryChanged());
}

// Keys come through IsDialogMessage, as in a host's loop, where Enter
// presses the template's default button, "Отмена".
TEST_F(DictionaryGroup, EnterAddsTheTypedEntryAndElsewhereDoesNothing) {
    Click(IDC_BACK_AROUND);
    SetFocus(Item(IDC_WORD));
    TypeKeys(L"zebra - зебра");
    PressKey(VK_RETURN);
    ASSERT_TRUE(IsWindow(Dialog())) << "Enter closed the dialog";
    EXPECT_EQ(Working().BackType, 1) << "the change made before is kept";
    EXPECT_EQ(WideListLines(), (std::vector<std::wstring>{L"a - 1", L"b - 2", L"c - 3", L"zebra - зебра"}));

    for (int id : {IDC_ENTRY_LIST, IDC_TRANSPARENCY}) {
        SetFocus(Item(id));
        PressKey(VK_RETURN);
        ASSERT_TRUE(IsWindow(Dialog())) << id;
    }
    SetFocus(Item(IDC_WORD));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(IsWindow(Dialog()));
    EXPECT_EQ(Working().BackType, 1);
    EXPECT_EQ(AltDictionaryLines().size(), 4u);
}

// The list box and the word field are Unicode windows: a Greek entry is
// added, merged with its capitals, changed and deleted as typed, and the
// list is then saved in UTF-8 with the byte-order mark, as Windows-1251
// cannot hold it.
TEST_F(DictionaryGroup, GreekEntriesAreEditedAndSaved) {
    EXPECT_TRUE(IsWindowUnicode(Item(IDC_ENTRY_LIST)));
    EXPECT_TRUE(IsWindowUnicode(Item(IDC_WORD)));
    TypeWideWord(L"ελπίδα - надежда");
    Click(IDC_ENTRY_ADD);
    EXPECT_EQ(WideListLines(), (std::vector<std::wstring>{L"a - 1", L"b - 2", L"c - 3", L"ελπίδα - надежда"}));
    EXPECT_EQ(ListSelection(), 3);

    TypeWideWord(L"ΕΛΠΊΔΑ - НАДЕЖДА");
    Click(IDC_ENTRY_ADD);
    EXPECT_EQ(WideListLines().size(), 4u) << "the same without regard to case";
    EXPECT_EQ(WideText(IDC_WORD), L"ελπίδα - надежда");

    SelectLine(3);
    TypeWideWord(L"ελπίδα - надежда, упование");
    Click(IDC_ENTRY_CHANGE);
    TypeWideWord(L"σοφός - мудрый");
    Click(IDC_ENTRY_ADD);
    EXPECT_EQ(WideListLines(), (std::vector<std::wstring>{L"a - 1", L"b - 2", L"c - 3", L"ελπίδα - надежда, упование",
                                                          L"σοφός - мудрый"}));
    SelectLine(4);
    EXPECT_EQ(WideText(IDC_WORD), L"σοφός - мудрый");
    Click(IDC_ENTRY_DELETE);
    EXPECT_EQ(WideListLines().size(), 4u);

    PluginExit();
    EXPECT_EQ(ReadBytes(path),
              "\xEF\xBB\xBF"
              "a - 1\r\nb - 2\r\nc - 3\r\nελπίδα - надежда, упование\r\n");
    PluginInit();
}

// The file chooser and the save prompt, answered by the test.
struct FileChooserScript {
    static inline OPENFILENAMEW seen = {};
    static inline std::wstring filter;
    static inline std::wstring chosen;
    static inline int prompts = 0;
    static inline std::vector<std::wstring> promptTexts;
    static inline std::vector<UINT> promptTypes;
    static inline int answer = IDOK;

    static BOOL WINAPI Choose(LPOPENFILENAMEW chooser) {
        seen = *chooser;
        const wchar_t* end = chooser->lpstrFilter;
        while (*end || end[1]) ++end;  // up to the closing pair of NULs
        filter.assign(chooser->lpstrFilter, end + 2);
        if (chosen.empty()) return FALSE;
        chosen.copy(chooser->lpstrFile, chooser->nMaxFile - 1);
        chooser->lpstrFile[chosen.size()] = L'\0';
        return TRUE;
    }
    static int WINAPI Ask(HWND, LPCWSTR text, LPCWSTR title, UINT type) {
        ++prompts;
        promptTexts.push_back(text);
        promptTypes.push_back(type);
        EXPECT_STREQ(title, L"TPP_25Frame плагин");
        return answer;
    }
};

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class DictionaryFileChoice : public DictionaryGroup {
protected:
    void SetUp() override {
        DictionaryGroup::SetUp();
        commonDialogs.getOpenFileName = FileChooserScript::Choose;
        commonDialogs.messageBox = FileChooserScript::Ask;
        FileChooserScript::prompts = 0;
        FileChooserScript::promptTexts.clear();
        FileChooserScript::promptTypes.clear();
        FileChooserScript::chosen = Wide(otherPath);
    }
    void AddLine() {
        TypeWord("d - 4");
        Click(IDC_ENTRY_ADD);
    }
};

TEST_F(DictionaryFileChoice, ChooserIsOpenedWithTheDictionaryFilter) {
    FileChooserScript::chosen.clear();  // closed without OK
    AddLine();
    Click(IDC_DIC_CHOOSE);
    const OPENFILENAMEW& seen = FileChooserScript::seen;
    using namespace std::string_literals;
    EXPECT_EQ(FileChooserScript::filter,
              L"Файлы словарей (*.dic)\0*.dic\0Текстовые файлы (*.txt)\0*.txt\0Все файлы (*.*)\0*.*\0\0"s);
    EXPECT_EQ(seen.Flags, 6u);
    EXPECT_STREQ(seen.lpstrDefExt, L"dic");
    EXPECT_EQ(seen.hwndOwner, nullptr);
    EXPECT_EQ(FileChooserScript::prompts, 0);
    EXPECT_EQ(Working().DicFileName, path);
    EXPECT_EQ(ListLines().size(), 4u);
}

TEST_F(DictionaryFileChoice, PromptAnsweredYesSavesThePreviousFileFirst) {
    AddLine();
    FileChooserScript::answer = IDYES;
    Click(IDC_DIC_CHOOSE);
    ASSERT_EQ(FileChooserScript::prompts, 2);
    EXPECT_EQ(FileChooserScript::promptTexts[0], L"Предыдущий словарь был изменён. Сохранить изменения?");
    EXPECT_EQ(FileChooserScript::promptTypes[0], static_cast<UINT>(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(ReadBytes(path), "a - 1\r\nb - 2\r\nc - 3\r\nd - 4\r\n");

    // A name that did not exist starts an empty dictionary of that name,
    // and the user is told.
    EXPECT_EQ(FileChooserScript::promptTexts[1], L"Словаря «" + Wide(otherPath) + L"» не было: создан пустой словарь.");
    EXPECT_EQ(FileChooserScript::promptTypes[1], static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(Exists(otherPath));
    EXPECT_EQ(ReadBytes(otherPath), "");
    EXPECT_EQ(Working().DicFileName, otherPath);
    EXPECT_EQ(Text(IDC_DIC_FILE), otherPath);
    EXPECT_TRUE(ListLines().empty());
    EXPECT_EQ(Working().CurExtEntry, 0);
    EXPECT_EQ(Text(IDC_WORD), "");
}

TEST_F(DictionaryFileChoice, PromptAnsweredNoDropsTheEditsAndSwitches) {
    AddLine();
    FileChooserScript::answer = IDNO;
    std::ofstream(otherPath, std::ios::binary) << "x - 9\r\n";
    Click(IDC_DIC_CHOOSE);
    EXPECT_EQ(FileChooserScript::prompts, 1);
    EXPECT_EQ(ReadBytes(path), "c - 3\r\na - 1\r\nb - 2\r\n");
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"x - 9"}));
    EXPECT_EQ(Working().DicFileName, otherPath);
    EXPECT_FALSE(AltDictionaryChanged());
}

// Cancel is "don't do this": the list, its edits and the file stay.
TEST_F(DictionaryFileChoice, PromptAnsweredCancelStaysOnTheEditedList) {
    AddLine();
    FileChooserScript::answer = IDCANCEL;
    std::ofstream(otherPath, std::ios::binary) << "x - 9\r\n";
    Click(IDC_DIC_CHOOSE);
    EXPECT_EQ(FileChooserScript::prompts, 1);
    EXPECT_EQ(ReadBytes(path), "c - 3\r\na - 1\r\nb - 2\r\n");
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"a - 1", "b - 2", "c - 3", "d - 4"}));
    EXPECT_EQ(Working().DicFileName, path);
    EXPECT_TRUE(AltDictionaryChanged());
}

// A save that fails is a message, and the changed list stays chosen, so
// that nothing is lost; the file stays as it was.
TEST_F(DictionaryFileChoice, FailedSaveIsToldAndTheChangedListStaysChosen) {
    AddLine();
    FileChooserScript::answer = IDYES;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    Click(IDC_DIC_CHOOSE);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(FileChooserScript::prompts, 2);
    EXPECT_EQ(
        FileChooserScript::promptTexts[1].rfind(L"Словарь «" + Wide(path) + L"» не сохранён (it is read-only).", 0),
        0u);
    EXPECT_EQ(FileChooserScript::promptTypes[1], static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(ReadBytes(path), "c - 3\r\na - 1\r\nb - 2\r\n");
    EXPECT_EQ(Working().DicFileName, path);
    EXPECT_EQ(ListLines().size(), 4u);
    EXPECT_TRUE(AltDictionaryChanged());
    EXPECT_FALSE(Exists(otherPath));
}

// OK with edits that the file will not take warns before the window goes:
// No keeps it open, Yes closes it with the edits still in memory.
TEST_F(DictionaryFileChoice, OkWithAListThatCannotBeSavedWarnsFirst) {
    AddLine();
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    FileChooserScript::answer = IDNO;
    Click(IDC_OK);
    ASSERT_EQ(FileChooserScript::prompts, 1);
    EXPECT_EQ(FileChooserScript::promptTexts[0].rfind(L"Словарь «" + Wide(path) + L"» не удастся сохранить", 0), 0u);
    EXPECT_NE(Dialog(), nullptr);
    FileChooserScript::answer = IDYES;
    Click(IDC_OK);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(AltDictionaryChanged());
}

// Files go by their wide names: a name the system's code page cannot hold
// is chosen, read and written like any other.
TEST_F(DictionaryFileChoice, ANameInAnyScriptIsChosen) {
    const std::wstring name = Wide(Folder()) + L"词典 λέξεις.dic";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "z - 1\r\n", 7, &written, nullptr);
    CloseHandle(file);
    FileChooserScript::chosen = name;
    Click(IDC_DIC_CHOOSE);
    EXPECT_EQ(FileChooserScript::prompts, 0);
    EXPECT_EQ(Working().DicFileName, Folder() + "词典 λέξεις.dic");
    EXPECT_EQ(ListLines(), (std::vector<std::string>{"z - 1"}));
    DeleteFileW(name.c_str());
}

// An entry without a separator would show as one line; the user is asked.
TEST_F(DictionaryFileChoice, EntryWithoutSeparatorIsAskedAbout) {
    FileChooserScript::answer = IDNO;
    TypeWord("hello");
    Click(IDC_ENTRY_ADD);
    ASSERT_EQ(FileChooserScript::prompts, 1);
    EXPECT_EQ(FileChooserScript::promptTexts[0].rfind(L"В записи «hello» нет разделителя", 0), 0u);
    EXPECT_EQ(ListLines().size(), 3u);
    FileChooserScript::answer = IDYES;
    TypeWord("-");
    Click(IDC_ENTRY_ADD);
    EXPECT_EQ(FileChooserScript::prompts, 2);
    EXPECT_EQ(ListLines().size(), 4u);
    TypeWord("ok - fine");
    Click(IDC_ENTRY_ADD);
    EXPECT_EQ(FileChooserScript::prompts, 2);
}

// Any separator gives word and translation, and the line is kept as typed:
// in Windows-1251, as the list was read, the dashes are theirs.
TEST_F(DictionaryFileChoice, EntryWithAnySeparatorIsKeptAsTyped) {
    for (const wchar_t* entry : {L"e \u2014 5", L"f \u2013 6", L"g\t7"}) {
        TypeWideWord(entry);
        Click(IDC_ENTRY_ADD);
    }
    EXPECT_EQ(FileChooserScript::prompts, 0);
    PluginExit();
    EXPECT_EQ(ReadBytes(path), "a - 1\r\nb - 2\r\nc - 3\r\ne \x97 5\r\nf \x96 6\r\ng\t7\r\n");
    PluginInit();
}

// The position pad.
class PositionPad : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Set([&](SettingsRecord& s) {
            s.RndStringPos = 0;
            s.StringPosX = 300;
            s.StringPosY = 200;
        });
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        SetForegroundWindow(dialog);
        Pump(100);
    }

    static void SendMouse(DWORD flags) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flags;
        SendInput(1, &input, sizeof input);
    }
    // Presses the left button over the control and handles messages until
    // the press has moved the caption; then holds timer 1, so that the test
    // alone decides how many ticks come.
    bool PressAndHold(int id) const {
        PointAt(id);
        const SettingsRecord before = Working();
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 2000) {
            MSG message;
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            if (Working().StringPosX != before.StringPosX || Working().StringPosY != before.StringPosY) {
                KillTimer(Dialog(), 1);
                return true;
            }
        }
        return false;
    }
    void Release() const {
        SendMouse(MOUSEEVENTF_LEFTUP);
        Pump(50);
    }
};

TEST_F(PositionPad, ShortClicksMoveByOneUnit) {
    ASSERT_NE(mouseHook, nullptr);
    ASSERT_TRUE(PressAndHold(IDC_ARROW_RIGHT));
    Release();
    EXPECT_EQ(Working().StringPosX, 301);
    ASSERT_TRUE(PressAndHold(IDC_ARROW_UP));
    Release();
    EXPECT_EQ(Working().StringPosY, 199);
    EXPECT_EQ(Working().StringPosX, 301);
}

TEST_F(PositionPad, HoldingAccelerates) {
    ASSERT_TRUE(PressAndHold(IDC_ARROW_LEFT));
    for (int tick = 0; tick < 20; ++tick) SendMessageA(Dialog(), WM_TIMER, 1, 0);
    EXPECT_EQ(Working().StringPosX, 300 - 34);
    Release();
}

TEST_F(PositionPad, ReleaseAfterDraggingAwayStillStops) {
    ASSERT_TRUE(PressAndHold(IDC_ARROW_DOWN));
    SetTimer(Dialog(), 1, 50, nullptr);  // let it run again, as held
    PointAt(IDC_FONT);
    Release();
    const int32_t stopped = Working().StringPosY;
    Pump(400);
    EXPECT_EQ(Working().StringPosY, stopped);
    EXPECT_GT(stopped, 200);
}

// Alt+Tab or a pop-up takes the mouse capture from the held arrow, or the
// release happens where the dialog never sees it: no button-up reaches the
// hook, and the repeat must stop by itself.
TEST_F(PositionPad, RepeatStopsWhenTheArrowLosesTheCaptureOrTheButton) {
    const struct {
        const char* how;
        void (*lose)();
    } losses[] = {
        {"capture released", [] { ReleaseCapture(); }},
        {"capture taken by another window", [] { SetCapture(host); }},
        {"button released unseen", [] { SendMouse(MOUSEEVENTF_LEFTUP); }},
    };
    for (const auto& loss : losses) {
        SCOPED_TRACE(loss.how);
        ASSERT_TRUE(PressAndHold(IDC_ARROW_RIGHT));
        SetTimer(Dialog(), 1, 50, nullptr);  // running, as while held
        loss.lose();
        const int32_t x = Working().StringPosX;
        for (int tick = 0; tick < 10; ++tick) SendMessageA(Dialog(), WM_TIMER, 1, 0);
        EXPECT_EQ(Working().StringPosX, x);
        EXPECT_FALSE(KillTimer(Dialog(), 1)) << "the repeat timer still runs";
        ReleaseCapture();
        Release();
    }
}

TEST_F(PositionPad, PresetsPutTheCaptionIntoCornersAndCentre) {
    const struct {
        int id;
        int32_t x, y;
    } presets[] = {{IDC_PRESET_TOP_LEFT, 0, 0},
                   {IDC_PRESET_TOP_RIGHT, 768, 0},
                   {IDC_PRESET_BOTTOM_LEFT, 0, 576},
                   {IDC_PRESET_BOTTOM_RIGHT, 768, 576},
                   {IDC_PRESET_CENTRE, 384, 288}};
    for (const auto& preset : presets) {
        Click(preset.id);
        EXPECT_EQ(Working().StringPosX, preset.x) << preset.id;
        EXPECT_EQ(Working().StringPosY, preset.y) << preset.id;
    }
}

TEST_F(PositionPad, RandomPositionDisablesThePad) {
    const int pad[] = {IDC_ARROW_LEFT,    IDC_ARROW_RIGHT,        IDC_ARROW_UP,
                       IDC_ARROW_DOWN,    IDC_PRESET_TOP_LEFT,    IDC_PRESET_TOP_RIGHT,
                       IDC_PRESET_CENTRE, IDC_PRESET_BOTTOM_LEFT, IDC_PRESET_BOTTOM_RIGHT};
    Click(IDC_RANDOM_POSITION);
    EXPECT_EQ(Working().RndStringPos, 1u);
    for (int id : pad) EXPECT_FALSE(Enabled(id)) << id;
    Click(IDC_RANDOM_POSITION);
    EXPECT_EQ(Working().RndStringPos, 0u);
    for (int id : pad) EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(PositionPad, HookLivesOnlyWithTheWindow) {
    EXPECT_NE(mouseHook, nullptr);
    Click(IDC_OK);
    EXPECT_EQ(mouseHook, nullptr);
}

// Saves the open dialog as it appears on the screen, for a person to look at.
TEST_F(DialogTest, ScreenshotOfTheOpenDialog) {
    Set([&](SettingsRecord& s) {
        s.DicType = 1;
        s.RndStringPos = 0;
    });
    HWND dialog = Open();
    SetForegroundWindow(dialog);
    Pump(300);
    RECT rect;
    GetWindowRect(dialog, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    const auto* pixels = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
        rgb[i * 3] = pixels[i * 4 + 2];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4];
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(WritePng(Folder() + "..\\settings_dialog.png", width, height, rgb));
}

}  // namespace
