// A film's subtitle lines as the pre-teaching and the word counts read
// them: when each is on screen and its plain text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SubtitleLine {
    int64_t start = 0;  // nanoseconds into the film
    int64_t end = 0;
    std::string text;  // markup stripped; the line's own breaks kept as '\n'
};

// Tags (<i>, <font ...>, <span ...>) and override blocks ({\an8}) go;
// "\N" and "\n" of SubStation text become breaks; with pango, the
// markup's entities (&amp; ...) become their characters. Spaces round
// each break are trimmed.
std::string StripSubtitleMarkup(std::string_view text, bool pango);

// The subtitle file a player would take for the film: the film's name
// with .srt, .ass, .ssa or .vtt in place of its extension, the first
// that is there; empty when none is.
std::string SubtitlesBeside(const std::string& film);

// Whether a path names a subtitle file by its extension (any case).
bool IsSubtitleFileName(std::string_view path);
