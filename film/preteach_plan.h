// When each of a film's chosen words is taught: a caption that starts
// `lead` before the line that holds it and ends before that line shows.
#pragma once

#include <cstdint>
#include <vector>

#include "film/film_words.h"
#include "subtitles/subtitle_lines.h"

struct FilmCue {
    int32_t word = -1;  // index into FilmWords::unknown
    int32_t line = -1;  // the line it is taught for
    int64_t start = 0;  // the caption's time in the film, nanoseconds
    int64_t end = 0;    // at most the line's start
};

struct CueTiming {
    int64_t lead = 0;   // before the line
    int64_t show = 0;   // the caption's longest time
    int64_t every = 0;  // between two captions' starts, at least
};

// The film's chosen words, each once, at the first line that holds it
// where the rate allows; a line that starts within a second of the film's
// start teaches nothing. Lines in start order; cues by start.
std::vector<FilmCue> PlanCues(const FilmWords& film, const std::vector<SubtitleLine>& lines, const CueTiming& timing);
