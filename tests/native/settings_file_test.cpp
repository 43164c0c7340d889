#include "settings/settings_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_location.h"
#include "settings/settings_persistence.h"
#include "settings/settings_state.h"
#include "tests/native/temp_folder.h"

namespace {

platform::LocationFacts HostIn(const std::string& folder) {
    platform::LocationFacts facts;
    facts.family = platform::SystemFamily::kNt;
    facts.hostExecutablePath = folder + "/host.exe";
    facts.commandLine = "host.exe";
    facts.separator = '/';
    return facts;
}

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_.Locate("TPP_25Frame", HostIn(dir_.path()));
        path_ = dir_ / "Plugins/TPP_25Frame.ini";
    }

    void Load(const std::string& content) {
        WriteBytes(path_, content);
        LoadSettings(settings_);
    }

    TempFolder dir_;
    SettingsState settings_;
    CSettingsFile& file_ = settings_.settingsFile;
    std::string path_;
    SettingsRecord Working() const { return settings_.workingSettings.Get(); }
    template <class Change>
    void Set(Change change) {
        settings_.workingSettings.Change(change);
    }
    // The copies, under the names the plug-in gives them.
    SettingsRecord& defaultSettings = settings_.defaultSettings;
    int32_t& DlgWndPosX = settings_.DlgWndPosX;
    int32_t& DlgWndPosY = settings_.DlgWndPosY;
};

const char kWorkedExample[] =
    "[PluginSettings]\r\nDlgWndPosX=-100\r\nDlgWndPosY=-100\r\nDicType=0\r\nDicFileName=\r\n"
    "StringPosX=634\r\nStringPosY=537\r\nRndStringPos=1\r\nFontName=Arial\r\nFontSize=-40\r\n"
    "FontWeight=400\r\nFontItalic=0\r\nFontUnderline=0\r\nFontStrikeOut=0\r\nFontCharSet=204\r\n"
    "TextColor=41215\r\nBackColor=16777215\r\nTransparency=100\r\nBackType=0\r\nShowFreqFrom=12\r\n"
    "ShowFreqTo=12\r\nShowTimeFrom=1\r\nShowTimeTo=1\r\nRulesType=2\r\nCurIntEntry=0\r\nCurExtEntry=0\r\n"
    "OutlineWidth=0\r\nOutlineColor=0\r\nShadowOffset=0\r\nShadowColor=0\r\nBoxPadding=0\r\nKeepProportions=0\r\n";

TEST_F(SettingsFileTest, NoFileGivesDefaultsAnEmptyFileAndAtExitTheFullSection) {
    LoadSettings(settings_);
    EXPECT_EQ(ReadBytes(path_), "");
    EXPECT_EQ(DlgWndPosX, -100);
    EXPECT_EQ(DlgWndPosY, -100);
    EXPECT_EQ(Working().FontName, "Arial");
    EXPECT_EQ(Working().TextColor, 41215u);
    EXPECT_EQ(Working().RulesType, 2);
    EXPECT_EQ(defaultSettings, Working());
    SaveSettings(settings_);
    EXPECT_EQ(ReadBytes(path_), kWorkedExample);
}

TEST_F(SettingsFileTest, SavedValuesReadBackAndOtherSectionsStay) {
    Load(
        "; notes\r\n[DEFAULT]\r\nFontName=Courier\r\n[PluginSettings]\r\nDlgWndPosX=20\r\nStray\r\n"
        "[PluginSettings]\r\nDicType=1\r\n[Other]\r\nk=v");
    EXPECT_EQ(defaultSettings.FontName, "Courier");
    EXPECT_EQ(Working().FontName, "Arial");
    Set([&](SettingsRecord& s) { s.DicFileName = "C:\\dic\\слова.dic"; });
    Set([&](SettingsRecord& s) {
        s.BackColor = 0xFFFFFFFF;
        s.FontSize = -12;
        s.FontCharSet = 0;
    });
    DlgWndPosY = -7;
    const SettingsRecord saved = Working();
    ASSERT_TRUE(SaveSettings(settings_));
    // The plug-in's values go over its keys' lines where they stand, the
    // rest after them; a line it does not know stays, the duplicate
    // section goes, and what is not the plug-in's stays. Windows-1251
    // holds the path, so the file stays Windows-1251.
    const std::string written = ReadBytes(path_);
    EXPECT_EQ(written.rfind("; notes\r\n[DEFAULT]\r\nFontName=Courier\r\n[PluginSettings]\r\nDlgWndPosX=20\r\n"
                            "Stray\r\nDlgWndPosY=-7\r\n",
                            0),
              0u)
        << written;
    EXPECT_NE(written.find("\r\nDicFileName=C:\\dic\\\xF1\xEB\xEE\xE2\xE0.dic\r\n"), std::string::npos);
    EXPECT_EQ(written.find("[PluginSettings]", 1), written.rfind("[PluginSettings]"));
    EXPECT_EQ(written.substr(written.size() - 14), "[Other]\r\nk=v\r\n");

    Set([&](SettingsRecord& s) { s = SettingsRecord{}; });
    LoadSettings(settings_);
    EXPECT_EQ(Working(), saved);
    EXPECT_EQ(DlgWndPosX, 20);
    EXPECT_EQ(DlgWndPosY, -7);
    EXPECT_EQ(defaultSettings.FontName, "Courier");
}

// Notepad's UTF-8, with the mark or without it: the values come as they
// stand (text inside is UTF-8), and a save keeps the encoding, the colour
// in decimal and the path without quotes.
TEST_F(SettingsFileTest, Utf8FileWithOrWithoutTheMarkIsReadAndSavedInUtf8) {
    for (const std::string mark : {"\xEF\xBB\xBF", ""}) {
        Load(mark +
             "[PluginSettings]\r\nDicFileName=\"C:\\Мои слова\\ёж.dic\"\r\nTextColor=#FF8000\r\n"
             "[Другое]\r\nk=значение\r\n");
        EXPECT_EQ(Working().DicFileName, "C:\\Мои слова\\ёж.dic");
        EXPECT_EQ(Working().TextColor, 0x0080FFu);
        Set([&](SettingsRecord& s) { s.FontName = "Шрифт"; });
        ASSERT_TRUE(SaveSettings(settings_));
        const std::string written = ReadBytes(path_);
        EXPECT_EQ(written.rfind(mark + "[PluginSettings]\r\n", 0), 0u) << written;
        EXPECT_NE(written.find("\r\nDicFileName=C:\\Мои слова\\ёж.dic\r\n"), std::string::npos) << written;
        EXPECT_NE(written.find("\r\nFontName=Шрифт\r\n"), std::string::npos) << written;
        EXPECT_NE(written.find("\r\nTextColor=33023\r\n"), std::string::npos) << written;
        EXPECT_NE(written.find("\r\n[Другое]\r\nk=значение\r\n"), std::string::npos) << written;

        LoadSettings(settings_);
        EXPECT_EQ(Working().DicFileName, "C:\\Мои слова\\ёж.dic");
        EXPECT_EQ(Working().FontName, "Шрифт");
    }
}

// Windows-1251 cannot hold a Greek folder: the file becomes UTF-8 under
// the mark, its Windows-1251 lines converted, rather than lose the path.
TEST_F(SettingsFileTest, APathWindows1251CannotHoldTurnsTheFileUtf8) {
    Load("[Other]\r\nk=\xE7\xED\xE0\xF7\xE5\xED\xE8\xE5\r\n[PluginSettings]\r\nDicType=1\r\n");
    Set([&](SettingsRecord& s) { s.DicFileName = "C:\\λέξεις\\a.dic"; });
    ASSERT_TRUE(SaveSettings(settings_));
    const std::string written = ReadBytes(path_);
    EXPECT_EQ(written.rfind("\xEF\xBB\xBF[Other]\r\nk=значение\r\n[PluginSettings]\r\nDicType=1\r\n", 0), 0u)
        << written;
    LoadSettings(settings_);
    EXPECT_EQ(Working().DicFileName, "C:\\λέξεις\\a.dic");
}

// "Рѕ" in Windows-1251 is D0 BE, which is UTF-8 for "о": such a file
// would read back as other text, so it is saved as UTF-8 under the mark.
TEST_F(SettingsFileTest, Windows1251ThatWouldReadBackAsUtf8IsSavedAsUtf8) {
    Load("[PluginSettings]\r\nDicType=1\r\n");
    Set([&](SettingsRecord& s) { s.DicFileName = "C:\\Рѕ.dic"; });
    ASSERT_TRUE(SaveSettings(settings_));
    EXPECT_EQ(ReadBytes(path_).rfind("\xEF\xBB\xBF[PluginSettings]\r\n", 0), 0u);
    LoadSettings(settings_);
    EXPECT_EQ(Working().DicFileName, "C:\\Рѕ.dic");
}

// What a hand edit leaves that sets nothing is named, and kept in place.
TEST_F(SettingsFileTest, LinesThatSetNothingAreNamedAndKept) {
    Load("[pluginsettings]\r\nBackType 1\r\n; mine\r\n\r\nMyKey=7\r\nbacktype=1\r\n[DEFAULT]\r\nFoo=1\r\n");
    EXPECT_EQ(Working().BackType, 1);
    ASSERT_EQ(settings_.unreadLines.size(), 3u);
    EXPECT_EQ(settings_.unreadLines[0].text, "BackType 1");
    EXPECT_EQ(settings_.unreadLines[1].text, "MyKey=7");
    EXPECT_EQ(settings_.unreadLines[2].section, "DEFAULT");
    ASSERT_TRUE(SaveSettings(settings_));
    const std::string written = ReadBytes(path_);
    EXPECT_EQ(written.rfind("[pluginsettings]\r\nBackType 1\r\n; mine\r\n\r\nMyKey=7\r\nBackType=1\r\n", 0), 0u)
        << written;
    EXPECT_EQ(written.find("[PluginSettings]"), std::string::npos) << "no second section";
}

// The element owns where its walks stand and nothing else: what another
// wrote into the file since it was read stays, and keys the file lacks are
// filled in with what was read, so the file is complete.
TEST_F(SettingsFileTest, WalkSaveWritesOnlyTheWalksOverWhatTheFileHoldsNow) {
    Load("[PluginSettings]\r\nTextColor=5\r\nCurIntEntry=1\r\nCurExtEntry=2\r\n[Other]\r\nk=v\r\n");
    WriteBytes(path_,
               "[PluginSettings]\r\nTextColor=7\r\nFontName=Courier\r\nCurIntEntry=1\r\nCurExtEntry=3\r\n[Other]\r\n"
               "k=w\r\n[WordListPositions]\r\n/else.dic=8\r\n");
    WalkPositions walks;
    walks.builtin = 9;
    walks.lists = {{"/lists/a=b.dic", 4}, {"/else.dic", 6}};
    ASSERT_TRUE(SaveWalkPositions(settings_, walks));
    const std::string written = ReadBytes(path_);
    EXPECT_EQ(
        written.rfind("[PluginSettings]\r\nTextColor=7\r\nFontName=Courier\r\nCurIntEntry=9\r\nCurExtEntry=3\r\n", 0),
        0u)
        << written;
    EXPECT_NE(written.find("\r\nShowFreqFrom=12\r\n"), std::string::npos);
    EXPECT_NE(written.find("[Other]\r\nk=w\r\n[WordListPositions]\r\n/else.dic=6\r\n/lists/a%3Db.dic=4\r\n"),
              std::string::npos)
        << written;

    walks.fileListWalked = true;
    walks.fileList = 11;
    ASSERT_TRUE(SaveWalkPositions(settings_, walks));
    LoadSettings(settings_);
    EXPECT_EQ(Working().TextColor, 7u);
    EXPECT_EQ(Working().FontName, "Courier");
    EXPECT_EQ(Working().CurExtEntry, 11);
    ASSERT_EQ(settings_.wordListPositions.size(), 2u);
    EXPECT_EQ(settings_.wordListPositions[1].path, "/lists/a=b.dic");
    EXPECT_EQ(settings_.wordListPositions[1].index, 4);
}

// A last line that ends in CR without LF, as some editors leave it.
TEST_F(SettingsFileTest, LastLineEndingInCrAloneKeepsNoCr) {
    Load("[PluginSettings]\r\nDicFileName=/home/me/words.dic\r");
    EXPECT_EQ(Working().DicFileName, "/home/me/words.dic");
    ASSERT_TRUE(SaveSettings(settings_));
    EXPECT_NE(ReadBytes(path_).find("DicFileName=/home/me/words.dic\r\nDlgWndPosX"), std::string::npos);
    EXPECT_EQ(ReadBytes(path_).find("\r\r"), std::string::npos);
}

// A settings folder linked elsewhere: the save writes the link's target,
// which keeps its permissions and owner, and the link stays a link.
TEST_F(SettingsFileTest, SaveThroughASymbolicLinkWritesItsTarget) {
    TempFolder elsewhere;
    const std::string target = elsewhere / "real.ini";
    WriteBytes(target, "[PluginSettings]\r\nDicType=1\r\n");
    chmod(target.c_str(), 0600);
    const bool root = geteuid() == 0;
    if (root) ASSERT_EQ(chown(target.c_str(), 65534, 65534), 0);
    std::filesystem::create_symlink(target, dir_ / "Plugins/link.ini");
    std::filesystem::create_symlink("link.ini", path_);
    LoadSettings(settings_);
    EXPECT_EQ(Working().DicType, 1);
    Set([&](SettingsRecord& s) { s.RulesType = 0; });
    ASSERT_TRUE(SaveSettings(settings_));
    EXPECT_TRUE(std::filesystem::is_symlink(path_));
    EXPECT_NE(ReadBytes(target).find("RulesType=0\r\n"), std::string::npos);
    struct stat info;
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    if (root) EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(elsewhere.path()), {}), 1);
}

// Names match as Windows' profile functions match them: without regard to
// the case of ASCII letters.
TEST_F(SettingsFileTest, HeadersMatchWithBlanksOutsideTheBracketsInAnyCase) {
    Load("  [PluginSettings]\t\r\nDicType=1\r\n");
    EXPECT_EQ(Working().DicType, 1);
    Load("[ PluginSettings ]\r\nDicType=1\r\n");
    EXPECT_EQ(Working().DicType, 0);
    Load("[pluginsettings]\r\nDicType=1\r\n");
    EXPECT_EQ(Working().DicType, 1);
}

TEST_F(SettingsFileTest, KeysAreTrimmedAndOfAnyCaseValuesKeptAsTheyStand) {
    Load(
        "[PluginSettings]\n  DicType = 1\nFontName = Arial\ntextcolor=5\n"
        "DicFileName=C:\\dic\\a=b.dic\nBackColor=4294967295\nStringPosX=12abc\nShowFreqTo= 30\n");
    EXPECT_EQ(Working().DicType, 1);
    EXPECT_EQ(Working().FontName, " Arial");
    EXPECT_EQ(Working().TextColor, 5u);
    EXPECT_EQ(Working().DicFileName, "C:\\dic\\a=b.dic");
    EXPECT_EQ(Working().BackColor, 0xFFFFFFFFu);
    EXPECT_EQ(Working().StringPosX, 12);
    EXPECT_EQ(Working().ShowFreqTo, 30);
}

TEST_F(SettingsFileTest, FirstLineOfAKeyDecidesAndAnEmptyOneHidesTheRest) {
    Load("[PluginSettings]\r\nTextColor=7\r\nTextColor=8\r\n");
    EXPECT_EQ(Working().TextColor, 7u);
    Load("[PluginSettings]\r\nTextColor=\r\nTextColor=8\r\nStringPosX=\r\nRulesType=x\r\n");
    EXPECT_EQ(Working().TextColor, 41215u);
    EXPECT_EQ(Working().StringPosX, 634);
    EXPECT_EQ(Working().RulesType, 0) << "no digits gives 0, not the default";
}

TEST_F(SettingsFileTest, KeysOutsideTheSectionAreNotTaken) {
    Load(
        "DicType=1\r\n[DEFAULT]\r\nDicType=1\r\n[PluginSettings]\r\nStringPosX=5\r\n[Other]\r\n"
        "StringPosY=9\r\n");
    EXPECT_EQ(Working().DicType, 0);
    EXPECT_EQ(defaultSettings.DicType, 1);
    EXPECT_EQ(Working().StringPosX, 5);
    EXPECT_EQ(Working().StringPosY, 537);
}

TEST_F(SettingsFileTest, CommentsBlankAndStrayLinesArePassedOver) {
    Load("; comment\r\n\r\n[PluginSettings]\r\n\r\n; DicType=1\r\njunk\r\n   \r\nRulesType=0\r\n");
    EXPECT_EQ(Working().RulesType, 0);
    EXPECT_EQ(Working().DicType, 0);
}

// The search resumes at the header found last and wraps round the file, so
// sections in any order are found, and a missing one after a full lap.
TEST_F(SettingsFileTest, SectionSearchWrapsRoundFromTheLastHeaderFound) {
    WriteBytes(path_, "[B]\r\nk=b\r\n[A]\r\nk=a\r\n[C]\r\nk=c");
    ASSERT_TRUE(file_.OpenForReading());
    EXPECT_TRUE(file_.FindValue("C", "k"));
    EXPECT_EQ(file_.valueText(), "c");
    EXPECT_TRUE(file_.FindValue("A", "k"));
    EXPECT_EQ(file_.valueText(), "a");
    EXPECT_TRUE(file_.FindValue("B", "k"));
    EXPECT_EQ(file_.valueText(), "b");
    EXPECT_FALSE(file_.FindSection("D"));
    EXPECT_TRUE(file_.FindValue("C", " k "));
    EXPECT_EQ(file_.valueText(), "c");
    EXPECT_FALSE(file_.FindValue("C", "missing"));
    file_.Close();
    EXPECT_FALSE(file_.FindSection("A")) << "a closed file finds nothing";
}

TEST_F(SettingsFileTest, UnopenableFileGivesDefaultsAndNoSave) {
    std::filesystem::create_directory(path_);  // a folder where the file should be
    LoadSettings(settings_);
    EXPECT_EQ(Working().StringPosX, 634);
    SaveSettings(settings_);
    EXPECT_TRUE(std::filesystem::is_directory(path_));
}

TEST_F(SettingsFileTest, SaveThatFailsHalfWayKeepsThePreviousFile) {
    const std::string previous = "[PluginSettings]\r\nDicType=1\r\n";
    Load(previous);
    ASSERT_TRUE(RunWithFileSizeLimit(100, [&] { SaveSettings(settings_); }));
    EXPECT_EQ(ReadBytes(path_), previous);
    SaveSettings(settings_);
    EXPECT_EQ(ReadBytes(path_).size(), sizeof kWorkedExample - 1);
}

TEST_F(SettingsFileTest, FolderRemovedBeforeExitSavesNothing) {
    Load("[PluginSettings]\r\nDicType=1\r\n");
    std::filesystem::remove_all(dir_ / "Plugins");
    SaveSettings(settings_);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Plugins"));
    EXPECT_EQ(Working().DicType, 1);
}

TEST(SettingsLocation, InstanceComesFromTheSwitchesSlashFormWinning) {
    EXPECT_EQ(InstanceFromCommandLine("host.exe"), "");
    EXPECT_EQ(InstanceFromCommandLine("host.exe /inst:2"), "2");
    EXPECT_EQ(InstanceFromCommandLine("host.exe -inst:3"), "3");
    EXPECT_EQ(InstanceFromCommandLine("host.exe /INST:2 -inst:5"), "2");
    EXPECT_EQ(InstanceFromCommandLine("host.exe -inst:5 /inst:"), "");
    EXPECT_EQ(InstanceFromCommandLine("host.exe /inst:12"), "1");
    EXPECT_EQ(InstanceFromCommandLine("host.exe /inst:B"), "b");
    EXPECT_EQ(InstanceFromCommandLine("host.exe /inst:"), "");
}

TEST(SettingsLocation, FolderRules) {
    using platform::SystemFamily;
    platform::LocationFacts facts;
    facts.family = SystemFamily::kNt;
    facts.appDataFolder = "C:\\Users\\u\\AppData";
    facts.hostExecutablePath = "C:\\TV\\host.exe";
    EXPECT_EQ(SettingsFolder(facts, ""), "C:\\TV\\Plugins\\");
    EXPECT_EQ(SettingsFolder(facts, "3"), "C:\\TV\\Instances\\3\\Plugins\\");
    facts.storeInUsersFolder = true;
    EXPECT_EQ(SettingsFolder(facts, ""), "C:\\Users\\u\\AppData\\Telvoria\\Plugins\\");
    EXPECT_EQ(SettingsFolder(facts, "2"), "C:\\Users\\u\\AppData\\Telvoria\\Instances\\2\\Plugins\\");
    facts.family = SystemFamily::kOther;  // Windows 98 ignores the switch
    EXPECT_EQ(SettingsFolder(facts, ""), "C:\\TV\\Plugins\\");
    facts.family = SystemFamily::kUnknown;
    EXPECT_EQ(SettingsFolder(facts, ""), "");
    facts.family = SystemFamily::kNt;
    facts.appDataFolder.clear();
    EXPECT_EQ(SettingsFolder(facts, ""), "") << "no per-user folder: no file rather than one at the root";
}

TEST(SettingsLocation, FolderIsAbsoluteOrThereIsNone) {
    platform::LocationFacts facts;
    facts.family = platform::SystemFamily::kNt;
    const auto folderFor = [&](const std::string& hostPath) {
        facts.hostExecutablePath = hostPath;
        return SettingsFolder(facts, "2");
    };
    // A lookup that failed, or anything that would hang on the current
    // directory or drive.
    for (const char* hostPath : {"", "host.exe", "TV\\host.exe", "\\TV\\host.exe", "C:host.exe", "C:TV\\host.exe"})
        EXPECT_EQ(folderFor(hostPath), "") << hostPath;
    EXPECT_EQ(folderFor("\\\\server\\tv\\host.exe"), "\\\\server\\tv\\Instances\\2\\Plugins\\");
    EXPECT_EQ(folderFor("d:\\host.exe"), "d:\\Instances\\2\\Plugins\\");

    // A path that filled the 260-character buffer arrives as its first 259
    // characters; the folder is the deepest one that they name in full.
    std::string deep = "C:\\";
    while (deep.size() < 250) deep += "folder\\";
    const std::string cutShort = (deep + "host-folder\\host.exe").substr(0, 259);
    EXPECT_EQ(folderFor(cutShort), deep + "Instances\\2\\Plugins\\");

    facts.separator = '/';
    EXPECT_EQ(folderFor("opt/tv/host"), "");
    EXPECT_EQ(folderFor("/host"), "/Instances/2/Plugins/");
    facts.storeInUsersFolder = true;
    facts.appDataFolder = ".config";
    EXPECT_EQ(folderFor("/opt/tv/host"), "") << "a relative per-user folder";
}

TEST(SettingsLocation, BaseNameDropsFolderAndExtension) {
    EXPECT_EQ(ModuleBaseName("C:\\TV\\Plugins\\TPP_25Frame.dll"), "TPP_25Frame");
    EXPECT_EQ(ModuleBaseName("/opt/x.y/core_tests"), "core_tests");
    EXPECT_EQ(ModuleBaseName("a.b.dll"), "a.b");
}

TEST(SettingsLocation, LocateCreatesOnlyTheLastLevel) {
    TempFolder dir;
    platform::LocationFacts facts = HostIn(dir.path());
    CSettingsFile file;
    facts.commandLine = "host.exe /inst:2";
    file.Locate("TPP_25Frame", facts);
    EXPECT_EQ(file.instance(), "2");
    EXPECT_EQ(file.path(), dir / "Instances/2/Plugins/TPP_25Frame.ini");
    EXPECT_FALSE(std::filesystem::exists(dir / "Instances"));
    EXPECT_FALSE(file.OpenForReading());

    std::filesystem::create_directories(dir / "Instances/2");
    file.Locate("TPP_25Frame", facts);
    EXPECT_TRUE(file.OpenForReading());
    file.Close();
    EXPECT_TRUE(std::filesystem::exists(dir / "Instances/2/Plugins/TPP_25Frame.ini"));

    facts.family = platform::SystemFamily::kUnknown;
    file.Locate("TPP_25Frame", facts);
    EXPECT_EQ(file.path(), "");
    EXPECT_FALSE(file.OpenForReading());
    EXPECT_FALSE(file.Save({}));
}

}  // namespace
