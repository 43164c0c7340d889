#include "overlay/blend.h"

namespace {
const bool useSse2 = HaveSse2();
}

void BlendYUY2(const BlendArgs& args) {
    if (useSse2)
        BlendYUY2Sse2(args);
    else
        BlendYUY2Reference(args);
}

void BlendRGB24(const BlendArgs& args) {
    if (useSse2)
        BlendRGB24Sse2(args);
    else
        BlendRGB24Reference(args);
}
