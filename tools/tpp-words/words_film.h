// tpp-words film: a film's words as text, as JSON and as Anki cards.
#pragma once

#include <string>
#include <vector>

#include "film/film_words.h"
#include "learner/progress_report.h"
#include "subtitles/subtitle_lines.h"

// How many words, the share known, the lines with one unknown word, the
// unknown words by count with their translations.
std::string FilmReportText(const std::vector<SubtitleLine>& lines, const FilmWords& film);
// The same as one JSON object.
std::string FilmReportJson(const std::string& file, const std::vector<SubtitleLine>& lines, const FilmWords& film);
// A card for each unknown word with a translation, by count, its first
// line as the sentence; list names the deck and the tag (the film's file).
std::vector<learner::CardEntry> FilmCards(const std::string& list, const std::vector<SubtitleLine>& lines,
                                          const FilmWords& film);
