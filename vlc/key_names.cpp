#include "vlc/key_names.h"

#include <vlc_common.h>
// After vlc_common.h, which it needs.
#include <vlc_actions.h>

#include "frontend/key_map.h"

namespace {

struct SpecialKey {
    uint32_t code;
    const char* name;
};
constexpr SpecialKey kSpecialKeys[] = {
    {KEY_BACKSPACE, "BackSpace"}, {KEY_TAB, "Tab"},      {KEY_ENTER, "Return"},  {KEY_ESC, "Escape"},
    {KEY_LEFT, "Left"},           {KEY_RIGHT, "Right"},  {KEY_UP, "Up"},         {KEY_DOWN, "Down"},
    {KEY_HOME, "Home"},           {KEY_END, "End"},      {KEY_INSERT, "Insert"}, {KEY_DELETE, "Delete"},
    {KEY_MENU, "Menu"},           {KEY_PAGEUP, "Prior"}, {KEY_PAGEDOWN, "Next"}, {KEY_PRINT, "Print"},
    {KEY_PAUSE, "Pause"},
};

// A character's code point in UTF-8: what a key map holds for a key that
// types it.
std::string Utf8Of(uint32_t point) {
    std::string text;
    if (point < 0x80) {
        text += char(point);
    } else if (point < 0x800) {
        text += char(0xC0 | point >> 6);
        text += char(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        text += char(0xE0 | point >> 12);
        text += char(0x80 | (point >> 6 & 0x3F));
        text += char(0x80 | (point & 0x3F));
    } else {
        text += char(0xF0 | point >> 18);
        text += char(0x80 | (point >> 12 & 0x3F));
        text += char(0x80 | (point >> 6 & 0x3F));
        text += char(0x80 | (point & 0x3F));
    }
    return text;
}

}  // namespace

std::optional<NamedKey> NamedKeyOf(int64_t code) {
    const uint32_t modifiers = uint32_t(code) & KEY_MODIFIER, key = uint32_t(code) & ~uint32_t(KEY_MODIFIER);
    if (modifiers & ~uint32_t(KEY_MODIFIER_SHIFT)) return std::nullopt;
    const bool shift = modifiers != 0;
    if (key >= KEY_F1 && key <= KEY_F12) return NamedKey{"F" + std::to_string((key - KEY_F1) / 0x10000 + 1), shift};
    for (const SpecialKey& special : kSpecialKeys)
        if (key == special.code) return NamedKey{special.name, shift};
    // VLC's special keys lie at 0x210000 and above, past every character.
    if (key < 0x20 || key >= 0x110000) return std::nullopt;
    return NamedKey{KeyNameOf(Utf8Of(key)), shift};
}
