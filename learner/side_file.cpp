#include "learner/side_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace learner {

namespace {

// The first line: a file without it is not taken for one of ours.
constexpr std::string_view kHeader = "tpp25frame queued events 1\n";

// Fields hold any text: the line's separators are escaped.
void AddField(std::string& line, std::string_view text) {
    line += '\t';
    for (const char c : text) {
        switch (c) {
            case '\\': line += "\\\\"; break;
            case '\t': line += "\\t"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            default: line += c;
        }
    }
}

bool Unescape(std::string_view field, std::string& text) {
    text.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            text += field[i];
            continue;
        }
        if (++i == field.size()) return false;
        switch (field[i]) {
            case '\\': text += '\\'; break;
            case 't': text += '\t'; break;
            case 'n': text += '\n'; break;
            case 'r': text += '\r'; break;
            default: return false;
        }
    }
    return true;
}

// KIND TAB MILLIS TAB LIST TAB WORD TAB TRANSLATION [TAB CONTEXT]
bool ParseLine(std::string_view line, Event& event) {
    std::string_view fields[6];
    size_t count = 0;
    for (bool more = true; more; ++count) {
        if (count == 6) return false;
        const size_t tab = line.find('\t');
        more = tab != std::string_view::npos;
        fields[count] = line.substr(0, tab);
        line.remove_prefix(more ? tab + 1 : line.size());
    }
    if (count < 5) return false;
    if (count == 6 && !Unescape(fields[5], event.entry.context)) return false;
    if (fields[0].size() != 1 || fields[0][0] < '0' || fields[0][0] > '2') return false;
    event.kind = static_cast<EventKind>(fields[0][0] - '0');
    const auto [end, failed] = std::from_chars(fields[1].data(), fields[1].data() + fields[1].size(), event.atMillis);
    return failed == std::errc() && end == fields[1].data() + fields[1].size() &&
           Unescape(fields[2], event.entry.list) && Unescape(fields[3], event.entry.word) &&
           Unescape(fields[4], event.entry.translation);
}

std::string Why() { return std::strerror(errno); }

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// The file open and locked, as long as it is still the one at path: one
// another process took and removed meanwhile is opened anew.
int OpenLocked(const std::string& path, int flags, int lockFlags, int& failure, std::string& error) {
    for (;;) {
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0600);
        if (fd < 0) {
            failure = errno;
            error = Why();
            return -1;
        }
        struct stat status {};
        if (::flock(fd, lockFlags) != 0) {
            failure = errno;
            error = failure == EWOULDBLOCK ? "another process holds it" : Why();
            ::close(fd);
            return -1;
        }
        if (::fstat(fd, &status) == 0 && status.st_nlink > 0) return fd;
        ::close(fd);
    }
}

}  // namespace

std::string SideFilePath(const std::string& store) { return store + "-queued"; }

bool AppendSideFile(const std::string& path, const std::vector<Event>& events, std::string& error) {
    int failure = 0;
    const int fd = OpenLocked(path, O_RDWR | O_CREAT | O_APPEND, LOCK_EX, failure, error);
    if (fd < 0) return false;
    struct stat status {};
    ::fstat(fd, &status);
    std::string text;
    if (status.st_size == 0) {
        text = kHeader;
    } else {
        // A line a killed process left half written stays apart.
        char last = '\n';
        if (::pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n') text = "\n";
    }
    for (const Event& event : events) {
        text += static_cast<char>('0' + static_cast<int>(event.kind));
        text += '\t' + std::to_string(event.atMillis);
        AddField(text, event.entry.list);
        AddField(text, event.entry.word);
        AddField(text, event.entry.translation);
        if (!event.entry.context.empty()) AddField(text, event.entry.context);
        text += '\n';
    }
    const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    if (!written) {
        error = Why();
        // What it held stays, without a part of these.
        if (::ftruncate(fd, status.st_size) != 0 && status.st_size == 0) ::unlink(path.c_str());
    }
    ::close(fd);
    return written;
}

SideFileTaken TakeSideFile(const std::string& path, const std::function<bool(const std::vector<Event>&)>& take) {
    SideFileTaken taken;
    int failure = 0;
    const int fd = OpenLocked(path, O_RDWR, LOCK_EX | LOCK_NB, failure, taken.error);
    if (fd < 0) {
        if (failure == ENOENT) return taken;
        taken.outcome = failure == EWOULDBLOCK ? SideFileTaken::kLocked : SideFileTaken::kUnreadable;
        return taken;
    }
    std::string text;
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
        if (n > 0) text.append(buffer, static_cast<size_t>(n));
    if (n < 0) {
        taken.error = Why();
        taken.outcome = SideFileTaken::kUnreadable;
    } else if (!std::string_view(text).starts_with(kHeader)) {
        taken.outcome = SideFileTaken::kForeign;
    } else {
        std::vector<Event> events;
        std::string_view rest = std::string_view(text).substr(kHeader.size());
        while (!rest.empty()) {
            const size_t end = rest.find('\n');
            Event event;
            if (end != std::string_view::npos && ParseLine(rest.substr(0, end), event)) {
                events.push_back(std::move(event));
            } else if (end != std::string_view::npos ? end > 0 : true) {
                ++taken.damaged;
            }
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        }
        taken.events = events.size();
        if (take(events)) {
            ::unlink(path.c_str());
            taken.outcome = SideFileTaken::kTaken;
        } else {
            taken.outcome = SideFileTaken::kKept;
        }
    }
    ::close(fd);
    return taken;
}

}  // namespace learner
