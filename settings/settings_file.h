// The INI settings file: where it lies, and reading and writing its
// sections and key=value lines. Lookups read the open file line by line;
// a save writes a whole new file and only then puts it in place.
#pragma once

#include <cstdint>
#include <string>

#include "platform/settings_location.h"
#include "platform/text_file.h"
#include "settings/settings_table.h"

class CSettingsFile {
public:
    // Builds folder and path from the platform's facts and creates the last
    // folder level. An unknown location leaves the path empty: every open
    // then fails, so settings take their defaults and nothing is saved.
    void Locate(const std::string& baseName);
    void Locate(const std::string& baseName, const platform::LocationFacts& facts);
    // A file named outright; its folder is the caller's and is not created.
    void UsePath(const std::string& path);

    // Opens for reading, creating an empty file when there is none.
    bool OpenForReading();
    // Starts a full rewrite; the old file stays until Close completes it.
    bool OpenForWriting();
    // Ends reading, or puts the rewritten file in place.
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

    void WriteSection(const std::string& name);
    void WriteValue(const std::string& key, const std::string& text);
    void WriteLong(const std::string& key, int32_t value);
    void WriteValues(const SettingDescriptor* table, int count, SettingsRecord& record);

    const std::string& valueText() const { return valueText_; }
    const std::string& instance() const { return instance_; }
    const std::string& folder() const { return folder_; }
    const std::string& path() const { return path_; }

private:
    bool open_ = false;
    std::string valueText_;
    std::string instance_;
    std::string folder_;
    std::string baseName_;
    std::string fileName_;
    std::string path_;
    TextFileReader reader_;
    ReplacingTextWriter writer_;
    uint64_t sectionPosition_ = 0;  // start of the header line found last
};
