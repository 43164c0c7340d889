#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/native/temp_folder.h"

namespace {

std::vector<std::string> ReadAllLines(const std::string& path) {
    TextFileReader file;
    EXPECT_TRUE(file.Open(path));
    std::vector<std::string> lines;
    std::string line;
    while (file.ReadLine(line)) lines.push_back(line);
    return lines;
}

TEST(TextFileReader, LinesEndAtLfWithOrWithoutCr) {
    TempFolder dir;
    WriteBytes(dir / "a.txt", "one\r\ntwo\n\r\nthree\rstill three\nlast");
    EXPECT_EQ(ReadAllLines(dir / "a.txt"), (std::vector<std::string>{"one", "two", "", "three\rstill three", "last"}));
    WriteBytes(dir / "a.txt", "one\r\nlast\r");
    EXPECT_EQ(ReadAllLines(dir / "a.txt"), (std::vector<std::string>{"one", "last"}));
}

TEST(TextFileReader, FinalLineEndAddsNoLine) {
    TempFolder dir;
    WriteBytes(dir / "a.txt", "a\r\n\r\n");
    EXPECT_EQ(ReadAllLines(dir / "a.txt"), (std::vector<std::string>{"a", ""}));
}

TEST(TextFileReader, LinesLongerThanTheBufferComeWhole) {
    TempFolder dir;
    const std::string longLine(10000, 'x');
    WriteBytes(dir / "a.txt", longLine + "\r\nshort\r\n" + longLine);
    EXPECT_EQ(ReadAllLines(dir / "a.txt"), (std::vector<std::string>{longLine, "short", longLine}));
}

TEST(TextFileReader, OpensOnlyFilesThatAreThereAndCreatesNothing) {
    TempFolder dir;
    TextFileReader file;
    EXPECT_FALSE(file.Open(dir / "new.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "new.txt"));
    EXPECT_FALSE(file.Open(dir / "no-such-folder/x.txt"));
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(file.Open(dir / "folder").why, "it is a folder");
}

TEST(TextFileReader, TellNamesTheNextLineAndSeekReturnsToIt) {
    TempFolder dir;
    WriteBytes(dir / "a.txt", "ab\r\ncd\nef");
    TextFileReader file;
    ASSERT_TRUE(file.Open(dir / "a.txt"));
    EXPECT_EQ(file.Length(), 9u);
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(file.Tell(), 4u);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(file.Tell(), 7u);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(file.Tell(), 9u);
    EXPECT_FALSE(file.ReadLine(line));
    file.Seek(4);
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "cd");
}

TEST(ReplacingTextWriter, WritesCrLfLinesInPlaceOfTheOldFile) {
    TempFolder dir;
    WriteBytes(dir / "a.txt", "old content that is longer\r\n");
    ReplacingTextWriter file;
    ASSERT_TRUE(file.Begin(dir / "a.txt"));
    file.WriteLine("one");
    file.WriteLine("");
    file.WriteLine("\xC0\xE1\xE2");  // Абв
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "old content that is longer\r\n") << "replaced before commit";
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "one\r\n\r\n\xC0\xE1\xE2\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file is left";
}

TEST(ReplacingTextWriter, AbandonedWriteLeavesTheOldFile) {
    TempFolder dir;
    WriteBytes(dir / "a.txt", "old\r\n");
    {
        ReplacingTextWriter file;
        ASSERT_TRUE(file.Begin(dir / "a.txt"));
        file.WriteLine("new");
    }
    EXPECT_EQ(ReadBytes(dir / "a.txt"), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file is left";
}

TEST(ReplacingTextWriter, UnopenableTargetFailsAtBegin) {
    TempFolder dir;
    ReplacingTextWriter file;
    EXPECT_FALSE(file.Begin(dir / "missing/a.txt"));
    EXPECT_FALSE(file.Begin(""));
    std::filesystem::create_directory(dir / "folder");
    EXPECT_FALSE(file.Begin(dir / "folder"));
}

// A write that runs out of room half-way (here a file-size limit, as a full
// disk would) must leave the previous file as it was.
TEST(ReplacingTextWriter, SaveThatFailsHalfWayKeepsThePreviousFile) {
    TempFolder dir;
    const std::string previous = "previous line one\r\nprevious line two\r\n";
    WriteBytes(dir / "a.txt", previous);
    ASSERT_TRUE(RunWithFileSizeLimit(1000, [&] {
        ReplacingTextWriter file;
        if (!file.Begin(dir / "a.txt")) _exit(2);
        for (int i = 0; i < 2000; ++i) file.WriteLine("a line that will not fit");
        if (file.Commit()) _exit(1);  // the failure must be reported
    }));
    EXPECT_EQ(ReadBytes(dir / "a.txt"), previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file is left";
}

}  // namespace
