// The caption as an overlay composition that downstream blends: one
// premultiplied ARGB rectangle, made once for each drawing of the caption
// and attached to every buffer that shows it.
#pragma once

#include <gst/video/video.h>

#include <cstdint>

#include "overlay/shown_caption.h"

class CaptionComposition {
public:
    CaptionComposition() = default;
    CaptionComposition(const CaptionComposition&) = delete;
    CaptionComposition& operator=(const CaptionComposition&) = delete;
    ~CaptionComposition() { Reset(); }

    // Attaches the caption to a buffer whose metadata is writable, its
    // canvas's top left at (left, top) of the frame; a composition that is
    // there already keeps its rectangles, under the caption's.
    void Attach(GstBuffer* buffer, const ShownCaption& caption, int32_t left, int32_t top);
    // Forgets the rectangle: the next caption is made anew.
    void Reset();

private:
    bool Holds(const ShownCaption& caption, int32_t left, int32_t top) const;
    void Make(const ShownCaption& caption, int32_t left, int32_t top);

    GstVideoOverlayComposition* composition_ = nullptr;
    GstVideoOverlayRectangle* rectangle_ = nullptr;  // the composition's one
    ShownCaption made_{};
    int32_t left_ = 0, top_ = 0;
};
