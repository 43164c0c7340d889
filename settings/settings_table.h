// The option table: one row per setting (key, type code, storage, default).
// Reading and writing the settings file walk it from first row to last.
#pragma once

#include <cstdint>

#include "settings/typed_value.h"

struct SettingDescriptor {
    int32_t typeCode;
    const char* key;           // compared case-sensitively in the file
    void* storage;             // the field of storedSettings
    int64_t defaultValue;      // numeric codes take its low 8, 16 or 32 bits
    const char* defaultText;   // code 12 only
};

constexpr int kSettingCount = 23;
extern const SettingDescriptor settingsTable[kSettingCount];

// Puts the row's default into the field it points to.
void ApplyDefault(const SettingDescriptor& descriptor);
