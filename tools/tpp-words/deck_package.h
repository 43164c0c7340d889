// Notes from a card program's deck package (.apkg): a zip holding the
// collection, a SQLite file, as collection.anki2, collection.anki21, or
// compressed by zstd as collection.anki21b. A newer package carries an
// older name too, a collection of one note asking for a newer program, so
// the newest name is read: anki21b, then anki21, then anki2. In each, a
// note's fields are notes.flds, separated by 0x1F, and HTML; each card's
// interval in days is cards.ivl.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/tpp-words/note_text.h"

enum class NoteFileKind { kText, kPackage, kCollection, kCompressedCollection };

// What a file holds, by its first 16 bytes (or all it has).
NoteFileKind KindOfNoteFile(std::string_view head);

// The notes of the package at path, in the order they were made; nothing,
// with error, when it is no package or cannot be read.
std::optional<ImportedNotes> ReadDeckPackage(const std::string& path, std::string& error);

// The notes of a collection's bytes, as SQLite or compressed by zstd.
std::optional<ImportedNotes> ReadCollection(std::string bytes, std::string& error);
