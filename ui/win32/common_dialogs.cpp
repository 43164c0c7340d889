#include "ui/win32/common_dialogs.h"

CommonDialogs commonDialogs = {ChooseFontA, ChooseColorA, GetOpenFileNameA, MessageBoxA};
