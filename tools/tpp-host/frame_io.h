// Raw frames in and out, from files or the standard streams, in binary.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#if defined(_WIN32)
#include <windows.h>
using StreamHandle = HANDLE;
inline const StreamHandle kNoStream = INVALID_HANDLE_VALUE;
class ReadThread;
#else
using StreamHandle = int;  // a file descriptor
constexpr StreamHandle kNoStream = -1;
#endif

class FrameReader {
public:
    enum class Result { Frame, End, Truncated, Failed, Interrupted };

    FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;
    ~FrameReader();

    // path "-" is standard input, which must not be a terminal.
    bool Open(const std::string& path, std::string& error);

    // Reads one whole frame. End: the input ended before it began;
    // Truncated: it ended inside the frame, after got bytes; Failed: a
    // read error, with its text in error; Interrupted: an interrupt came
    // while it waited for the input (see interrupt.h), and the part of the
    // frame read so far is dropped.
    Result Read(uint8_t* frame, size_t bytes, size_t& got, std::string& error);

    StreamHandle handle() const { return handle_; }
    const std::string& name() const { return name_; }

private:
    StreamHandle handle_ = kNoStream;
    bool owned_ = false;
    std::string name_;
#if defined(_WIN32)
    void StartReadThread();
    std::unique_ptr<ReadThread> readThread_;  // for inputs that may wait: pipes, devices
#endif
};

class FrameWriter {
public:
    FrameWriter() = default;
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;
    ~FrameWriter();

    // path "-" is standard output, which must not be a terminal. A file
    // that is the input itself is refused before it is emptied.
    bool Open(const std::string& path, const FrameReader& input, std::string& error);

    bool Write(const uint8_t* frame, size_t bytes, std::string& error);

    const std::string& name() const { return name_; }

private:
    StreamHandle handle_ = kNoStream;
    bool owned_ = false;
    std::string name_;
};
