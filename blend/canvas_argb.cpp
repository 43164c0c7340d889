#include "blend/canvas_argb.h"

#include <cstring>

#include "blend/blend_math.h"

void CanvasToArgb(const CanvasView& canvas, const PixelRect& area, uint32_t backColor, bool keyBackground, uint8_t* out,
                  ptrdiff_t stride) {
    const uint32_t key = blend::KeyColour(backColor, keyBackground);
    for (int32_t y = area.top; y < area.bottom; ++y, out += stride) {
        const uint8_t* pixel = canvas.bits + y * canvas.stride + ptrdiff_t{area.left} * 4;
        for (int32_t x = 0; x < area.right - area.left; ++x, pixel += 4) {
            const uint32_t colour = blend::CanvasPixel(pixel);
            const uint32_t word = colour == key ? 0 : 0xFF000000u | colour;
            std::memcpy(out + ptrdiff_t{x} * 4, &word, 4);
        }
    }
}
