// The INI settings file: where it lies, and reading and writing its
// sections and key=value lines. Lookups read the open file line by line;
// a save writes a whole new file and only then puts it in place. The file
// is Windows-1251, as the plug-in's own text, or UTF-8 with or without the
// byte-order mark, as Notepad saves it; keys and values come and go as
// UTF-8 either way. A save keeps the file's encoding, unless a value needs
// a character that Windows-1251 lacks: the file then becomes UTF-8.
// Section names and keys match without regard to the case of ASCII
// letters, as Windows' own profile functions match them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/location_facts.h"
#include "platform/text_file.h"
#include "settings/settings_table.h"

// One key=value line of a section.
// How the file's bytes are text.
enum class FileText { kWindows1251, kUtf8, kUtf8WithMark };

struct SettingsLine {
    std::string key;
    std::string value;
    bool operator==(const SettingsLine&) const = default;
};

// What a save does to one section. The rest of the file, and the lines of
// the section that no edit names, stay as the file holds them when it is
// saved: each saver writes back only what it owns.
struct SectionEdit {
    std::string name;
    // Duplicate sections of the name go, so that a search finds only this
    // one; its own lines that set names stay where they are, as do lines
    // it does not know.
    bool whole = false;
    std::vector<SettingsLine> set;   // written over what the file holds
    std::vector<SettingsLine> fill;  // written only where the file has no value
};

class CSettingsFile {
public:
    // Builds folder and path from the platform's facts and creates the last
    // folder level. An unknown location leaves the path empty: every open
    // then fails, so settings take their defaults and nothing is saved.
    void Locate(const std::string& baseName);
    void Locate(const std::string& baseName, const platform::LocationFacts& facts);
    // A file named outright; its folder is the caller's and is not created.
    void UsePath(const std::string& path);

    // Opens for reading only; a missing file is first created empty, as
    // the host's plug-in always did.
    platform::FileOutcome OpenForReading();
    void Close();

    // Positions the file after the header of the section. The search starts
    // at the header found last and goes once round the file.
    bool FindSection(const std::string& name);
    // The first line with the key in the section decides; an empty value
    // counts as missing. The value is then in valueText().
    bool FindValue(const std::string& section, const std::string& key);
    // Each row's field of the record from the section, or its default.
    void ReadValues(const std::string& section, const SettingDescriptor* table, int count, SettingsRecord& record,
                    Defaults defaults = Defaults::kTable);
    void ReadLong(const std::string& section, const std::string& key, int32_t& field, int32_t defaultValue);
    // The lines of the section that have a key and a value, in file order;
    // of lines with the same key, the first.
    std::vector<SettingsLine> ReadSection(const std::string& name);

    // The lines of the section that give no value: without "=", or with a
    // key that is none of keys; blank lines and comments (";", "#") aside.
    std::vector<std::string> UnreadLines(const std::string& section, const std::vector<std::string_view>& keys);

    // Writes the file anew, with the edits, from what it holds at this
    // moment: under its lock (platform::FileLock), so that two saves at
    // once each keep what the other wrote. A failed save leaves the file as
    // it was. The file must be closed for reading.
    platform::FileOutcome Save(const std::vector<SectionEdit>& edits);

    const std::string& valueText() const { return valueText_; }
    const std::string& instance() const { return instance_; }
    const std::string& folder() const { return folder_; }
    const std::string& path() const { return path_; }

private:
    // The file's text as UTF-8, and the other way.
    std::string FromFile(std::string_view text) const;
    std::string ToFile(std::string_view text) const;

    bool open_ = false;
    FileText text_ = FileText::kWindows1251;  // of the open file
    uint64_t textStart_ = 0;                  // after the mark
    std::string valueText_;
    std::string instance_;
    std::string folder_;
    std::string baseName_;
    std::string fileName_;
    std::string path_;
    TextFileReader reader_;
    uint64_t sectionPosition_ = 0;  // start of the header line found last
    std::string absentSection_;     // the header the open file was last found to lack
    struct SectionKeys {
        uint64_t header;                                      // where its header line starts
        std::unordered_map<std::string, std::string> values;  // by key in ASCII lower case
    };
    std::vector<SectionKeys> sectionKeys_;  // the open file's sections read so far
};
