#include "settings/settings_table.h"

#include <cctype>
#include <string>

std::string OptionNameOf(const SettingDescriptor& row) {
    std::string name;
    for (const char* c = row.key; *c; ++c) {
        if (std::isupper(static_cast<unsigned char>(*c)) && c != row.key) name.push_back('-');
        name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*c))));
    }
    return name;
}

void ApplyDefault(const SettingDescriptor& descriptor, SettingsRecord& record, Defaults which) {
    StoreValue(descriptor, DefaultValueOf(descriptor, which), record);
}

SettingValue ValueOf(const SettingDescriptor& row, const SettingsRecord& record) {
    // The row's accessor only locates the field; nothing is written here.
    const void* field = row.storage(const_cast<SettingsRecord&>(record));
    if (row.typeCode == kTypeText) return {0, *static_cast<const std::string*>(field)};
    return {ReadTypedNumber(row.typeCode, field), {}};
}

void StoreValue(const SettingDescriptor& row, const SettingValue& value, SettingsRecord& record) {
    void* field = row.storage(record);
    if (row.typeCode == kTypeText)
        *static_cast<std::string*>(field) = value.text;
    else
        StoreTypedNumber(row.typeCode, static_cast<uint64_t>(value.number), field);
}

SettingValue DefaultValueOf(const SettingDescriptor& row, Defaults which) {
    if (row.typeCode == kTypeText) return {0, row.defaultText};
    return {which == Defaults::kFresh ? row.freshDefault : row.defaultValue, {}};
}
