// Reads a film's subtitle lines with GStreamer's own parsers, in a
// pipeline of its own that runs to the end before the film plays.
#pragma once

#include <string>
#include <vector>

#include "subtitles/subtitle_lines.h"

// The lines of a subtitle file (.srt, .vtt, .ass, .ssa, and what else
// subparse knows) or of a film's first text track (Matroska, MP4), by
// start time. Initialises GStreamer when nothing has. Empty, with error
// set, when the file cannot be read or has no text; a film without a
// text track says so.
std::vector<SubtitleLine> ReadSubtitleLines(const std::string& path, std::string& error);
