// The dictionaries of the dictd format (a sorted .index of headword, offset
// and length, and the articles' text, plain or compressed with random
// access), as Debian installs them under /usr/share/dictd; and a caption's
// gloss cut from an article.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class DictdData;

class DictdDictionary {
public:
    // index: the .index file; data: the .dict.dz (or plain .dict). Null and
    // *error set on failure.
    static std::unique_ptr<DictdDictionary> Open(const std::string& index_path, const std::string& data_path,
                                                 std::string* error);
    ~DictdDictionary();

    // The article of a headword, matched without regard to case; nullopt
    // if absent. Headwords found more than once give their articles one
    // after another, those spelt exactly as asked first.
    std::optional<std::string> Article(std::string_view headword) const;
    // The same articles one by one; empty if absent.
    std::vector<std::string> Articles(std::string_view headword) const;
    const std::string& name() const { return name_; }  // "mueller7"
    size_t headword_count() const { return index_.size(); }

private:
    struct Place {
        uint64_t offset;
        uint32_t length;
        std::string headword;  // as the index spells it
    };
    DictdDictionary() = default;

    std::string name_;
    std::unordered_map<std::string, std::vector<Place>> index_;  // by case-folded headword
    std::unique_ptr<DictdData> data_;
};

// A caption-sized gloss of an article: its first sense, at most about
// `max_chars` characters (never cut inside a UTF-8 sequence; "lighthouse"
// in mueller7 gives "маяк"). Empty when that sense only points to another
// headword (see ReferencedHeadword); with past_pointers, the first sense
// that does not ("sealed": "от seal II", then "запечатанный").
std::string GlossOf(std::string_view article, std::string_view headword, size_t max_chars = 30,
                    bool past_pointers = false);

// True for a gloss that names a letter of the alphabet: mueller7 gives each
// letter an article of its own beside the word spelt the same ("I", "a"),
// whose meaning is the one wanted.
bool NamesALetter(std::string_view gloss);

// The headword an article only points to ("went ... _p. от go 1" -> "go",
// "= mail-cart 1" -> "mail-cart"); empty when it has senses of its own.
std::string ReferencedHeadword(std::string_view article, std::string_view headword);

// The dictd dictionaries in `folder` for a language pair ("en", "ru" ->
// mueller7; FreeDict's "eng-rus" style names too), opened; empty when there
// are none.
std::vector<std::unique_ptr<DictdDictionary>> OpenDictdForPair(const std::string& from, const std::string& to,
                                                               const std::string& folder = "/usr/share/dictd");
