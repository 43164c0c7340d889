// Notes from where learners keep them, as text: a card program's export in
// plain text (its "#key:value" header lines, then one note a record), or
// any TSV or CSV; and a field's HTML reduced to the text it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ImportedNote {
    std::vector<std::string> fields;  // as stored: HTML when ImportedNotes::html
    int32_t place = 0;                // a text's line where the record starts; a deck's note, from 1
    int64_t interval = -1;            // days, the longest of its cards' intervals; -1: no review state
};

struct ImportedNotes {
    std::vector<ImportedNote> notes;
    bool html = true;
    bool reviewState = false;  // a package's: intervals were there to read
    std::string source;        // where in the file they came from, for the report; empty: the file
};

// The notes of a text file's bytes: UTF-8 (with or without its mark),
// UTF-16 or Windows-1251, as word lists are read. Header lines come first,
// each "#key:value": separator (tab, comma, semicolon, pipe, colon, space,
// or the character itself), html (true or false), and the guid, notetype,
// deck and tags columns, which hold no field and are left out. Without a
// separator header the first record's line decides: a tab, else a comma
// for a .csv (csvName) or a line with one, else a semicolon, else a tab.
// Fields may be quoted, with quotes doubled and line breaks inside. A
// line starting with "#" is a comment, and blank lines hold no note.
// Without an html header, fields are taken as HTML: reducing plain text
// changes only what reads as a tag or an entity. Nothing, with error, for
// bytes that are no text.
std::optional<ImportedNotes> ReadNoteText(std::string_view bytes, bool csvName, std::string& error);

// The text a field of HTML shows, on one line: tags dropped (a line break,
// a block or a list item made a space; a script or style with its
// content), entities decoded (a no-break space made a space, as it is
// where an editor put it), blanks made single spaces, the ends trimmed.
// changed says whether a tag or an entity was there.
std::string HtmlToText(std::string_view html, bool& changed);

// A plain field on one line: line breaks and tabs made spaces, the ends
// trimmed.
std::string OneLine(std::string_view text);
