// The settings location and the saves on the real platform. The location
// depends on the process's own command line and executable folder, so each
// case re-launches a copy of this program in a fresh folder ("the host")
// with the switches under test; the copy reports what it located.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "dictionary/dictionary_store.h"
#include "settings/settings_file.h"
#include "settings/settings_persistence.h"
#include "settings/settings_state.h"

namespace {

const char kLocateSwitch[] = "--locate";

std::string OwnPath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n);
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

// Paths are UTF-8, as the plug-in's; streams open them by their wide names.
std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

void SetAttributes(const std::string& path, DWORD attributes) { SetFileAttributesW(PathOf(path).c_str(), attributes); }

std::string ReadBytes(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(PathOf(path), std::ios::binary) << bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The copy's side: locate as the plug-in does, try to open, report.
int ReportLocation() {
    CSettingsFile file;
    file.Locate("TPP_25Frame");
    const bool opened = file.OpenForReading().done;
    file.Close();
    std::ofstream(FolderOf(OwnPath()) + "located.txt", std::ios::binary) << file.path() << "\n"
                                                                         << (opened ? 1 : 0) << "\n";
    return 0;
}

struct Located {
    std::string path;
    bool opened = false;
};

// A fresh folder holding a copy of this program as host.exe.
class HostFolder {
public:
    HostFolder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "tpp-host-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(counter_++) + "\\";
        CreateDirectoryA(folder_.c_str(), nullptr);
        CopyFileA(OwnPath().c_str(), (folder_ + "host.exe").c_str(), FALSE);
    }
    ~HostFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& folder() const { return folder_; }

    Located Run(const std::string& switches) const {
        std::string command = "\"" + folder_ + "host.exe\" " + kLocateSwitch + " " + switches;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        Located result;
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder_.c_str(), &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << command;
            return result;
        }
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        std::ifstream in(folder_ + "located.txt");
        int opened = 0;
        std::getline(in, result.path);
        in >> opened;
        result.opened = opened == 1;
        return result;
    }

private:
    static inline int counter_ = 0;
    std::string folder_;
};

TEST(SettingsLocation, HostFolderWithoutInstance) {
    HostFolder host;
    for (const char* switches : {"", "/inst:", "-inst:"}) {
        const Located located = host.Run(switches);
        EXPECT_EQ(located.path, host.folder() + "Plugins\\TPP_25Frame.ini") << switches;
        EXPECT_TRUE(located.opened) << switches;
        EXPECT_TRUE(Exists(located.path)) << "created empty";
    }
}

TEST(SettingsLocation, InstanceFolderMustExist) {
    HostFolder host;
    Located located = host.Run("/inst:2");
    EXPECT_EQ(located.path, host.folder() + "Instances\\2\\Plugins\\TPP_25Frame.ini");
    EXPECT_FALSE(located.opened);
    EXPECT_FALSE(Exists(host.folder() + "Instances"));

    CreateDirectoryA((host.folder() + "Instances").c_str(), nullptr);
    CreateDirectoryA((host.folder() + "Instances\\3").c_str(), nullptr);
    located = host.Run("-inst:3");
    EXPECT_EQ(located.path, host.folder() + "Instances\\3\\Plugins\\TPP_25Frame.ini");
    EXPECT_TRUE(located.opened);
    EXPECT_TRUE(Exists(located.path));

    EXPECT_EQ(host.Run("/INST:2 -inst:5").path, host.folder() + "Instances\\2\\Plugins\\TPP_25Frame.ini");
}

// Sets HKLM\SOFTWARE\Telvoria\StoreInUsersFolder for the test's lifetime;
// the Wine prefix is shared by every test of the run.
class UsersFolderSwitch {
public:
    explicit UsersFolderSwitch(DWORD value) {
        DWORD disposition = 0;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Telvoria", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                        &disposition);
        createdKey_ = disposition == REG_CREATED_NEW_KEY;
        RegSetValueExA(key_, "StoreInUsersFolder", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    ~UsersFolderSwitch() {
        RegDeleteValueA(key_, "StoreInUsersFolder");
        RegCloseKey(key_);
        if (createdKey_) RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Telvoria");
    }

private:
    HKEY key_ = nullptr;
    bool createdKey_ = false;
};

std::string AppDataFolder() {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE);
    return path;
}

TEST(SettingsLocation, RegistrySwitchChoosesThePerUserFolder) {
    HostFolder host;
    const std::string telvoria = AppDataFolder() + "\\Telvoria\\";
    // The per-user folder is the host's to create; this test makes and
    // removes it in the test prefix.
    struct RemoveAfterwards {
        const std::string& folder;
        RemoveAfterwards(const std::string& f) : folder(f) { Remove(); }
        ~RemoveAfterwards() { Remove(); }
        void Remove() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } cleanup(telvoria);
    {
        UsersFolderSwitch off(0);
        EXPECT_EQ(host.Run("").path, host.folder() + "Plugins\\TPP_25Frame.ini");
    }
    UsersFolderSwitch on(1);
    Located located = host.Run("");
    EXPECT_EQ(located.path, telvoria + "Plugins\\TPP_25Frame.ini");
    EXPECT_FALSE(located.opened) << "the per-user folder does not exist yet";

    CreateDirectoryA(telvoria.c_str(), nullptr);
    located = host.Run("");
    EXPECT_TRUE(located.opened);
    located = host.Run("/inst:2");
    EXPECT_EQ(located.path, telvoria + "Instances\\2\\Plugins\\TPP_25Frame.ini");
    EXPECT_FALSE(located.opened);
}

platform::LocationFacts FactsFor(const HostFolder& host) {
    platform::LocationFacts facts;
    facts.family = platform::SystemFamily::kNt;
    facts.hostExecutablePath = host.folder() + "host.exe";
    facts.commandLine = "host.exe";
    return facts;
}

// Only the files named, no temporary one left behind.
int FilesIn(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) count += entry.is_regular_file();
    return count;
}

TEST(SettingsFile, ReadOnlyFileIsReadButNotSaved) {
    HostFolder host;
    const std::string path = host.folder() + "Plugins\\TPP_25Frame.ini";
    CreateDirectoryA((host.folder() + "Plugins").c_str(), nullptr);
    const std::string content = "[PluginSettings]\r\nDicType=1\r\n";
    WriteBytes(path, content);
    SetAttributes(path, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(host.Run("").opened);

    SettingsState settings;
    settings.settingsFile.Locate("TPP_25Frame", FactsFor(host));
    EXPECT_TRUE(LoadSettings(settings));
    const SettingsRecord workingSettings = settings.workingSettings.Get();
    EXPECT_EQ(workingSettings.DicType, 1);
    EXPECT_EQ(workingSettings.StringPosX, 634);
    EXPECT_EQ(SaveSettings(settings).why, "it is read-only");
    EXPECT_EQ(ReadBytes(path), content);
    SetAttributes(path, FILE_ATTRIBUTE_NORMAL);

    // Key by key: what the file held keeps its place, the rest follows.
    EXPECT_TRUE(SaveSettings(settings));
    EXPECT_EQ(ReadBytes(path).rfind("[PluginSettings]\r\nDicType=1\r\nDlgWndPosX=-100\r\n", 0), 0u);
    EXPECT_EQ(FilesIn(host.folder() + "Plugins"), 1);
}

// Two saves at once from threads of their own, as two instances stopping
// together: the lock holds one until the other has put its file in place,
// so each save succeeds and each file is whole.
TEST(SettingsFile, SavesAtOnceEachSucceedAndNeverMixAFile) {
    HostFolder host;
    const std::string list = host.folder() + "words.dic";
    std::atomic<int> failures{0};
    const auto saver = [&](int id) {
        SettingsState settings;
        settings.settingsFile.Locate("TPP_25Frame", FactsFor(host));
        LoadSettings(settings);
        for (int round = 0; round < 100; ++round) {
            settings.workingSettings.Change(
                [&](SettingsRecord& s) { s.FontName = std::string(1 + 20 * id, 'W') + std::to_string(round); });
            DictionaryStore store;
            for (int line = 0; line < 40 + 60 * id; ++line)
                store.AddAltEntry(std::to_string(id) + " " + std::to_string(line));
            if (!SaveSettings(settings) || !store.SaveAltDictionary(list)) ++failures;
        }
    };
    std::thread first(saver, 0), second(saver, 1);
    first.join();
    second.join();
    EXPECT_EQ(failures, 0);
    SettingsState settings;
    settings.settingsFile.Locate("TPP_25Frame", FactsFor(host));
    LoadSettings(settings);
    const std::string font = settings.workingSettings.Get().FontName;
    EXPECT_TRUE(font == "W99" || font == std::string(21, 'W') + "99") << font;
    const std::string words = ReadBytes(list);
    const size_t lines = std::count(words.begin(), words.end(), '\n');
    EXPECT_TRUE((lines == 40 && words.rfind("0 ", 0) == 0) || (lines == 100 && words.rfind("1 ", 0) == 0)) << words;
    EXPECT_EQ(FilesIn(host.folder() + "Plugins"), 1);
    EXPECT_EQ(FilesIn(host.folder()), 2) << "host.exe and the list";
}

// The dictionaries with the settings that name their file, as the plug-in
// keeps them.
class AltDictionaryFile : public ::testing::Test {
protected:
    void LoadAltDictionary() {
        workingSettings.CurExtEntry = store.LoadAltDictionary(workingSettings.DicFileName, workingSettings.CurExtEntry);
    }
    void SaveAltDictionary() { store.SaveAltDictionary(workingSettings.DicFileName); }
    bool AltDictionaryChanged() { return store.AltDictionaryChanged(); }
    std::vector<std::string> AltDictionaryLines() { return store.AltDictionaryLines(); }
    void AddAltEntry(const std::string& text) { store.AddAltEntry(text); }

    SettingsRecord workingSettings;
    DictionaryStore store;
};

// Paths are UTF-8 inside, and files are opened by their wide names.
TEST_F(AltDictionaryFile, SavesReplaceTheFileUnderACyrillicName) {
    HostFolder host;
    const std::string path = host.folder() + "словарь.dic";
    workingSettings.DicType = 1;
    workingSettings.DicFileName = path;
    WriteBytes(path, "b - y\r\nA - x\r\na - X\r\n");
    LoadAltDictionary();
    AddAltEntry("Абв");
    SaveAltDictionary();
    EXPECT_FALSE(AltDictionaryChanged());
    EXPECT_EQ(ReadBytes(path), "A - x\r\nb - y\r\n\xC0\xE1\xE2\r\n");

    AddAltEntry("c");
    SetAttributes(path, FILE_ATTRIBUTE_READONLY);
    SaveAltDictionary();
    EXPECT_TRUE(AltDictionaryChanged()) << "a read-only file is not saved";
    EXPECT_EQ(ReadBytes(path), "A - x\r\nb - y\r\n\xC0\xE1\xE2\r\n");
    SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
    SaveAltDictionary();
    EXPECT_EQ(ReadBytes(path), "A - x\r\nb - y\r\nc\r\n\xC0\xE1\xE2\r\n");
}

TEST_F(AltDictionaryFile, ReadOnlyFileIsReadButNotChanged) {
    HostFolder host;
    const std::string path = host.folder() + "words.dic";
    WriteBytes(path, "a - x\r\n");
    SetAttributes(path, FILE_ATTRIBUTE_READONLY);
    workingSettings.DicType = 1;
    workingSettings.DicFileName = path;
    LoadAltDictionary();
    EXPECT_EQ(AltDictionaryLines(), std::vector<std::string>{"a - x"});
    EXPECT_FALSE(AltDictionaryChanged());
    AddAltEntry("b - y");
    SaveAltDictionary();
    EXPECT_TRUE(AltDictionaryChanged());
    EXPECT_EQ(ReadBytes(path), "a - x\r\n");
    SetAttributes(path, FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == kLocateSwitch) return ReportLocation();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
