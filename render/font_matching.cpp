#include "render/font_matching.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/cp1251.h"
#include "platform/utf8.h"

namespace {

// What the settings ask of fontconfig: the name, weight and slant.
FcPattern* RequestOf(const CaptionFont& font) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    const int weight = font.weight <= 0 ? 400 : std::clamp<int>(font.weight, 1, 1000);
    // The settings' text is UTF-8; a name cut inside a character at the
    // face's 31 bytes, or older bytes, are read as Windows-1251.
    const std::string name(font.faceName, strnlen(font.faceName, sizeof font.faceName));
    const std::string family = name.empty() ? "sans-serif" : IsValidUtf8(name) ? name : DecodeCp1251(name);
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, font.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    return pattern;
}

bool AddCharacter(FcPattern* pattern, char32_t c) {
    FcCharSet* wanted = FcCharSetCreate();
    if (!wanted) return false;
    FcCharSetAddChar(wanted, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcCharSetDestroy(wanted);
    return true;
}

}  // namespace

FontMatcher::~FontMatcher() {
    if (coverage_) FcCharSetDestroy(coverage_);
    if (config_) FcConfigDestroy(config_);
}

bool FontMatcher::AnyFontHas(char32_t c) {
    if (!Ready()) return false;
    if (!coverage_) {
        coverage_ = FcCharSetCreate();
        if (!coverage_) return true;  // then each is matched, as before
        for (const FcSetName which : {FcSetSystem, FcSetApplication}) {
            const FcFontSet* fonts = FcConfigGetFonts(config_, which);
            for (int i = 0; fonts && i < fonts->nfont; ++i) {
                FcCharSet* characters = nullptr;
                if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &characters) == FcResultMatch)
                    FcCharSetMerge(coverage_, characters, nullptr);
            }
        }
    }
    return FcCharSetHasChar(coverage_, c);
}

bool FontMatcher::Ready() {
    if (!config_) config_ = FcInitLoadConfigAndFonts();
    return config_ != nullptr;
}

// Bold and italic are made up when the face found lacks them.
std::optional<FontMatch> FontMatcher::Match(const CaptionFont& font, std::optional<char32_t> needs) {
    if (!Ready()) return std::nullopt;
    FcPattern* pattern = RequestOf(font);
    if (!pattern) return std::nullopt;
    if (needs && !AddCharacter(pattern, *needs)) {
        FcPatternDestroy(pattern);
        return std::nullopt;
    }
    FcConfigSubstitute(config_, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config_, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return std::nullopt;

    std::optional<FontMatch> found;
    FcChar8* file = nullptr;
    int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(match, FC_INDEX, 0, &index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &slant);
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        found = FontMatch{reinterpret_cast<const char*>(file), index, font.weight >= 600 && weight < FC_WEIGHT_DEMIBOLD,
                          font.italic && slant == FC_SLANT_ROMAN};
    FcPatternDestroy(match);
    return found;
}
