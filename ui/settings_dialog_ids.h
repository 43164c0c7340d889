// Control ids of dialog template 5000, shared by the .rc file and the code.
#pragma once

#define IDD_SETTINGS 5000

#define IDC_OK 5002
#define IDC_DEFAULTS 5003
#define IDC_CANCEL 5103

// Position pad: arrows (Marlett "3" "4" "5" "6") and presets ("h").
#define IDC_ARROW_LEFT 5082
#define IDC_ARROW_RIGHT 5083
#define IDC_ARROW_UP 5084
#define IDC_ARROW_DOWN 5085
#define IDC_PRESET_TOP_LEFT 5107
#define IDC_PRESET_BOTTOM_LEFT 5108
#define IDC_PRESET_TOP_RIGHT 5109
#define IDC_PRESET_BOTTOM_RIGHT 5110
#define IDC_PRESET_CENTRE 5111
#define IDC_RANDOM_POSITION 5130

// Text group.
#define IDC_FONT 5094
#define IDC_TEXT_COLOR 5095
#define IDC_BACK_COLOR 5096
#define IDC_TRANSPARENCY 5089
#define IDC_TRANSPARENCY_SPIN 5090

// Background type, display time and frequency, order of the words.
#define IDC_BACK_NONE 5114
#define IDC_BACK_AROUND 5115
#define IDC_BACK_SCREEN 5120
#define IDC_TIME_FROM 5093
#define IDC_TIME_FROM_SPIN 5099
#define IDC_TIME_TO 5100
#define IDC_TIME_TO_SPIN 5104
#define IDC_FREQ_FROM 5105
#define IDC_FREQ_FROM_SPIN 5106
#define IDC_FREQ_TO 5117
#define IDC_FREQ_TO_SPIN 5118
#define IDC_RULES_AZ 5121
#define IDC_RULES_ZA 5122
#define IDC_RULES_RANDOM 5123

// Dictionary group.
#define IDC_DIC_BUILTIN 5124
#define IDC_DIC_ALTERNATIVE 5125
#define IDC_DIC_FILE 5132
#define IDC_DIC_CHOOSE 5097
#define IDC_ENTRY_LIST 5113
#define IDC_WORD 5133
#define IDC_ENTRY_ADD 5126
#define IDC_ENTRY_CHANGE 5127
#define IDC_ENTRY_DELETE 5128

// Letters' look.
#define IDC_OUTLINE_WIDTH 5140
#define IDC_OUTLINE_WIDTH_SPIN 5141
#define IDC_OUTLINE_COLOR 5142
#define IDC_SHADOW_OFFSET 5143
#define IDC_SHADOW_OFFSET_SPIN 5144
#define IDC_SHADOW_COLOR 5145
#define IDC_BOX_PADDING 5146
#define IDC_BOX_PADDING_SPIN 5147
#define IDC_KEEP_PROPORTIONS 5148
#define IDC_LEGIBILITY_WARNING 5149

// What the settings file held that set nothing.
#define IDC_STATUS 5150
