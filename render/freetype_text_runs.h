// A caption line cut into the runs that HarfBuzz shapes one at a time: each
// of one embedding level, one script and one face. The line is a paragraph
// of its own, its direction that of its first strong character (FriBiDi's
// levels); the runs are listed as they stand from left to right.
#pragma once

#include <hb.h>

#include <cstdint>
#include <string_view>
#include <vector>

struct TextRun {
    uint32_t start, end;  // code points of the line, in logical order
    uint8_t level;        // odd: right to left
    hb_script_t script;
    uint32_t face;
};

// Whether the line needs more than its characters' glyphs side by side in
// the order stored: a script whose letters join, stack or move (anything
// but Latin, Greek, Cyrillic and the characters they share), a combining
// mark, a format character (joiners), or a right-to-left or explicit
// directional character.
bool NeedsShaping(std::u32string_view line);

// Whether a character may stay in the face of the one before it, so that a
// cluster or a word with its spaces, digits and punctuation is shaped in one
// face: a mark, a format character, or one that no script owns. Format
// characters (joiners, directional marks) stay even where that face lacks
// them: the shaper hides them, and a face of their own would cut the run.
enum class FaceChoice { kOwn, kPreviousIfItHasIt, kPrevious };
FaceChoice FaceChoiceOf(char32_t c);

// faces holds each code point's face.
std::vector<TextRun> VisualRuns(std::u32string_view line, const std::vector<uint32_t>& faces);
