#include "settings/settings_file.h"

#include <string_view>
#include <unordered_set>

#include "platform/cp1251.h"
#include "settings/settings_location.h"
#include "settings/typed_value.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// Whether the file starts with the UTF-8 mark; the reader is left at the
// first byte of text.
bool SkipUtf8Mark(TextFileReader& reader) {
    std::string first;
    const bool marked = reader.ReadLine(first) && first.starts_with(kUtf8Mark);
    reader.Seek(marked ? kUtf8Mark.size() : 0);
    return marked;
}

SettingsLine InUtf8(const SettingsLine& line) { return {DecodeCp1251(line.key), DecodeCp1251(line.value)}; }

// The edits in the words of a UTF-8 file.
std::vector<SectionEdit> InUtf8(const std::vector<SectionEdit>& edits) {
    std::vector<SectionEdit> converted;
    for (const SectionEdit& edit : edits) {
        SectionEdit& to = converted.emplace_back(SectionEdit{DecodeCp1251(edit.name), edit.whole, {}, {}});
        for (const SettingsLine& line : edit.set) to.set.push_back(InUtf8(line));
        for (const SettingsLine& line : edit.fill) to.fill.push_back(InUtf8(line));
    }
    return converted;
}

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

// A line that ends a section for the reader, a header or not.
bool StartsSection(std::string_view line) {
    const std::string_view text = TrimLeft(line);
    return !text.empty() && text.front() == '[';
}

// The key of a key=value line as the reader takes it, and whether the line
// has a value; false for a line without "=".
bool KeyOf(std::string_view line, std::string_view& key, bool& hasValue) {
    const std::string_view text = TrimLeft(line);
    const size_t equals = text.find('=');
    if (text.empty() || equals == std::string_view::npos) return false;
    key = TrimRight(text.substr(0, equals));
    hasValue = equals + 1 < text.size();
    return true;
}

std::string LineOf(const SettingsLine& line) { return std::string(Trim(line.key)) + "=" + line.value; }

// Finds the line's key among lines not yet met in this section: the first
// line of a key is the one the reader takes.
int MatchKey(std::string_view key, const std::vector<SettingsLine>& lines, std::vector<bool>& met) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (met[i] || Trim(lines[i].key) != key) continue;
        met[i] = true;
        return static_cast<int>(i);
    }
    return -1;
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

platform::FileOutcome CSettingsFile::OpenForReading() {
    Close();
    sectionPosition_ = 0;
    absentSection_.clear();
    sectionKeys_.clear();
    if (path_.empty()) return platform::FileOutcome::Failed("no settings file is named");
    if (platform::KindOf(path_) == platform::PathKind::kNothing) platform::CreateEmptyFile(path_);
    platform::FileOutcome opened = reader_.Open(path_);
    open_ = opened.done;
    utf8_ = open_ && SkipUtf8Mark(reader_);
    textStart_ = sectionPosition_ = utf8_ ? kUtf8Mark.size() : 0;
    return opened;
}

std::string CSettingsFile::FromFile(std::string_view text) const {
    if (!utf8_) return std::string(text);
    // What the code page lacks cannot be in a path the plug-in opens.
    std::string bytes;
    EncodeCp1251Replacing(text, bytes);
    return bytes;
}

std::string CSettingsFile::ToFile(std::string_view text) const {
    return utf8_ ? DecodeCp1251(text) : std::string(text);
}

void CSettingsFile::Close() {
    if (!open_) return;
    reader_.Close();
    open_ = false;
}

bool CSettingsFile::FindSection(const std::string& name) {
    if (!open_ || !reader_.IsOpen()) return false;
    const uint64_t length = reader_.Length();
    if (length == 0) return false;
    const std::string target = SectionHeader(ToFile(name));
    // A section the open file lacks is looked up for each of its keys.
    if (target == absentSection_) return false;

    uint64_t start = sectionPosition_;
    if (start >= length) start = sectionPosition_ = textStart_;
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
            reader_.Seek(textStart_);
            pos = textStart_;
            wrapped = true;
        }
    } while (!(wrapped && pos >= start));
    absentSection_ = target;
    return false;
}

bool CSettingsFile::FindValue(const std::string& section, const std::string& key) {
    const std::string fileKey = ToFile(key);
    const std::string_view wanted = Trim(fileKey);
    if (!FindSection(section)) return false;
    // Each key of a section is looked for from its header; the section is
    // read once per open, each key's first line kept.
    const SectionKeys* keys = nullptr;
    for (const SectionKeys& known : sectionKeys_)
        if (known.header == sectionPosition_) keys = &known;
    if (!keys) {
        SectionKeys read{sectionPosition_, {}};
        std::string line;
        while (reader_.ReadLine(line)) {
            const std::string_view text = TrimLeft(line);
            if (text.empty()) continue;
            if (text.front() == '[') break;
            const size_t equals = text.find('=');
            if (equals == std::string_view::npos) continue;
            read.values.emplace(TrimRight(text.substr(0, equals)), text.substr(equals + 1));
        }
        sectionKeys_.push_back(std::move(read));
        keys = &sectionKeys_.back();
    }
    const auto found = keys->values.find(std::string(wanted));
    if (found == keys->values.end() || found->second.empty()) return false;
    valueText_ = FromFile(found->second);
    return true;
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

std::vector<SettingsLine> CSettingsFile::ReadSection(const std::string& name) {
    std::vector<SettingsLine> lines;
    if (!FindSection(name)) return lines;
    std::unordered_set<std::string> met;
    std::string line;
    while (reader_.ReadLine(line) && !StartsSection(line)) {
        std::string_view key;
        bool hasValue = false;
        if (!KeyOf(line, key, hasValue) || !met.emplace(key).second || !hasValue) continue;
        lines.push_back({FromFile(key), FromFile(std::string_view(line).substr(line.find('=') + 1))});
    }
    return lines;
}

platform::FileOutcome CSettingsFile::Save(const std::vector<SectionEdit>& given) {
    Close();
    if (path_.empty()) return platform::FileOutcome::Failed("no settings file is named");
    ReplacingTextWriter writer;
    if (platform::FileOutcome begun = writer.Begin(path_); !begun) return begun;
    // What the file holds now, under the lock: a file that cannot be read
    // is not written over, or what it holds would be lost.
    TextFileReader current;
    if (platform::KindOf(writer.target()) != platform::PathKind::kNothing)
        if (platform::FileOutcome opened = current.Open(writer.target()); !opened) return opened;
    // The file stays in the encoding it has.
    const bool utf8 = current.IsOpen() && SkipUtf8Mark(current);
    if (utf8) writer.Write(kUtf8Mark);
    const std::vector<SectionEdit> edits = utf8 ? InUtf8(given) : given;

    std::vector<bool> metSection(edits.size()), metSet, metFill;
    const SectionEdit* in = nullptr;  // the section being copied, when edited key by key
    bool dropping = false;            // in a section written whole, or its duplicate
    const auto endSection = [&] {
        for (size_t i = 0; in && i < in->set.size(); ++i)
            if (!metSet[i]) writer.WriteLine(LineOf(in->set[i]));
        for (size_t i = 0; in && i < in->fill.size(); ++i)
            if (!metFill[i]) writer.WriteLine(LineOf(in->fill[i]));
        in = nullptr;
        dropping = false;
    };
    std::string line;
    while (current.IsOpen() && current.ReadLine(line)) {
        if (StartsSection(line)) {
            endSection();
            size_t i = 0;
            while (i < edits.size() && Trim(line) != SectionHeader(edits[i].name)) ++i;
            if (i == edits.size()) {
                writer.WriteLine(line);
                continue;
            }
            const SectionEdit& edit = edits[i];
            if (edit.whole) {
                dropping = true;
                if (!metSection[i]) {
                    writer.WriteLine(line);
                    for (const SettingsLine& set : edit.set) writer.WriteLine(LineOf(set));
                }
            } else {
                // Each copy of a duplicated section gets the edit: the reader
                // may take any of them.
                writer.WriteLine(line);
                in = &edit;
                metSet.assign(edit.set.size(), false);
                metFill.assign(edit.fill.size(), false);
            }
            metSection[i] = true;
            continue;
        }
        if (dropping) continue;
        std::string_view key;
        bool hasValue = false;
        if (in && KeyOf(line, key, hasValue)) {
            if (const int i = MatchKey(key, in->set, metSet); i >= 0) {
                writer.WriteLine(LineOf(in->set[static_cast<size_t>(i)]));
                continue;
            }
            if (const int i = MatchKey(key, in->fill, metFill); i >= 0 && !hasValue) {
                writer.WriteLine(LineOf(in->fill[static_cast<size_t>(i)]));
                continue;
            }
        }
        writer.WriteLine(line);
    }
    endSection();
    if (current.IsOpen() && current.Tell() < current.Length())
        return platform::FileOutcome::Failed("it could not be read to its end");
    current.Close();
    for (size_t i = 0; i < edits.size(); ++i) {
        if (metSection[i] || (edits[i].set.empty() && edits[i].fill.empty())) continue;
        writer.WriteLine(SectionHeader(edits[i].name));
        for (const SettingsLine& set : edits[i].set) writer.WriteLine(LineOf(set));
        for (const SettingsLine& fill : edits[i].fill) writer.WriteLine(LineOf(fill));
    }
    return writer.Commit();
}
