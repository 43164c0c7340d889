// Which font file draws a caption: fontconfig's answer to the settings'
// face name, weight and slant, and to a character the chosen face lacks.
// Apart from drawing, so that the renderer only opens, sizes and draws
// the faces it is told of.
#pragma once

#include <fontconfig/fontconfig.h>

#include <optional>
#include <string>

#include "overlay/caption_renderer.h"

// A face as fontconfig names it, and what the renderer must make up
// because the file lacks it.
struct FontMatch {
    std::string file;
    int index = 0;  // of the face in a collection
    bool syntheticBold = false;
    bool syntheticItalic = false;
};

class FontMatcher {
public:
    FontMatcher() = default;
    FontMatcher(const FontMatcher&) = delete;
    FontMatcher& operator=(const FontMatcher&) = delete;
    ~FontMatcher();

    // Loads the configuration once; false when fontconfig has none.
    bool Ready();
    // The best face for the font; a missing name falls back to fontconfig's
    // best match, which is always a real font. With a character, the best
    // face that has it, close to the font asked for: it may still lack it,
    // which the caller checks in the face itself.
    std::optional<FontMatch> Match(const CaptionFont& font, std::optional<char32_t> needs = std::nullopt);
    // Whether any font of the configuration has the character: asking for
    // each character no font has (private use, unassigned) would cost a
    // full match each, thousands for a hostile caption.
    bool AnyFontHas(char32_t c);

private:
    // A configuration of our own, not the process's shared one: a host may
    // use fontconfig itself, and ours goes away with the plug-in.
    FcConfig* config_ = nullptr;
    FcCharSet* coverage_ = nullptr;  // every font's characters, made at the first question
};
