// The named values of the settings that choose one of a few things. The
// fields hold whatever number the file gave them; these are the numbers
// that mean something, and the code compares the fields with them.
#pragma once

#include <cstdint>

// DicType: where the captions come from.
enum WordSource : int32_t {
    kBuiltinWords = 0,
    kWordList = 1,
};

// BackType: what is drawn behind the letters.
enum Background : int32_t {
    kBackgroundNone = 0,
    kBackgroundBox = 1,
    kBackgroundWholeFrame = 2,
};

// RulesType: the order in which the entries come.
enum WordOrder : int32_t {
    kOrderAtoZ = 0,
    kOrderZtoA = 1,
    kOrderRandom = 2,
};
