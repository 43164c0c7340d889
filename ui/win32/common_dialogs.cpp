#include "ui/win32/common_dialogs.h"

CommonDialogs SystemCommonDialogs() { return {ChooseFontA, ChooseColorA, GetOpenFileNameW, MessageBoxW}; }
