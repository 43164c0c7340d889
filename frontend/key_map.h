// The viewer's keys in the video window: what each does, and the text
// that remaps them (the element's keys property, the filter's option),
// "known=k,again=a,next=n,repeat=r,captions=c,help=?". A key is named as X names it ("k", "question", "space", "F1"),
// or as the one character it types.
#pragma once

#include <array>
#include <optional>
#include <string>

// A key as the sinks name it: one of the characters X names by a word
// ("?": "question") as that word, any other key as it is.
std::string KeyNameOf(const std::string& key);

enum class KeyAction { kKnown, kAgain, kNext, kRepeat, kCaptions, kHelp };
inline constexpr size_t kKeyActionCount = 6;
// The action's name in the keys' text ("known", "captions", ...).
const char* KeyActionName(KeyAction action);

class KeyMap {
public:
    KeyMap();  // the default keys

    // The text over base's keys (the default keys unless given): each
    // action it names takes that key ("none": no key). Nothing, and why in
    // one sentence, for an action it does not know, an action named twice,
    // or a key given to two actions.
    static std::optional<KeyMap> Parse(const std::string& text, std::string& why, const KeyMap& base = KeyMap());

    // The X sinks name a key by its unshifted symbol and send Shift with it
    // ("?" is "slash" and Shift), a Wayland sink by what it types: with
    // Shift, the key's shifted name on a US keyboard is looked up first,
    // then the key itself.
    std::optional<KeyAction> ActionOf(const char* key, bool shift = false) const;
    // Every action with its key, in the property's form.
    std::string Text() const;
    // One line that tells the keys, for the help caption.
    std::string HelpLine() const;

private:
    std::array<std::string, kKeyActionCount> keys_;  // by action; empty: none
};
