// The settings dialog of the real TPP_25Frame.dll, as a host meets it: the
// record's ShowSettings opens it over the host's window, a second call
// creates no second one, a change made in it reaches the settings file at
// Exit together with the dialog's last position, an edited word list its
// file, read-only files are read and kept, and a settings file written by
// hand in Notepad is understood.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "plugin/host_interface.h"
#include "tests/win32/host_side.h"
#include "ui/settings_dialog_ids.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const PluginRecord* LoadPlugin(HMODULE& module) {
    module = LoadLibraryA(PluginPath().c_str());
    if (!module) return nullptr;
    return reinterpret_cast<PluginRecordExport>(
        reinterpret_cast<void*>(GetProcAddress(module, "Telvoria_Plugin_PR")))();
}

HWND MakeHost() {
    return CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 800, 600, nullptr, nullptr,
                           nullptr, nullptr);
}

// The real DLL loaded and initialised, its dialog open over a host window;
// the window goes and the DLL is unloaded with it (Exit is the test's).
struct DialogOfTheDll {
    HMODULE module = nullptr;
    const PluginRecord* record = LoadPlugin(module);
    HWND host = MakeHost();
    HWND dialog = nullptr;

    DialogOfTheDll() {
        if (!record) return;
        record->Init();
        const HostWindowRecord hostRecord = {host};
        record->ShowSettings(&hostRecord);
        PumpMessages(100);
        dialog = FindOwnedDialogs(host).found;
    }
    ~DialogOfTheDll() {
        DestroyWindow(host);
        if (module) FreeLibrary(module);
    }
    std::wstring ListLine(int index) const {
        wchar_t shown[64] = L"";
        SendDlgItemMessageW(dialog, IDC_ENTRY_LIST, LB_GETTEXT, index, reinterpret_cast<LPARAM>(shown));
        return shown;
    }
    void AddEntry(const wchar_t* entry) const {
        SetDlgItemTextW(dialog, IDC_WORD, entry);
        SendDlgItemMessageA(dialog, IDC_ENTRY_ADD, BM_CLICK, 0, 0);
        PumpMessages(50);
    }
};

TEST(PluginDialog, OpensOnceAndItsChangesReachTheSettingsFileAtExit) {
    const std::string settingsPath = ProgramFolder() + "Plugins\\TPP_25Frame.ini";
    DeleteFileA(settingsPath.c_str());
    HMODULE module = nullptr;
    const PluginRecord* record = LoadPlugin(module);
    ASSERT_NE(record, nullptr);
    HWND host = MakeHost();
    ASSERT_NE(host, nullptr);
    record->Init();
    const HostWindowRecord hostRecord = {host};
    record->ShowSettings(&hostRecord);
    PumpMessages(100);
    const OwnedDialogs first = FindOwnedDialogs(host);
    ASSERT_EQ(first.count, 1);
    HWND dialog = first.found;
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "TPP_25Frame \xEF\xEB\xE0\xE3\xE8\xED");  // TPP_25Frame плагин

    record->ShowSettings(&hostRecord);
    PumpMessages(100);
    EXPECT_EQ(FindOwnedDialogs(host).count, 1);

    SendDlgItemMessageA(dialog, IDC_TRANSPARENCY_SPIN, UDM_SETPOS, 0, MAKELPARAM(40, 0));
    SendDlgItemMessageA(dialog, IDC_BACK_AROUND, BM_CLICK, 0, 0);
    SetWindowPos(dialog, nullptr, 21, 22, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpMessages(50);
    record->Exit();
    EXPECT_FALSE(IsWindow(dialog));

    const std::string file = ReadBytes(settingsPath);
    EXPECT_NE(file.find("DlgWndPosX=21\r\nDlgWndPosY=22\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("Transparency=40\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("BackType=1\r\n"), std::string::npos) << file;

    DestroyWindow(host);
    FreeLibrary(module);
    DeleteFileA(settingsPath.c_str());
}

// A word list saved as Notepad's "Unicode" (UTF-16 with its mark) is read by
// the DLL, edited in its dialog and written back as UTF-16 at Exit.
TEST(PluginDialog, Utf16WordListSurvivesAnEdit) {
    const std::string settingsPath = ProgramFolder() + "Plugins\\TPP_25Frame.ini";
    const std::string words = ProgramFolder() + "utf16_words.dic";
    const auto utf16 = [](const std::wstring& text) {
        std::string bytes = "\xFF\xFE";
        for (const wchar_t unit : text) bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        return bytes;
    };
    std::ofstream(words, std::ios::binary) << utf16(L"cat - кошка\r\nελπίδα - надежда\r\n");
    CreateDirectoryA((ProgramFolder() + "Plugins").c_str(), nullptr);
    std::ofstream(settingsPath, std::ios::binary) << "[PluginSettings]\r\nDicType=1\r\nDicFileName=" + words + "\r\n";
    const DialogOfTheDll dll;
    ASSERT_NE(dll.dialog, nullptr);
    EXPECT_EQ(dll.ListLine(1), L"ελπίδα - надежда");
    dll.AddEntry(L"dog - собака");
    dll.record->Exit();

    EXPECT_EQ(ReadBytes(words), utf16(L"cat - кошка\r\ndog - собака\r\nελπίδα - надежда\r\n"));
    DeleteFileA(settingsPath.c_str());
    DeleteFileA(words.c_str());
}

// Files the user may read but not write: the DLL reads both, takes an
// entry added in its dialog, and at Exit leaves both as they were.
TEST(PluginDialog, ReadOnlyWordListAndSettingsFileAreReadAndKept) {
    const std::string settingsPath = ProgramFolder() + "Plugins\\TPP_25Frame.ini";
    const std::string words = ProgramFolder() + "read_only_words.dic";
    const std::string list = "cat - \xEA\xEE\xF8\xEA\xE0\r\n";  // кошка
    const std::string settings = "[PluginSettings]\r\nDicType=1\r\nDicFileName=" + words + "\r\n";
    std::ofstream(words, std::ios::binary) << list;
    CreateDirectoryA((ProgramFolder() + "Plugins").c_str(), nullptr);
    std::ofstream(settingsPath, std::ios::binary) << settings;
    for (const std::string& path : {words, settingsPath}) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    const DialogOfTheDll dll;
    ASSERT_NE(dll.dialog, nullptr);
    EXPECT_EQ(dll.ListLine(0), L"cat - кошка");
    dll.AddEntry(L"dog - собака");
    EXPECT_EQ(SendDlgItemMessageW(dll.dialog, IDC_ENTRY_LIST, LB_GETCOUNT, 0, 0), 2);
    dll.record->Exit();

    EXPECT_EQ(ReadBytes(words), list);
    EXPECT_EQ(ReadBytes(settingsPath), settings);
    for (const std::string& path : {words, settingsPath}) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

// A settings file as Notepad saves it in UTF-8, with the mark, holding what
// a user pastes: a path from Explorer's "Copy as path" with Cyrillic in it,
// and a web colour. The DLL reads the list at that path and writes the
// file back in UTF-8, the colour in decimal.
TEST(PluginDialog, NotepadUtf8SettingsWithAQuotedCyrillicPathAndAWebColour) {
    const std::string settingsPath = ProgramFolder() + "Plugins\\TPP_25Frame.ini";
    const std::string words = ProgramFolder() + "\xF1\xEB\xEE\xE2\xE0\xF0\xFC.dic";  // словарь.dic, as the DLL names it
    std::ofstream(words, std::ios::binary) << "cat - \xEA\xEE\xF8\xEA\xE0\r\n";  // кошка
    CreateDirectoryA((ProgramFolder() + "Plugins").c_str(), nullptr);
    std::ofstream(settingsPath, std::ios::binary)
        << "\xEF\xBB\xBF; мои настройки\r\n[PluginSettings]\r\nDicType=1\r\nDicFileName=\"" + ProgramFolder() +
               "словарь.dic\"\r\nTextColor=#FF8000\r\n";
    const DialogOfTheDll dll;
    ASSERT_NE(dll.dialog, nullptr);
    EXPECT_EQ(dll.ListLine(0), L"cat - кошка");
    dll.record->Exit();

    const std::string file = ReadBytes(settingsPath);
    EXPECT_EQ(file.rfind("\xEF\xBB\xBF; мои настройки\r\n[PluginSettings]\r\n", 0), 0u) << file;
    EXPECT_NE(file.find("\r\nDicFileName=" + ProgramFolder() + "словарь.dic\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\nTextColor=33023\r\n"), std::string::npos) << file;
    DeleteFileA(settingsPath.c_str());
    DeleteFileA(words.c_str());
}

}  // namespace
