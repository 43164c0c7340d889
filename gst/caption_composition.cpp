#include "gst/caption_composition.h"

#include "blend/canvas_argb.h"

bool CaptionComposition::Holds(const ShownCaption& caption, int32_t left, int32_t top) const {
    const PixelRect& a = caption.area;
    const PixelRect& b = made_.area;
    return composition_ && caption.drawing == made_.drawing && caption.canvas.bits == made_.canvas.bits &&
           a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom &&
           caption.backColor == made_.backColor && caption.keyBackground == made_.keyBackground &&
           caption.opacity == made_.opacity && left == left_ && top == top_;
}

// The pixels carry what the key leaves out, the global alpha the opacity:
// a sink that blends with global alpha takes the pixels as they are.
void CaptionComposition::Make(const ShownCaption& caption, int32_t left, int32_t top) {
    Reset();
    const PixelRect& area = caption.area;
    const guint width = guint(area.right - area.left), height = guint(area.bottom - area.top);
    GstBuffer* pixels = gst_buffer_new_allocate(nullptr, gsize{width} * height * 4, nullptr);
    gst_buffer_add_video_meta(pixels, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_OVERLAY_COMPOSITION_FORMAT_RGB, width,
                              height);
    GstMapInfo map;
    gst_buffer_map(pixels, &map, GST_MAP_WRITE);
    CanvasToArgb(caption.canvas, area, caption.backColor, caption.keyBackground, map.data, ptrdiff_t{width} * 4);
    gst_buffer_unmap(pixels, &map);
    rectangle_ = gst_video_overlay_rectangle_new_raw(pixels, left + area.left, top + area.top, width, height,
                                                     GST_VIDEO_OVERLAY_FORMAT_FLAG_PREMULTIPLIED_ALPHA);
    gst_buffer_unref(pixels);
    gst_video_overlay_rectangle_set_global_alpha(rectangle_, float(caption.opacity) / 100.0f);
    composition_ = gst_video_overlay_composition_new(rectangle_);
    made_ = caption;
    left_ = left, top_ = top;
}

void CaptionComposition::Attach(GstBuffer* buffer, const ShownCaption& caption, int32_t left, int32_t top) {
    if (!Holds(caption, left, top)) Make(caption, left, top);
    GstVideoOverlayCompositionMeta* theirs = gst_buffer_get_video_overlay_composition_meta(buffer);
    if (!theirs) {
        gst_buffer_add_video_overlay_composition_meta(buffer, composition_);
        return;
    }
    GstVideoOverlayComposition* both = gst_video_overlay_composition_copy(theirs->overlay);
    gst_video_overlay_composition_add_rectangle(both, rectangle_);
    gst_buffer_remove_video_overlay_composition_meta(buffer, theirs);
    gst_buffer_add_video_overlay_composition_meta(buffer, both);
    gst_video_overlay_composition_unref(both);
}

void CaptionComposition::Reset() {
    g_clear_pointer(&composition_, gst_video_overlay_composition_unref);
    g_clear_pointer(&rectangle_, gst_video_overlay_rectangle_unref);
}
