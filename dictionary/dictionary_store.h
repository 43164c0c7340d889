// One instance's dictionaries and the operations the plug-in and the
// settings dialog use on them. Which dictionary and which order, the file's
// name and the indexes that record where each walk stands belong to the
// caller's settings: every operation is given what it needs of them, and
// returns an index that moved for the caller to store.
//
// The host may call ProcessFrame (and so NextCaption) on its streaming
// thread while the dialog edits the alternative dictionary on another, so
// the alternative dictionary, both orders and the indexes they move are
// guarded by captionLock (the caption font has the overlay's own
// renderLock). It is held only for a few list operations or one caption;
// files are read and written outside it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "dictionary/alt_dictionary.h"
#include "dictionary/builtin_dictionary.h"
#include "dictionary/entry_order.h"
#include "settings/setting_choices.h"

// How the last load found the word list's file, for whoever can tell the
// user: a list created empty gives no caption, one that cannot be read none
// either, and neither is otherwise seen.
struct WordListFileState {
    enum Kind { kNoFile, kRead, kCreatedEmpty, kUnreadable };
    Kind kind = kNoFile;
    std::string why;  // kUnreadable: why
};

class DictionaryStore {
public:
    // Takes the shared built-in dictionary (null: an empty one) and re-arms
    // its order, going on with the random walk after index. Returns index
    // kept inside the dictionary (-1 when it is empty).
    int32_t LoadBuiltinDictionary(std::shared_ptr<const BuiltinDictionary> dictionary, int32_t index);

    // Reads the file (created empty when missing, as the host's plug-in
    // always did) and re-arms the order, going on with the random walk after
    // index. Returns index kept inside the list. An empty name or a file
    // that cannot be read leaves the list empty and altDictChanged as it
    // was; what the file held that is no entry, and how its text was read,
    // is in LastAltDictionaryLoad, how the file was found in
    // LastAltDictionaryFile.
    int32_t LoadAltDictionary(const std::string& path, int32_t index);

    // Writes the list to the file, in the encoding it was read in (or UTF-8
    // with the mark once it holds more than Windows-1251 can), and clears
    // altDictChanged.
    // An empty name or a failed write changes nothing and leaves
    // altDictChanged set.
    platform::FileOutcome SaveAltDictionary(const std::string& path);

    bool AltDictionaryChanged();
    // What the last load left out and how it read the file (see
    // WordListMessage); nothing when nothing was read.
    WordListReport LastAltDictionaryLoad();
    WordListFileState LastAltDictionaryFile();
    // A copy of the lines, for showing them; or how many there are, and
    // one of them (empty outside the list).
    std::vector<std::string> AltDictionaryLines();
    size_t AltDictionaryCount();
    std::string AltDictionaryLine(int32_t index);

    // The dialog's edits; each re-arms the order (its walk carries on from
    // where it is) and marks the dictionary changed. Add and Change return
    // the index where the text now stands; Delete returns the entries left,
    // within which the caller keeps the index of the entry shown last.
    int32_t AddAltEntry(const std::string& text);
    int32_t ChangeAltEntry(int32_t selected, const std::string& text);  // selected -1: add
    int32_t DeleteAltEntry(int32_t entry);

    // Advances the chosen dictionary from the entry at index by one entry in
    // the chosen order, puts that entry into caption and returns its index
    // (from a source that is neither dictionary: index, and caption as it
    // was). None when the chosen dictionary is empty; caption is then empty.
    std::optional<int32_t> NextCaption(WordSource source, WordOrder order, int32_t index, std::string& caption);
    // The entry at index, for an order kept by someone else; none (and
    // caption empty) outside the dictionary.
    std::optional<int32_t> CaptionAt(WordSource source, int32_t index, std::string& caption);
    // Every entry of the dictionary as a caption, in its order.
    std::vector<std::string> Captions(WordSource source);
    // Each entry's place in the word list's file, in the same order; empty
    // for the built-in dictionary, or when the places are not known.
    std::vector<int32_t> FileRanks(WordSource source);

    // Under captionLock: the chosen dictionary's size (0 for neither), and
    // its entry at an index inside it.
    int32_t CountOf(WordSource source) const;
    void CaptionOf(WordSource source, int32_t index, std::string& caption) const;

    std::mutex captionLock;
    // Guarded by captionLock once the host may be streaming.
    std::shared_ptr<const BuiltinDictionary> builtinDictionary;
    AltDictionary altDictionary;
    WordListReport lastAltLoad;
    WordListFileState lastAltFile;
    EntryOrder builtinOrder;
    EntryOrder altOrder;
    bool altDictChanged = false;  // edited since last loaded or saved
};
