// VLC's key codes (vlc_actions.h) as the key map names keys: a character
// as itself ("k", "question" for "?"), a special key by X's name
// ("Return", "F1", "Prior"), Shift beside it as X sinks send it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct NamedKey {
    std::string name;
    bool shift = false;
};

// None for a key held with Ctrl, Alt or Meta (VLC's own combinations), a
// mouse wheel or a key without a name here.
std::optional<NamedKey> NamedKeyOf(int64_t code);
