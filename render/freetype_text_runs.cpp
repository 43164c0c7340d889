#include "render/freetype_text_runs.h"

#include <fribidi.h>

#include <algorithm>

namespace {

static_assert(sizeof(FriBidiChar) == sizeof(char32_t));

hb_unicode_funcs_t* Unicode() {
    static hb_unicode_funcs_t* const funcs = hb_unicode_funcs_get_default();
    return funcs;
}

bool IsMark(hb_unicode_general_category_t category) {
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK;
}

// Common, inherited and unassigned characters belong to no script of their own.
bool OwnsNoScript(hb_script_t script) {
    return script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;
}

}  // namespace

bool NeedsShaping(std::u32string_view line) {
    for (const char32_t c : line) {
        // Latin up to the combining marks, Greek and Cyrillic but for the
        // latter's marks: nothing there joins, moves or runs right to left.
        if (c < 0x300 || (c >= 0x370 && c < 0x530 && (c < 0x483 || c > 0x489))) continue;
        const hb_script_t script = hb_unicode_script(Unicode(), c);
        if (script != HB_SCRIPT_COMMON && script != HB_SCRIPT_LATIN && script != HB_SCRIPT_GREEK &&
            script != HB_SCRIPT_CYRILLIC)
            return true;
        // The shaper hides joiners and other format characters; unshaped,
        // a face without them would draw a box or a fallback's blank.
        const hb_unicode_general_category_t category = hb_unicode_general_category(Unicode(), c);
        if (IsMark(category) || category == HB_UNICODE_GENERAL_CATEGORY_FORMAT) return true;
        const FriBidiCharType type = fribidi_get_bidi_type(c);
        if (FRIBIDI_IS_RTL(type) || FRIBIDI_IS_EXPLICIT(type) || FRIBIDI_IS_ISOLATE(type)) return true;
    }
    return false;
}

FaceChoice FaceChoiceOf(char32_t c) {
    const hb_unicode_general_category_t category = hb_unicode_general_category(Unicode(), c);
    if (category == HB_UNICODE_GENERAL_CATEGORY_FORMAT) return FaceChoice::kPrevious;
    if (IsMark(category) || OwnsNoScript(hb_unicode_script(Unicode(), c))) return FaceChoice::kPreviousIfItHasIt;
    return FaceChoice::kOwn;
}

std::vector<TextRun> VisualRuns(std::u32string_view line, const std::vector<uint32_t>& faces) {
    const size_t n = line.size();
    std::vector<TextRun> runs;
    if (n == 0) return runs;

    const auto length = static_cast<FriBidiStrIndex>(n);
    const auto* chars = reinterpret_cast<const FriBidiChar*>(line.data());
    std::vector<FriBidiCharType> types(n);
    std::vector<FriBidiBracketType> brackets(n);
    std::vector<FriBidiLevel> levels(n, 0);
    fribidi_get_bidi_types(chars, length, types.data());
    fribidi_get_bracket_types(chars, length, types.data(), brackets.data());
    FriBidiParType direction = FRIBIDI_PAR_ON;
    // Reordering the line, with no map to fill, only resets the levels of
    // its trailing white space to the paragraph's.
    if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(), length, &direction, levels.data()) == 0 ||
        fribidi_reorder_line(0, types.data(), length, 0, direction, levels.data(), nullptr, nullptr) == 0)
        std::fill(levels.begin(), levels.end(), 0);  // out of memory: left to right as stored

    // A character of no script takes the script before it; those at the
    // start, the first one after them.
    std::vector<hb_script_t> scripts(n, HB_SCRIPT_INVALID);
    hb_script_t last = HB_SCRIPT_INVALID;
    for (size_t i = 0; i < n; ++i) {
        const hb_script_t script = hb_unicode_script(Unicode(), line[i]);
        if (!OwnsNoScript(script)) last = script;
        scripts[i] = last;
    }
    const auto first = std::find_if(scripts.begin(), scripts.end(),
                                    [](hb_script_t s) { return s != HB_SCRIPT_INVALID; });
    std::fill(scripts.begin(), first, first == scripts.end() ? HB_SCRIPT_COMMON : *first);

    for (uint32_t i = 0; i < n; ++i) {
        const auto level = static_cast<uint8_t>(levels[i]);
        if (runs.empty() || runs.back().level != level || runs.back().script != scripts[i] ||
            runs.back().face != faces[i])
            runs.push_back({i, i, level, scripts[i], faces[i]});
        runs.back().end = i + 1;
    }

    // From the highest level down to the lowest odd one, every stretch of
    // runs at that level or above turns around.
    uint8_t highest = 0, lowestOdd = UINT8_MAX;
    for (const TextRun& run : runs) {
        highest = std::max(highest, run.level);
        if (run.level & 1) lowestOdd = std::min(lowestOdd, run.level);
    }
    for (int level = highest; level >= lowestOdd; --level)
        for (auto from = runs.begin(); from != runs.end();) {
            if (from->level < level) {
                ++from;
                continue;
            }
            const auto to = std::find_if(from, runs.end(), [&](const TextRun& run) { return run.level < level; });
            std::reverse(from, to);
            from = to;
        }
    return runs;
}
