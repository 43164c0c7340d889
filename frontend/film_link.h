// A run's film: its subtitle lines read ahead, its words weighed against
// what the learner knows, and the captions that teach the chosen ones
// before their lines, by the film's own time.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "overlay/caption_schedule.h"

class FilmLink {
public:
    struct Sources {
        std::string subtitles;  // a subtitle file, or a film with a text track
        // The word list in use, word -> translation: its translations come
        // first.
        std::vector<std::pair<std::string, std::string>> listEntries;
        std::vector<std::string> knownKeys;  // the store's, sorted
        int64_t lead = 0, show = 0, every = 0;
    };
    // Nothing, with why, when the subtitles cannot be read.
    static std::unique_ptr<FilmLink> Load(const Sources& sources, std::string& why);
    ~FilmLink();

    // The caption due at film time `at`: with once (study), each word's
    // caption is given once, shorter by what of it has passed; without
    // (flash), again at every frame the schedule asks, while it is due. A
    // time well before the last one (a seek back) gives the captions after
    // it again.
    std::optional<ProvidedEntry> Due(int64_t at, bool once);

    struct Cue {
        std::string word, translation, line;
    };
    // What a provided entry's index stands for.
    const Cue& cue(int32_t index) const { return cues_[index]; }
    // The list the store keeps the film's words in: the subtitles' path.
    const std::string& list() const { return list_; }
    // A word marked known is not taught again (as learner::WordKey makes it).
    void Retire(const std::string& key);
    size_t cueCount() const { return cues_.size(); }

private:
    FilmLink() = default;

    struct Timed {
        int64_t start, end;
        std::string key;
        bool given = false;
    };
    std::string list_;
    std::vector<Cue> cues_;
    std::vector<Timed> times_;
    std::vector<std::string> retired_;
    int64_t last_ = 0;
};
