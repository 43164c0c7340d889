// The overlay engine: at each frame of a stream the caption schedule says
// whether a caption shows, the layout places it on the virtual canvas, and
// the caption canvas draws it and blends it into the frame. Frames come in
// any format the blend kernels know; whoever hands them over (the host's
// records, a media framework's buffers) describes them as a FrameView.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "blend/blend.h"
#include "blend/canvas_runs.h"
#include "blend/frame_view.h"
#include "dictionary/dictionary_store.h"
#include "overlay/caption_canvas.h"
#include "overlay/caption_layout.h"
#include "overlay/caption_notices.h"
#include "overlay/caption_renderer.h"
#include "overlay/caption_schedule.h"
#include "overlay/random.h"
#include "overlay/shown_caption.h"
#include "settings/settings_record.h"
#include "settings/working_settings.h"

// A stream: the frame size and the frames' format. Without a format the
// captions are scheduled and drawn on the canvas but blended into nothing.
struct VideoFormat {
    int32_t width = 0;
    int32_t height = 0;
    std::optional<FrameFormat> format;
};

class OverlayEngine {
public:
    // The engine draws with a copy of the working settings, brought up to
    // date at each frame that may draw, and writes back, through their one
    // writer, the caption's fixed centre and the entry indexes; it takes
    // entries from the dictionaries and draws with its own renderer.
    OverlayEngine(WorkingSettings& workingSettings, DictionaryStore& dictionaries,
                  std::unique_ptr<CaptionRenderer> renderer);

    void CreateRenderContext();
    // 1 when the stream is accepted; 0 for a frame size of zero or below,
    // or without a renderer.
    int32_t StreamStart(const VideoFormat& format);
    // One frame of the stream, changed in place. 0 for a frame that is not
    // the stream's (no pixels, another size, or another format where the
    // stream has one: it is neither touched nor counted), outside a
    // stream, or when a new caption is due and the chosen dictionary is
    // empty (the next frame asks again); else 1, whether or not a caption
    // was drawn. In a stream without a format only the pixels and the size
    // are looked at: nothing is blended.
    int32_t ProcessFrame(const FrameView& frame);
    // Counts a frame (one that is there) that falls in the gap between
    // captions, with nothing to show, and says whether it did; ProcessFrame
    // takes any other. Most frames are gap frames, so whoever hands frames
    // over asks this before describing them. The schedule is the host
    // thread's alone: no lock.
    bool CountGapFrame() noexcept { return streaming_ && schedule_.CountGapFrame(); }
    void StreamStop();
    // Whether the next frame may get a caption. When it cannot, PassFrame
    // counts it as ProcessFrame would, without its pixels: a host that can
    // avoid touching such a frame (a media framework's shared buffer) asks
    // first.
    bool NextFrameMayDraw() const { return schedule_.NextFrameMayDraw(); }
    void PassFrame();
    // Rebuilds the caption font from the working settings.
    void CreateCaptionFont();

    // A viewer's requests, made on the frame's thread between frames; they
    // show from the next frame. ShowNextNow ends the caption or the gap and
    // takes the next entry; ShowAgain shows the last entry again for that
    // long, ShowNote a text of its own (counted as no entry), at the last
    // caption's place or a place of its own. Nothing cuts a request short:
    // the next entry waits for it. With captions off no entry is taken and
    // the schedule waits, but a request shows for all its time.
    void ShowNextNow() { schedule_.ShowNextNow(); }
    void ShowAgain(uint32_t millis) { schedule_.ShowAgain(millis); }
    void ShowNote(const std::string& text, uint32_t millis, bool atLastPlace) {
        schedule_.ShowNote(text, millis, atLastPlace);
    }
    void SetCaptionsOff(bool off) { schedule_.SetCaptionsOff(off); }
    bool captionsOff() const { return schedule_.captionsOff(); }
    // The settings' frame counts (none), or a caption every so often for so
    // long in the stream's time, whatever the frame rate. The stream's time
    // is told before each frame; a request's time is counted in frames at
    // the stream's rate without a study timing.
    void SetStudyTiming(const std::optional<StudyTiming>& timing) { schedule_.SetTiming(timing); }
    void SetStreamTime(int64_t nanos) { schedule_.SetTime(nanos); }
    void SetFramesPerSecond(uint32_t frames) { schedule_.SetFramesPerSecond(frames); }
    // A share of the frame's height at the bottom (0 to 0.5) that captions
    // and notes keep out of, for the film's own subtitles.
    void SetKeepClear(double share);
    // The serial of the entry the last frame showed; none when it showed
    // none, or a note.
    std::optional<uint32_t> entryOnScreen() const { return entryOnScreen_; }
    // An entry that is not to be taken again in this run.
    void Retire(const std::string& list, int32_t index) { schedule_.Retire(list, index); }
    const ShownEntry& lastShown() const { return schedule_.lastShown(); }
    // Chooses each entry instead of the settings' order, on the frame's
    // thread (the element's spaced order); unset: the settings' order.
    void SetEntryChooser(EntryChooser chooser) { schedule_.SetEntryChooser(std::move(chooser)); }
    // Gives every entry instead of the dictionaries (a film's coming words),
    // on the frame's thread; unset: the dictionaries'.
    void SetEntryProvider(EntryProvider provider) { schedule_.SetEntryProvider(std::move(provider)); }

    // The stream as StreamStart took it.
    VideoFormat videoFormat() const { return stream_; }
    CaptionRenderer* renderer() const { return renderer_.get(); }

    // The blend kernels' path for this engine's frames: ActivePath() unless
    // put on another. False, and no change, for a path this processor lacks.
    bool SetKernelPath(KernelPath path);
    KernelPath kernelPath() const { return canvas_.kernelPath(); }

    // Where the caption on the canvas may differ from the background, rows
    // of frame pixels, as the last rendering found it.
    CanvasRuns captionRuns() const { return canvas_.runs(); }

    // The caption the last ProcessFrame showed, for a host that hands it on
    // instead of blending it (a stream without a format); none when it
    // showed none.
    const std::optional<ShownCaption>& frameCaption() const { return frameCaption_; }

    // Told, once each time it starts, of a setting that hides what it
    // draws (the letters in the colour BackType none leaves out, say, or a
    // chosen dictionary with no entries): one sentence, told on the frame's
    // thread under the render lock.
    void SetNoticeHandler(std::function<void(const std::string&)> handler) { notices_.SetHandler(std::move(handler)); }

private:
    friend class OverlayEngineInternals;  // the tests' view inside

    bool IsStreamFrame(const FrameView& frame) const;
    void RefreshSettings();
    void SetCaptionFont();
    bool TakeNextEntry(std::string& text);
    void StartCaption(std::string text, bool atLastPlace = false);
    void StartRequested();
    int32_t WhileOff(const FrameView& frame);
    int32_t ShowPhase(const FrameView& frame);
    void DrawCaption(const FrameView& frame);
    void PlaceCaption(CaptionMargins margins);

    WorkingSettings& workingSettings_;
    // What this frame draws with; guarded by renderLock_.
    SettingsRecord settings_;
    uint64_t settingsSeen_ = 0;
    std::unique_ptr<CaptionRenderer> renderer_;
    VideoFormat stream_;
    bool streaming_ = false;  // from StreamStart to StreamStop
    CaptionSchedule schedule_;
    // Each instance's own, starting as at every load, so each load repeats
    // the same positions and durations.
    RandomSource random_;
    CaptionLayout layout_;
    CaptionCanvas canvas_;
    CaptionNotices notices_;
    std::optional<ShownCaption> frameCaption_;
    std::optional<uint32_t> entryOnScreen_;
    double keepClear_ = 0;
    // The settings dialog may rebuild the caption font on its own thread
    // while the host renders frames on another: ProcessFrame holds this
    // lock for the whole frame, and font work from another thread takes it
    // too. A frame takes the settings' lock and the dictionaries'
    // captionLock inside it (one at a time), never the other way round.
    std::mutex renderLock_;
};
