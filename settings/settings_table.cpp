#include "settings/settings_table.h"

#include <string>

void ApplyDefault(const SettingDescriptor& descriptor, SettingsRecord& record) {
    void* field = descriptor.storage(record);
    if (descriptor.typeCode == kTypeText)
        *static_cast<std::string*>(field) = descriptor.defaultText;
    else
        StoreTypedNumber(descriptor.typeCode, static_cast<uint64_t>(descriptor.defaultValue), field);
}
