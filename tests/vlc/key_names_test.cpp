// VLC's key codes as the key map names them: what the window test's one
// letter does not reach.
#include <vlc_common.h>
// After vlc_common.h, which it needs.
#include <vlc_actions.h>

#include <gtest/gtest.h>

#include "frontend/key_map.h"
#include "vlc/key_names.h"

namespace {

std::string Name(int64_t code) {
    const std::optional<NamedKey> key = NamedKeyOf(code);
    return key ? key->name + (key->shift ? "+Shift" : "") : "none";
}

TEST(KeyNames, NamesKeysAsXDoesAndLeavesVlcsCombinationsAlone) {
    EXPECT_EQ(Name('k'), "k");
    EXPECT_EQ(Name('/' | KEY_MODIFIER_SHIFT), "slash+Shift");
    EXPECT_EQ(Name(','), "comma");
    EXPECT_EQ(Name(' '), "space");
    EXPECT_EQ(Name(0x439), "\xD0\xB9");  // a Cyrillic layout's letter
    EXPECT_EQ(Name(KEY_ENTER), "Return");
    EXPECT_EQ(Name(KEY_F1), "F1");
    EXPECT_EQ(Name(KEY_F12), "F12");
    EXPECT_EQ(Name(KEY_PAGEUP), "Prior");
    EXPECT_EQ(Name('q' | KEY_MODIFIER_CTRL), "none");
    EXPECT_EQ(Name('r' | KEY_MODIFIER_ALT | KEY_MODIFIER_SHIFT), "none");
    EXPECT_EQ(Name(KEY_MOUSEWHEELUP), "none");
}

TEST(KeyNames, ShiftedPunctuationFindsTheKeyMapsAction) {
    std::string why;
    const std::optional<KeyMap> map = KeyMap::Parse("known=<,again=equal,help=?", why);
    ASSERT_TRUE(map) << why;
    const auto action = [&](int64_t code) {
        const NamedKey key = *NamedKeyOf(code);
        return map->ActionOf(key.name.c_str(), key.shift);
    };
    EXPECT_EQ(action(',' | KEY_MODIFIER_SHIFT), KeyAction::kKnown);
    EXPECT_EQ(action('='), KeyAction::kAgain);
    EXPECT_EQ(action('/' | KEY_MODIFIER_SHIFT), KeyAction::kHelp);
    EXPECT_EQ(action(','), std::nullopt);
}

}  // namespace
