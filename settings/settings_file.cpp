#include "settings/settings_file.h"

#include <string_view>

#include "settings/settings_location.h"
#include "settings/typed_value.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    return text;
}

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

std::string SectionHeader(std::string_view name) {
    std::string header(1, '[');
    header.append(Trim(name));
    header.push_back(']');
    return header;
}

}  // namespace

void CSettingsFile::Locate(const std::string& baseName) { Locate(baseName, platform::GatherLocationFacts()); }

void CSettingsFile::Locate(const std::string& baseName, const platform::LocationFacts& facts) {
    instance_ = InstanceFromCommandLine(facts.commandLine);
    folder_ = SettingsFolder(facts, instance_);
    baseName_ = baseName;
    if (folder_.empty()) {
        fileName_.clear();
        path_.clear();
        return;
    }
    platform::CreateFolder(folder_);
    fileName_ = baseName_ + ".ini";
    path_ = folder_ + fileName_;
}

void CSettingsFile::UsePath(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    instance_.clear();
    folder_ = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    fileName_ = path.substr(folder_.size());
    baseName_ = ModuleBaseName(path);
    path_ = path;
}

bool CSettingsFile::OpenForReading() {
    Close();
    sectionPosition_ = 0;
    open_ = !path_.empty() && reader_.Open(path_);
    return open_;
}

bool CSettingsFile::OpenForWriting() {
    Close();
    sectionPosition_ = 0;
    open_ = !path_.empty() && writer_.Begin(path_);
    return open_;
}

void CSettingsFile::Close() {
    if (!open_) return;
    reader_.Close();
    if (writer_.IsOpen()) writer_.Commit();
    open_ = false;
}

bool CSettingsFile::FindSection(const std::string& name) {
    if (!open_ || !reader_.IsOpen()) return false;
    const uint64_t length = reader_.Length();
    if (length == 0) return false;
    const std::string target = SectionHeader(name);

    uint64_t start = sectionPosition_;
    if (start >= length) start = sectionPosition_ = 0;
    reader_.Seek(start);
    uint64_t pos = start;
    bool wrapped = false;
    std::string line;
    do {
        if (reader_.ReadLine(line)) {
            if (Trim(line) == target) {
                sectionPosition_ = pos;
                return true;
            }
            pos = reader_.Tell();
        } else {
            pos = length;
        }
        if (pos >= length) {
            if (wrapped) break;  // a read error on the second lap
            reader_.Seek(0);
            pos = 0;
            wrapped = true;
        }
    } while (!(wrapped && pos >= start));
    return false;
}

bool CSettingsFile::FindValue(const std::string& section, const std::string& key) {
    const std::string_view wanted = Trim(key);
    if (!FindSection(section)) return false;
    std::string line;
    while (reader_.ReadLine(line)) {
        const std::string_view text = TrimLeft(line);
        if (text.empty()) continue;
        if (text.front() == '[') return false;
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) continue;
        if (TrimRight(text.substr(0, equals)) != wanted) continue;
        const std::string_view value = text.substr(equals + 1);
        if (value.empty()) return false;
        valueText_.assign(value);
        return true;
    }
    return false;
}

void CSettingsFile::ReadValues(const std::string& section, const SettingDescriptor* table, int count,
                               SettingsRecord& record, Defaults defaults) {
    for (int i = 0; i < count; ++i) {
        const SettingDescriptor& row = table[i];
        if (!IsValidTypeCode(row.typeCode)) continue;
        if (FindValue(section, row.key))
            ParseTypedValue(row.typeCode, valueText_, row.storage(record));
        else
            ApplyDefault(row, record, defaults);
    }
}

void CSettingsFile::ReadLong(const std::string& section, const std::string& key, int32_t& field, int32_t defaultValue) {
    field = FindValue(section, key) ? static_cast<int32_t>(ParseDecimal(valueText_.c_str(), false)) : defaultValue;
}

void CSettingsFile::WriteSection(const std::string& name) {
    if (open_) writer_.WriteLine(SectionHeader(name));
}

void CSettingsFile::WriteValue(const std::string& key, const std::string& text) {
    if (open_) writer_.WriteLine(std::string(Trim(key)) + "=" + text);
}

void CSettingsFile::WriteLong(const std::string& key, int32_t value) {
    valueText_ = std::to_string(value);
    WriteValue(key, valueText_);
}

void CSettingsFile::WriteValues(const SettingDescriptor* table, int count, SettingsRecord& record) {
    for (int i = 0; i < count; ++i) {
        const SettingDescriptor& row = table[i];
        if (!IsValidTypeCode(row.typeCode)) continue;
        valueText_ = FormatTypedValue(row.typeCode, row.storage(record));
        WriteValue(row.key, valueText_);
    }
}
