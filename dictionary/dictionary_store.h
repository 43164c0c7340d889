// The dictionaries' shared state and the operations the plug-in and the
// settings dialog use on it.
//
// The host may call ProcessFrame (and so NextCaption) on its streaming
// thread while the dialog edits the alternative dictionary on another, so
// the alternative dictionary, both orders, the index settings they move,
// and captionText are guarded by captionLock (the caption font has the
// overlay's own renderLock). It is held
// only for a few list operations or one caption; files are read and written
// outside it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "dictionary/alt_dictionary.h"
#include "dictionary/entry_order.h"

extern std::mutex captionLock;

// Guarded by captionLock once the host may be streaming.
extern AltDictionary altDictionary;
extern EntryOrder builtinOrder;
extern EntryOrder altOrder;
extern bool altDictChanged;  // edited since last loaded or saved

// After the built-in dictionary was decoded: re-arms its order, going on
// with the random walk after CurIntEntry, and keeps CurIntEntry inside it
// (-1 when empty).
void RearmBuiltinOrder();

// Reads the file named by DicFileName (created empty when missing), re-arms
// the order, going on with the random walk after CurExtEntry, and keeps
// CurExtEntry inside the list. An empty name or a file that cannot be
// opened leaves the list empty and altDictChanged as it was. Always 1.
int32_t LoadAltDictionary();

// Writes the list to DicFileName and clears altDictChanged. An empty name
// or a failed write changes nothing and leaves altDictChanged set. Always 1.
int32_t SaveAltDictionary();

bool AltDictionaryChanged();
// A copy of the lines, for showing them.
std::vector<std::string> AltDictionaryLines();

// The dialog's edits; each re-arms the order (its walk carries on from
// where it is) and marks the dictionary changed. Add and Change return the
// index where the text now stands.
int32_t AddAltEntry(const std::string& text);
int32_t ChangeAltEntry(int32_t selected, const std::string& text);  // selected -1: add
void DeleteAltEntry(int32_t index);
