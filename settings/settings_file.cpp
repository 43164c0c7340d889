#include "settings/settings_file.h"

#include <string_view>
#include <unordered_set>

#include "platform/cp1251.h"
#include "platform/utf8.h"
#include "settings/settings_location.h"
#include "settings/typed_value.h"

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How the file's text was read: with the UTF-8 mark, UTF-8 without it (as
// Notepad saves), or Windows-1251, the plug-in's own. A file whose bytes
// above 0x7F all form UTF-8 sequences is UTF-8: Windows-1251 text seldom
// does by chance. The reader is left at the first byte of text.
FileText DetectFileText(TextFileReader& reader) {
    reader.Seek(0);
    std::string line;
    bool first = true, marked = false, high = false, valid = true;
    while (reader.ReadLine(line)) {
        std::string_view text = line;
        if (first && text.starts_with(kUtf8Mark)) {
            marked = true;
            text.remove_prefix(kUtf8Mark.size());
        }
        first = false;
        for (const char c : text) high = high || static_cast<unsigned char>(c) > 0x7F;
        valid = valid && IsValidUtf8(text);
    }
    reader.Seek(marked ? kUtf8Mark.size() : 0);
    if (marked) return FileText::kUtf8WithMark;
    return high && valid ? FileText::kUtf8 : FileText::kWindows1251;
}

bool IsUtf8(FileText text) { return text != FileText::kWindows1251; }

// The plug-in's UTF-8 text as the file holds it; false when Windows-1251
// lacks a character.
bool InFileText(FileText text, std::string_view utf8, std::string& out) {
    if (IsUtf8(text)) {
        out.assign(utf8);
        return true;
    }
    return EncodeCp1251(utf8, out);
}

// The edits in the words of the file; false when one does not fit.
bool InFileText(FileText text, const std::vector<SectionEdit>& edits, std::vector<SectionEdit>& converted) {
    converted.clear();
    bool fits = true;
    const auto line = [&](const SettingsLine& from) {
        SettingsLine to;
        fits = InFileText(text, from.key, to.key) && fits;
        fits = InFileText(text, from.value, to.value) && fits;
        return to;
    };
    for (const SectionEdit& edit : edits) {
        SectionEdit& to = converted.emplace_back(SectionEdit{{}, edit.whole, {}, {}});
        fits = InFileText(text, edit.name, to.name) && fits;
        for (const SettingsLine& set : edit.set) to.set.push_back(line(set));
        for (const SettingsLine& fill : edit.fill) to.fill.push_back(line(fill));
    }
    return fits;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Section names and keys match as Windows' own profile functions match
// them: without regard to the case of ASCII letters.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = AsciiLower(c);
    return lower;
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
        if (met[i] || !SameName(Trim(lines[i].key), key)) continue;
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
    text_ = open_ ? DetectFileText(reader_) : FileText::kWindows1251;
    textStart_ = sectionPosition_ = text_ == FileText::kUtf8WithMark ? kUtf8Mark.size() : 0;
    return opened;
}

std::string CSettingsFile::FromFile(std::string_view text) const {
    return IsUtf8(text_) ? std::string(text) : DecodeCp1251(text);
}

std::string CSettingsFile::ToFile(std::string_view text) const {
    std::string bytes;
    if (IsUtf8(text_)) return std::string(text);
    EncodeCp1251Replacing(text, bytes);
    return bytes;
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
            if (SameName(Trim(line), target)) {
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
    // read once per open, each key's first line kept, by its name in
    // lower case: names match regardless of ASCII case.
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
            read.values.emplace(LowerAscii(TrimRight(text.substr(0, equals))), text.substr(equals + 1));
        }
        sectionKeys_.push_back(std::move(read));
        keys = &sectionKeys_.back();
    }
    const auto found = keys->values.find(LowerAscii(wanted));
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
        if (!KeyOf(line, key, hasValue) || !met.emplace(LowerAscii(key)).second || !hasValue) continue;
        lines.push_back({FromFile(key), FromFile(std::string_view(line).substr(line.find('=') + 1))});
    }
    return lines;
}

std::vector<std::string> CSettingsFile::UnreadLines(const std::string& section,
                                                    const std::vector<std::string_view>& keys) {
    std::vector<std::string> unread;
    if (!FindSection(section)) return unread;
    std::string line;
    while (reader_.ReadLine(line) && !StartsSection(line)) {
        const std::string_view text = Trim(line);
        // Blank lines and comments are for people.
        if (text.empty() || text.front() == ';' || text.front() == '#') continue;
        std::string_view key;
        bool hasValue = false;
        bool known = false;
        if (KeyOf(text, key, hasValue))
            for (const std::string_view wanted : keys) known = known || SameName(key, wanted);
        if (!known) unread.push_back(FromFile(text));
    }
    return unread;
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
    // The file stays in the encoding it has, unless Windows-1251 lacks a
    // character of a value (a path in another script): then the whole file
    // becomes UTF-8, under the mark, so that nothing is lost.
    const FileText found = current.IsOpen() ? DetectFileText(current) : FileText::kWindows1251;
    FileText text = found;
    std::vector<SectionEdit> edits;
    if (!InFileText(text, given, edits)) InFileText(text = FileText::kUtf8WithMark, given, edits);
    const bool recode = text != found;  // the file's own lines are Windows-1251 and go as UTF-8
    std::vector<std::string> out;       // the new file's lines: a settings file is small

    std::vector<bool> metSection(edits.size()), metSet, metFill;
    const SectionEdit* in = nullptr;  // the section being copied, when edited key by key
    bool dropping = false;            // in a section written whole, or its duplicate
    const auto endSection = [&] {
        for (size_t i = 0; in && i < in->set.size(); ++i)
            if (!metSet[i]) out.push_back(LineOf(in->set[i]));
        for (size_t i = 0; in && i < in->fill.size(); ++i)
            if (!metFill[i]) out.push_back(LineOf(in->fill[i]));
        in = nullptr;
        dropping = false;
    };
    std::string line;
    while (current.IsOpen() && current.ReadLine(line)) {
        if (recode) line = DecodeCp1251(line);
        if (StartsSection(line)) {
            endSection();
            size_t i = 0;
            while (i < edits.size() && !SameName(Trim(line), SectionHeader(edits[i].name))) ++i;
            if (i == edits.size()) {
                out.push_back(line);
                continue;
            }
            const SectionEdit& edit = edits[i];
            if (edit.whole && metSection[i]) {
                dropping = true;  // a duplicate that no reader reaches
            } else {
                // Each copy of a duplicated section gets the edit: the reader
                // may take any of them.
                out.push_back(line);
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
                out.push_back(LineOf(in->set[static_cast<size_t>(i)]));
                continue;
            }
            if (const int i = MatchKey(key, in->fill, metFill); i >= 0 && !hasValue) {
                out.push_back(LineOf(in->fill[static_cast<size_t>(i)]));
                continue;
            }
        }
        out.push_back(line);
    }
    endSection();
    if (current.IsOpen() && current.Tell() < current.Length())
        return platform::FileOutcome::Failed("it could not be read to its end");
    current.Close();
    for (size_t i = 0; i < edits.size(); ++i) {
        if (metSection[i] || (edits[i].set.empty() && edits[i].fill.empty())) continue;
        out.push_back(SectionHeader(edits[i].name));
        for (const SettingsLine& set : edits[i].set) out.push_back(LineOf(set));
        for (const SettingsLine& fill : edits[i].fill) out.push_back(LineOf(fill));
    }
    // Windows-1251 bytes that would read back as UTF-8 would read back as
    // other text: such a file goes as UTF-8 under the mark.
    if (text == FileText::kWindows1251) {
        bool high = false, valid = true;
        for (const std::string& line : out) {
            for (const char c : line) high = high || static_cast<unsigned char>(c) > 0x7F;
            valid = valid && IsValidUtf8(line);
        }
        if (high && valid) {
            for (std::string& line : out) line = DecodeCp1251(line);
            text = FileText::kUtf8WithMark;
        }
    }
    if (text == FileText::kUtf8WithMark) writer.Write(kUtf8Mark);
    for (const std::string& line : out) writer.WriteLine(line);
    return writer.Commit();
}
