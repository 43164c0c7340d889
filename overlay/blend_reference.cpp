#include "overlay/blend.h"
#include "overlay/blend_walk.h"

void BlendRGB24Reference(const BlendArgs& args) { blend::WalkRGB24(args, blend::MixRGB24Span); }

void BlendYUY2Reference(const BlendArgs& args) { blend::WalkYUY2(args, blend::MixYUY2Span); }
