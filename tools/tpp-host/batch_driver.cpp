#include "tools/tpp-host/batch_driver.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/tpp-host/console_text.h"
#include "tools/tpp-host/interrupt.h"
#include "tools/tpp-host/progress_meter.h"

namespace {

// The numbers of the frames the plug-in changed, one a line, for tools
// that pick frames with captions.
class ChangedFramesList {
public:
    ~ChangedFramesList() {
        if (file_) std::fclose(file_);
    }
    bool Open(const std::string& path, std::string& error) {
        if (path.empty()) return true;
        path_ = path;
        file_ = std::fopen(path.c_str(), "w");
        if (!file_) error = "cannot write " + path;
        return file_ != nullptr;
    }
    void Add(int64_t frameNumber) {
        if (file_) std::fprintf(file_, "%lld\n", static_cast<long long>(frameNumber));
    }
    bool Close(std::string& error) {
        if (!file_) return true;
        const bool ok = !std::ferror(file_) && std::fclose(file_) == 0;
        file_ = nullptr;
        if (!ok) error = "cannot write " + path_;
        return ok;
    }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

}  // namespace

int RunBatch(const HostOptions& options, PluginSession& session, FrameReader& input, FrameWriter& output,
             const std::function<std::vector<std::string>()>& pluginSaid) {
    const size_t bytes = static_cast<size_t>(FrameBytes(options));
    std::vector<uint8_t> frame(bytes), original(bytes);
    std::string error;
    ChangedFramesList changedList;
    if (!changedList.Open(options.changedFramesPath, error)) {
        session.Finish();
        ConsolePrint(stderr, "tpp-host: %s\n", error.c_str());
        return 1;
    }

    ProgressMeter progress;
    int64_t frames = 0, changed = 0, refused = 0;
    // An interrupt ends the run after the frame in hand.
    while ((options.frames < 0 || frames < options.frames) && !Interrupted()) {
        size_t got = 0;
        const FrameReader::Result result = input.Read(frame.data(), bytes, got, error);
        if (result == FrameReader::Result::End) break;
        if (result == FrameReader::Result::Truncated) {
            error = input.name() + " ends inside frame " + std::to_string(frames + 1) + " (" + std::to_string(got) +
                    " of " + std::to_string(bytes) + " bytes); the " + std::to_string(frames) +
                    " complete frames before it were written";
        }
        if (result != FrameReader::Result::Frame) break;

        std::memcpy(original.data(), frame.data(), bytes);
        ++frames;
        refused += session.ProcessFrame(frame.data()) == 0;
        if (std::memcmp(original.data(), frame.data(), bytes) != 0) {
            ++changed;
            changedList.Add(frames);
        }
        if (!output.Write(frame.data(), bytes, error)) break;
        progress.Frame(frames);
    }
    session.Finish();
    if (error.empty()) changedList.Close(error);

    progress.Clear();
    ConsolePrint(stderr, "tpp-host: %lld frames in %.2f s (%.1f fps); the plug-in changed %lld, returned 0 for %lld\n",
                 static_cast<long long>(frames), progress.Seconds(), progress.FramesPerSecond(frames),
                 static_cast<long long>(changed), static_cast<long long>(refused));
    // A fault or a setting that hid the captions, scrolled away with the
    // frames, is said again where a reader looks last.
    for (const std::string& line : pluginSaid()) ConsolePrint(stderr, "tpp-host: the plug-in said: %s\n", line.c_str());
    if (!error.empty()) ConsolePrint(stderr, "tpp-host: %s\n", error.c_str());
    if (Interrupted()) {
        ConsolePrint(stderr, "tpp-host: interrupted by %s: the stream was stopped and the plug-in ended in order\n",
                     InterruptName().c_str());
        return InterruptExitStatus();
    }
    return error.empty() ? 0 : 1;
}
