#include "frontend/key_map.h"

#include <sstream>

namespace {

constexpr const char* kActionNames[kKeyActionCount] = {"known", "again", "next", "repeat", "captions", "help"};
constexpr const char* kActionHelp[kKeyActionCount] = {"known", "again", "next", "repeat", "captions off/on", "help"};
constexpr const char* kDefaultKeys[kKeyActionCount] = {"k", "a", "n", "r", "c", "question"};

// The characters that X names by a word (which the text must use for ','
// and '=', its separators; VLC sends the characters themselves).
struct NamedCharacter {
    char character;
    const char* name;
};
constexpr NamedCharacter kNamedCharacters[] = {
    {'?', "question"},    {'/', "slash"},        {'.', "period"},      {'-', "minus"},      {'+', "plus"},
    {';', "semicolon"},   {':', "colon"},        {'!', "exclam"},      {'*', "asterisk"},   {'#', "numbersign"},
    {'[', "bracketleft"}, {']', "bracketright"}, {'\'', "apostrophe"}, {' ', "space"},      {',', "comma"},
    {'=', "equal"},       {'\\', "backslash"},   {'`', "grave"},       {'<', "less"},       {'>', "greater"},
    {'"', "quotedbl"},    {'_', "underscore"},   {'{', "braceleft"},   {'}', "braceright"}, {'|', "bar"},
    {'~', "asciitilde"},  {'&', "ampersand"},    {'%', "percent"},     {'$', "dollar"},     {'@', "at"},
    {'^', "asciicircum"}, {'(', "parenleft"},    {')', "parenright"},
};

// What Shift makes of a key on a US keyboard, by X's names.
constexpr std::pair<const char*, const char*> kShifted[] = {
    {"slash", "question"},
    {"1", "exclam"},
    {"apostrophe", "quotedbl"},
    {"semicolon", "colon"},
    {"equal", "plus"},
    {"minus", "underscore"},
    {"comma", "less"},
    {"period", "greater"},
    {"3", "numbersign"},
    {"8", "asterisk"},
    {"bracketleft", "braceleft"},
    {"bracketright", "braceright"},
};

std::string Shifted(const std::string& key) {
    if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z') return std::string(1, char(key[0] - 'a' + 'A'));
    for (const auto& [plain, shifted] : kShifted)
        if (key == plain) return shifted;
    return key;
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A key as the viewer types it.
std::string KeyShown(const std::string& key) {
    for (const NamedCharacter& named : kNamedCharacters)
        if (key == named.name && named.character != ' ') return std::string(1, named.character);
    return key;
}

}  // namespace

std::string KeyNameOf(const std::string& key) {
    if (key.size() == 1)
        for (const NamedCharacter& named : kNamedCharacters)
            if (named.character == key[0]) return named.name;
    return key;
}

KeyMap::KeyMap() {
    for (size_t i = 0; i < kKeyActionCount; ++i) keys_[i] = kDefaultKeys[i];
}

std::optional<KeyMap> KeyMap::Parse(const std::string& text, std::string& why, const KeyMap& base) {
    KeyMap map = base;
    bool named[kKeyActionCount] = {};
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        if (Trimmed(item).empty()) continue;
        const size_t equals = item.find('=');
        const std::string action = Trimmed(item.substr(0, equals));
        const std::string key = equals == std::string::npos ? std::string() : Trimmed(item.substr(equals + 1));
        size_t i = 0;
        while (i < kKeyActionCount && action != kActionNames[i]) ++i;
        if (i == kKeyActionCount) {
            why = "\"" + action + "\" is no action (known, again, next, repeat, captions, help)";
            return std::nullopt;
        }
        if (key.empty()) {
            why = "\"" + item + "\" names no key (action=key, or action=none)";
            return std::nullopt;
        }
        if (named[i]) {
            why = action + " is given twice";
            return std::nullopt;
        }
        named[i] = true;
        map.keys_[i] = key == "none" ? std::string() : KeyNameOf(key);
    }
    for (size_t i = 0; i < kKeyActionCount; ++i)
        for (size_t j = i + 1; j < kKeyActionCount; ++j)
            if (!map.keys_[i].empty() && map.keys_[i] == map.keys_[j]) {
                why = "the key " + KeyShown(map.keys_[i]) + " is given to both " + kActionNames[i] + " and " +
                      kActionNames[j];
                return std::nullopt;
            }
    return map;
}

std::optional<KeyAction> KeyMap::ActionOf(const char* key, bool shift) const {
    const auto find = [&](const std::string& name) -> std::optional<KeyAction> {
        for (size_t i = 0; i < kKeyActionCount; ++i)
            if (!keys_[i].empty() && keys_[i] == name) return static_cast<KeyAction>(i);
        return std::nullopt;
    };
    if (shift)
        if (const std::optional<KeyAction> shifted = find(Shifted(key))) return shifted;
    return find(key);
}

std::string KeyMap::Text() const {
    std::string text;
    for (size_t i = 0; i < kKeyActionCount; ++i) {
        if (i) text += ',';
        text.append(kActionNames[i]).append("=").append(keys_[i].empty() ? "none" : keys_[i]);
    }
    return text;
}

const char* KeyActionName(KeyAction action) { return kActionNames[static_cast<size_t>(action)]; }

std::string KeyMap::HelpLine() const {
    std::string line;
    for (size_t i = 0; i < kKeyActionCount; ++i) {
        if (keys_[i].empty()) continue;
        if (!line.empty()) line += "  ";
        line.append(KeyShown(keys_[i])).append(" ").append(kActionHelp[i]);
    }
    return line;
}
