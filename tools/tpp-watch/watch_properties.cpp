#include "tools/tpp-watch/watch_properties.h"

#include <gst/gst.h>

#include <algorithm>
#include <cstdio>

namespace {

const char kElement[] = "tpp25frame";

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

bool Settable(const GParamSpec* spec) {
    return (spec->flags & G_PARAM_WRITABLE) && !(spec->flags & G_PARAM_CONSTRUCT_ONLY) &&
           std::string(spec->name) != "name" && std::string(spec->name) != "parent";
}

// The element's properties nearest to a name it does not have.
std::string Nearest(GObject* element, const std::string& name) {
    guint count = 0;
    GParamSpec** specs = g_object_class_list_properties(G_OBJECT_GET_CLASS(element), &count);
    std::vector<std::pair<size_t, std::string>> names;
    for (guint i = 0; i < count; ++i)
        if (Settable(specs[i])) names.emplace_back(EditDistance(name, specs[i]->name), specs[i]->name);
    g_free(specs);
    std::sort(names.begin(), names.end());
    std::string nearest;
    for (size_t i = 0; i < names.size() && i < 3 && names[i].first <= names[0].first + 1; ++i)
        nearest += (i ? ", " : "") + names[i].second;
    return nearest;
}

// What a property takes, as the viewer writes it.
std::string Takes(GParamSpec* spec) {
    if (G_IS_PARAM_SPEC_ENUM(spec)) {
        std::string nicks;
        const GEnumClass* values = G_PARAM_SPEC_ENUM(spec)->enum_class;
        for (guint i = 0; i < values->n_values; ++i)
            nicks += (i ? ", " : "") + std::string(values->values[i].value_nick);
        return "one of " + nicks;
    }
    if (G_IS_PARAM_SPEC_BOOLEAN(spec)) return "true or false";
    if (G_IS_PARAM_SPEC_UINT(spec)) {
        const GParamSpecUInt* range = G_PARAM_SPEC_UINT(spec);
        // Colours: 0xRRGGBB.
        if (range->minimum == 0 && range->maximum == 0xFFFFFF) return "a colour from 0x000000 to 0xFFFFFF (0xRRGGBB)";
        return "a whole number from " + std::to_string(range->minimum) + " to " + std::to_string(range->maximum);
    }
    if (G_IS_PARAM_SPEC_INT(spec)) {
        const GParamSpecInt* range = G_PARAM_SPEC_INT(spec);
        return "a whole number from " + std::to_string(range->minimum) + " to " + std::to_string(range->maximum);
    }
    if (G_IS_PARAM_SPEC_DOUBLE(spec)) {
        const GParamSpecDouble* range = G_PARAM_SPEC_DOUBLE(spec);
        char text[64];
        std::snprintf(text, sizeof text, "a number from %g to %g", range->minimum, range->maximum);
        return text;
    }
    return std::string("a value of type ") + g_type_name(G_PARAM_SPEC_VALUE_TYPE(spec));
}

// A value that only the element can judge (the keys' text) is refused
// with a warning of GLib's, the element's own words.
void SetCheckingWarnings(GObject* element, const std::string& name, const GValue* value,
                         std::vector<std::string>& refused) {
    const guint handler = g_log_set_handler(
        nullptr, G_LOG_LEVEL_WARNING,
        [](const gchar*, GLogLevelFlags, const gchar* text, gpointer into) {
            std::string sentence = text;
            const std::string prefix = std::string(kElement) + ": ";
            if (sentence.rfind(prefix, 0) == 0) sentence.erase(0, prefix.size());
            static_cast<std::vector<std::string>*>(into)->push_back(sentence);
        },
        &refused);
    g_object_set_property(element, name.c_str(), value);
    g_log_remove_handler(nullptr, handler);
}

}  // namespace

std::vector<std::string> SetProperties(GObject* element, char** settings, int count) {
    std::vector<std::string> refused;
    for (int i = 0; i < count; ++i) {
        const std::string setting = settings[i];
        const size_t equals = setting.find('=');
        const std::string name = setting.substr(0, equals);
        const char* text = equals == std::string::npos ? "" : settings[i] + equals + 1;
        GParamSpec* spec = g_object_class_find_property(G_OBJECT_GET_CLASS(element), name.c_str());
        if (equals == std::string::npos) {
            refused.push_back("not a property=value: " + setting);
        } else if (!spec || !Settable(spec)) {
            refused.push_back(kElement + std::string(" has no property \"") + name + "\"; the nearest: " +
                              Nearest(element, name) + " (gst-inspect-1.0 " + kElement + " lists them all)");
        } else {
            GValue value = G_VALUE_INIT;
            g_value_init(&value, G_PARAM_SPEC_VALUE_TYPE(spec));
            if (!gst_value_deserialize_with_pspec(&value, text, spec) || g_param_value_validate(spec, &value))
                refused.push_back(name + "=" + text + " is refused: " + name + " takes " + Takes(spec));
            else
                SetCheckingWarnings(element, name, &value, refused);
            g_value_unset(&value);
        }
    }
    return refused;
}
