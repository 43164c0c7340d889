// Prints the table of every setting, in Markdown, from the rows of the
// settings table: scripts/settings-table.sh puts it into docs/settings.md,
// and a test checks that the page says what the rows say.
#include <cstdio>
#include <limits>
#include <string>

#include "settings/settings_table.h"

namespace {

std::string Code(const std::string& text) { return "`" + text + "`"; }

std::string Hex(int64_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06llX", static_cast<unsigned long long>(value));
    return text;
}

std::string UnitAndRange(const SettingDescriptor& row) {
    const SettingRange& range = row.range;
    switch (row.kind) {
        case SettingKind::kFlag: return "0 or 1";
        case SettingKind::kColour: return "colour, `0x00BBGGRR`";
        case SettingKind::kText: return row.unit;
        case SettingKind::kChoice: {
            std::string values;
            for (const NamedValue& choice : row.choices)
                values += (values.empty() ? "" : "; ") + std::to_string(choice.value) + " " + Code(choice.nick) + ": " +
                          choice.description;
            return values;
        }
        case SettingKind::kNumber: break;
    }
    const std::string upTo = range.maximum == std::numeric_limits<int32_t>::max()
                                 ? " and up"
                                 : " to " + std::to_string(range.maximum);
    return std::string(row.unit) + ", " + std::to_string(range.minimum) + upTo;
}

std::string DefaultText(const SettingDescriptor& row, int64_t value) {
    switch (row.kind) {
        case SettingKind::kText: return *row.defaultText ? row.defaultText : "empty";
        case SettingKind::kColour: return std::to_string(value) + " (" + Hex(value) + ")";
        case SettingKind::kChoice:
            for (const NamedValue& choice : row.choices)
                if (choice.value == value) return std::to_string(value) + " (" + Code(choice.nick) + ")";
            break;
        default: break;
    }
    return std::to_string(value);
}

// The element's own start, where it differs, follows the host's default.
std::string Default(const SettingDescriptor& row) {
    std::string text = DefaultText(row, row.defaultValue);
    if (row.kind != SettingKind::kText && row.freshDefault != row.defaultValue)
        text += "; element: " + DefaultText(row, row.freshDefault);
    return text;
}

}  // namespace

int main() {
    std::printf("| Key (property) | What it does | Unit and range | Default |\n");
    std::printf("| --- | --- | --- | --- |\n");
    for (const SettingDescriptor& row : settingsTable)
        std::printf("| %s (%s) | %s | %s | %s |\n", Code(row.key).c_str(), Code(OptionNameOf(row)).c_str(),
                    row.description, UnitAndRange(row).c_str(), Default(row).c_str());
    return 0;
}
