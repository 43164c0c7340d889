#!/usr/bin/env bash
# Made animals-21.apkg and animals-21b.apkg once from animals.apkg (see
# make-decks.js), with the sqlite3, zstd and zip commands, as the newer
# packages hold it: the collection as collection.anki21, or compressed by
# zstd as collection.anki21b, beside a collection.anki2 of one note that
# asks for a newer program. Review intervals are set on four cards so
# that --known has notes to mark. The collection keeps the older schema;
# notes and cards, all that is read, are alike in both.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q animals.apkg -d "$work"
cd "$work"
cp collection.anki2 collection.anki21
sqlite3 collection.anki21 "
  UPDATE cards SET type = 2, queue = 2, ivl = CASE
    (SELECT substr(flds, 1, instr(flds, char(31)) - 1) FROM notes WHERE notes.id = cards.nid)
    WHEN 'lighthouse' THEN 30 WHEN 'cat' THEN 21 WHEN 'die Größe' THEN 20 WHEN 'lonely' THEN 400 END
  WHERE nid IN (SELECT id FROM notes WHERE substr(flds, 1, instr(flds, char(31)) - 1)
                IN ('lighthouse', 'cat', 'die Größe', 'lonely'));
  VACUUM;"
sqlite3 collection.anki2 "
  DELETE FROM cards; DELETE FROM notes WHERE id <> (SELECT min(id) FROM notes);
  UPDATE notes SET flds = 'This deck needs a newer version of the program.' || char(31), sfld = '';
  VACUUM;"
zip -q -X "$OLDPWD/animals-21.apkg" collection.anki21 collection.anki2 media
zstd -q -19 collection.anki21 -o collection.anki21b
printf '\x08\x03' >meta
zip -q -X "$OLDPWD/animals-21b.apkg" collection.anki21b collection.anki2 media meta
cd - >/dev/null
