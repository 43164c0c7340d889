// Saves onto a disk that is really full: a 16 KiB tmpfs filled to the last
// block (the file-size limit in the other tests stands in where mounting is
// not allowed). Needs the right to mount; skipped without it.
#include <sys/mount.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "dictionary/dictionary_store.h"
#include "settings/settings_persistence.h"
#include "settings/settings_state.h"
#include "tests/native/temp_folder.h"

namespace {

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        disk_ = dir_ / "disk";
        std::filesystem::create_directory(disk_);
        if (mount("tpp-test", disk_.c_str(), "tmpfs", 0, "size=16k") != 0) GTEST_SKIP() << "cannot mount here";
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) umount(disk_.c_str());
    }

    // Takes every free block of the disk.
    void Fill() {
        FILE* filler = std::fopen((disk_ + "/filler").c_str(), "wb");
        ASSERT_NE(filler, nullptr);
        const std::string block(512, 'x');
        while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
        }
        std::fclose(filler);
    }

    TempFolder dir_;
    std::string disk_;
    bool mounted_ = false;
};

TEST_F(FullDisk, SettingsSaveKeepsThePreviousFile) {
    platform::LocationFacts facts;
    facts.family = platform::SystemFamily::kNt;
    facts.hostExecutablePath = disk_ + "/host.exe";
    facts.separator = '/';
    SettingsState settings;
    CSettingsFile& file = settings.settingsFile;
    file.Locate("TPP_25Frame", facts);
    const std::string previous = "[PluginSettings]\r\nDicType=1\r\n";
    WriteBytes(file.path(), previous);
    LoadSettings(settings);
    Fill();
    SaveSettings(settings);
    EXPECT_EQ(ReadBytes(file.path()), previous);
    EXPECT_FALSE(std::filesystem::exists(file.path() + ".tmp"));
    std::filesystem::remove(disk_ + "/filler");
    SaveSettings(settings);
    EXPECT_EQ(ReadBytes(file.path()).rfind("[PluginSettings]\r\nDicType=1\r\nDlgWndPosX=", 0), 0u);
}

TEST_F(FullDisk, DictionarySaveKeepsTheOldFileAndTheChangedFlag) {
    SettingsRecord workingSettings;
    DictionaryStore dictionaries;
    workingSettings.DicType = 1;
    workingSettings.DicFileName = disk_ + "/words.dic";
    WriteBytes(workingSettings.DicFileName, "old\r\n");
    dictionaries.LoadAltDictionary(workingSettings.DicFileName, 0);
    dictionaries.AddAltEntry(std::string(3000, 'n'));
    Fill();
    dictionaries.SaveAltDictionary(workingSettings.DicFileName);
    EXPECT_TRUE(dictionaries.AltDictionaryChanged());
    EXPECT_EQ(ReadBytes(workingSettings.DicFileName), "old\r\n");
    std::filesystem::remove(disk_ + "/filler");
    dictionaries.SaveAltDictionary(workingSettings.DicFileName);
    EXPECT_FALSE(dictionaries.AltDictionaryChanged());
    EXPECT_EQ(ReadBytes(workingSettings.DicFileName).size(), 3000u + 2 + 5);
}

}  // namespace
