// Files that the user may read but not write, folders where files should
// be, word lists that are not there: what can be read is read, nothing a
// file holds is lost, and the user is told through the instance's notices,
// which the trace, tpp-host's summary and the element's bus carry.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/native/temp_folder.h"
#include "tests/native/unprivileged.h"
#include "tests/support/test_instance.h"

namespace {

bool Told(const std::vector<std::string>& notices, const std::string& what) {
    for (const std::string& notice : notices)
        if (notice.find(what) != std::string::npos) return true;
    ADD_FAILURE() << "not told: " << what << "\n" << ::testing::PrintToString(notices);
    return false;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

class FileAccess : public ::testing::Test {
protected:
    std::unique_ptr<PluginInstance> Instance() {
        InstanceParts parts;
        parts.settingsPath = settings_;
        return MakeTestInstance(std::move(parts));
    }

    TempFolder dir_;
    const std::string settings_ = dir_ / "TPP_25Frame.ini";
    const std::string words_ = dir_ / "words.dic";
};

TEST_F(FileAccess, ReadOnlyFilesAreReadAndTheirSavesSaidToFailAndKeptWhole) {
    const std::string settings = "[PluginSettings]\r\nDicType=1\r\nDicFileName=" + words_ + "\r\nRulesType=0\r\n";
    const std::string words = "b - y\r\na - x\r\n";
    WriteBytes(settings_, settings);
    WriteBytes(words_, words);
    chmod(settings_.c_str(), 0444);
    chmod(words_.c_str(), 0444);
    ASSERT_TRUE(RunUnprivileged(dir_.path(), [&] {
        std::unique_ptr<PluginInstance> plugin = Instance();
        plugin->Init();
        EXPECT_EQ(plugin->Settings().DicType, 1);
        EXPECT_EQ(DictionariesOf(*plugin).AltDictionaryLines(), (std::vector<std::string>{"a - x", "b - y"}));
        EXPECT_EQ(plugin->TakeNotices(), std::vector<std::string>{});
        DictionariesOf(*plugin).AddAltEntry("c - z");
        plugin->Exit();
        std::vector<std::string> notices = plugin->TakeNotices();
        Told(notices, "Word list \"" + words_ + "\" cannot be written (it is read-only)");
        Told(notices, "Settings file \"" + settings_ + "\" cannot be written (it is read-only)");

        // Files that may be written in a folder that may not: no new file
        // can take their place.
        chmod(settings_.c_str(), 0644);
        chmod(words_.c_str(), 0644);
        chmod(dir_.path().c_str(), 0555);
        plugin->Init();
        DictionariesOf(*plugin).AddAltEntry("c - z");
        plugin->Exit();
        notices = plugin->TakeNotices();
        Told(notices, "Word list \"" + words_ + "\" cannot be written (no new file can be made beside it");
        Told(notices, "Settings file \"" + settings_ + "\" cannot be written (no new file can be made beside it");
        chmod(dir_.path().c_str(), 0755);
    }));
    EXPECT_EQ(ReadBytes(settings_), settings);
    EXPECT_EQ(ReadBytes(words_), words);
    EXPECT_EQ(FilesIn(dir_.path()), (std::set<std::string>{"TPP_25Frame.ini", "words.dic"}));
}

TEST_F(FileAccess, MissingWordListIsCreatedEmptyAndFoldersAreSaidToBeFolders) {
    WriteBytes(settings_, "[PluginSettings]\r\nDicType=1\r\nDicFileName=" + words_ + "\r\n");
    std::unique_ptr<PluginInstance> plugin = Instance();
    plugin->Init();
    EXPECT_EQ(ReadBytes(words_), "");
    EXPECT_TRUE(std::filesystem::is_regular_file(words_));
    Told(plugin->TakeNotices(), "Word list \"" + words_ + "\" did not exist: it was created empty");
    plugin->Exit();

    std::filesystem::remove(words_);
    std::filesystem::create_directory(words_);
    plugin->Init();
    Told(plugin->TakeNotices(), "Word list \"" + words_ + "\" cannot be read (it is a folder)");
    plugin->Exit();

    std::filesystem::remove(settings_);
    std::filesystem::create_directory(settings_);
    plugin->Init();
    Told(plugin->TakeNotices(), "Settings file \"" + settings_ + "\" cannot be read (it is a folder)");
    plugin->Exit();
    EXPECT_TRUE(std::filesystem::is_directory(settings_));
}

}  // namespace
