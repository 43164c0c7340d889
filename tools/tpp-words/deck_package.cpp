#include "tools/tpp-words/deck_package.h"

#include <sqlite3.h>
#include <zip.h>
#include <zstd.h>

#include <cstring>
#include <memory>

#include "learner/sqlite_db.h"

namespace {

// A collection is a few megabytes; this keeps a crafted package from
// taking the machine's memory.
constexpr uint64_t kLargestCollection = uint64_t{1} << 30;

constexpr std::string_view kSqliteHead("SQLite format 3\0", 16);
constexpr std::string_view kZstdHead("\x28\xB5\x2F\xFD", 4);

bool Decompress(std::string_view compressed, std::string& out, std::string& error) {
    std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx*)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    if (!context) {
        error = "out of memory";
        return false;
    }
    ZSTD_inBuffer input{compressed.data(), compressed.size(), 0};
    std::string chunk(ZSTD_DStreamOutSize(), '\0');
    out.clear();
    for (;;) {
        ZSTD_outBuffer output{chunk.data(), chunk.size(), 0};
        const size_t left = ZSTD_decompressStream(context.get(), &output, &input);
        if (ZSTD_isError(left)) {
            error = std::string("the collection does not decompress: ") + ZSTD_getErrorName(left);
            return false;
        }
        out.append(chunk.data(), output.pos);
        if (out.size() > kLargestCollection) {
            error = "the collection is larger than 1 GiB";
            return false;
        }
        if (input.pos == input.size && output.pos < output.size) {
            if (left == 0) return true;
            error = "the compressed collection is cut short";
            return false;
        }
    }
}

bool ReadEntry(zip_t* archive, zip_int64_t index, std::string& bytes, std::string& error) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE)) {
        error = zip_strerror(archive);
        return false;
    }
    if (stat.size > kLargestCollection) {
        error = "the collection is larger than 1 GiB";
        return false;
    }
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    if (!file) {
        error = zip_strerror(archive);
        return false;
    }
    bytes.resize(stat.size);
    const zip_int64_t read = zip_fread(file, bytes.data(), stat.size);
    // Reading to the end checks the entry's CRC.
    char more;
    const bool whole = read == static_cast<zip_int64_t>(stat.size) && zip_fread(file, &more, 1) == 0;
    if (!whole) error = zip_file_strerror(file);
    zip_fclose(file);
    return whole;
}

}  // namespace

NoteFileKind KindOfNoteFile(std::string_view head) {
    // A zip starts with its first entry, or, empty, with its directory's end.
    if (head.starts_with("PK\x03\x04") || head.starts_with("PK\x05\x06")) return NoteFileKind::kPackage;
    if (head.starts_with(kSqliteHead)) return NoteFileKind::kCollection;
    if (head.starts_with(kZstdHead)) return NoteFileKind::kCompressedCollection;
    return NoteFileKind::kText;
}

std::optional<ImportedNotes> ReadCollection(std::string bytes, std::string& error) {
    if (bytes.starts_with(kZstdHead)) {
        std::string plain;
        if (!Decompress(bytes, plain, error)) return std::nullopt;
        bytes = std::move(plain);
    }
    if (bytes.size() < 100 || !bytes.starts_with(kSqliteHead)) {
        error = "the collection is no SQLite database";
        return std::nullopt;
    }
    // A collection left in WAL mode reads from memory as a rollback one:
    // its log is not in the package.
    if (bytes[18] == 2) bytes[18] = 1;
    if (bytes[19] == 2) bytes[19] = 1;

    learner::Database db;
    if (!db.Open(":memory:", error)) return std::nullopt;
    sqlite3_db_config(db.handle(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    auto* image = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
    if (!image) {
        error = "out of memory";
        return std::nullopt;
    }
    std::memcpy(image, bytes.data(), bytes.size());
    const auto size = static_cast<sqlite3_int64>(bytes.size());
    if (sqlite3_deserialize(db.handle(), "main", image, size, size,
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) != SQLITE_OK) {
        error = "the collection cannot be read: " + db.LastError();
        return std::nullopt;
    }
    ImportedNotes notes;
    notes.reviewState = true;
    learner::Statement rows(db,
                            "SELECT n.flds, (SELECT max(c.ivl) FROM cards c WHERE c.nid = n.id) "
                            "FROM notes n ORDER BY n.id");
    if (!rows.ok()) {
        error = "the collection holds no notes and cards: " + db.LastError();
        return std::nullopt;
    }
    while (rows.Step()) {
        ImportedNote note;
        note.place = static_cast<int32_t>(notes.notes.size() + 1);
        note.interval = rows.OptionalInt(1).value_or(-1);
        const std::string fields = rows.Text(0);
        for (size_t start = 0;;) {
            const size_t end = fields.find('\x1f', start);
            note.fields.push_back(fields.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        notes.notes.push_back(std::move(note));
    }
    if (!rows.done()) {
        error = "the collection cannot be read: " + db.LastError();
        return std::nullopt;
    }
    return notes;
}

std::optional<ImportedNotes> ReadDeckPackage(const std::string& path, std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, void (*)(zip_t*)> archive(zip_open(path.c_str(), ZIP_RDONLY, &code), zip_discard);
    if (!archive) {
        zip_error_t why;
        zip_error_init_with_code(&why, code);
        error = std::string("not a readable package: ") + zip_error_strerror(&why);
        zip_error_fini(&why);
        return std::nullopt;
    }
    for (const char* name : {"collection.anki21b", "collection.anki21", "collection.anki2"}) {
        const zip_int64_t index = zip_name_locate(archive.get(), name, 0);
        if (index < 0) continue;
        std::string bytes;
        if (!ReadEntry(archive.get(), index, bytes, error)) {
            error = std::string(name) + " cannot be read: " + error;
            return std::nullopt;
        }
        std::optional<ImportedNotes> notes = ReadCollection(std::move(bytes), error);
        if (notes) notes->source = name;
        return notes;
    }
    error = "the package holds no collection (collection.anki21b, .anki21 or .anki2)";
    return std::nullopt;
}
