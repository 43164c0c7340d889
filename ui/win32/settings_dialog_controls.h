// Every control of template 5000 that the code reaches by id, with what the
// code takes it for. The wrappers bind only ids listed here with their own
// kind, the message table only commands that such a control sends (both
// checked when they compile), and a test holds the template to the list.
#pragma once

#include "ui/settings_dialog_ids.h"

enum class ControlKind {
    PushButton,
    OwnerDrawButton,  // painted by the dialog on WM_DRAWITEM
    RadioButton,      // checked by the system when clicked: the handler reads its group
    CheckBox,         // the same, on its own
    Edit,
    ListBox,  // tells the dialog of selections and double clicks
    UpDown,   // writes its buddy edit's number, whose change stores the value
    Text,     // a static text the dialog writes
};

struct DialogControl {
    int id;
    ControlKind kind;
};

inline constexpr DialogControl kDialogControls[] = {
    {IDC_OK, ControlKind::PushButton},
    {IDC_DEFAULTS, ControlKind::PushButton},
    {IDC_CANCEL, ControlKind::PushButton},

    {IDC_ARROW_LEFT, ControlKind::PushButton},
    {IDC_ARROW_RIGHT, ControlKind::PushButton},
    {IDC_ARROW_UP, ControlKind::PushButton},
    {IDC_ARROW_DOWN, ControlKind::PushButton},
    {IDC_PRESET_TOP_LEFT, ControlKind::PushButton},
    {IDC_PRESET_BOTTOM_LEFT, ControlKind::PushButton},
    {IDC_PRESET_TOP_RIGHT, ControlKind::PushButton},
    {IDC_PRESET_BOTTOM_RIGHT, ControlKind::PushButton},
    {IDC_PRESET_CENTRE, ControlKind::PushButton},
    {IDC_RANDOM_POSITION, ControlKind::CheckBox},

    {IDC_FONT, ControlKind::PushButton},
    {IDC_TEXT_COLOR, ControlKind::OwnerDrawButton},
    {IDC_BACK_COLOR, ControlKind::OwnerDrawButton},
    {IDC_TRANSPARENCY, ControlKind::Edit},
    {IDC_TRANSPARENCY_SPIN, ControlKind::UpDown},

    {IDC_BACK_NONE, ControlKind::RadioButton},
    {IDC_BACK_AROUND, ControlKind::RadioButton},
    {IDC_BACK_SCREEN, ControlKind::RadioButton},
    {IDC_TIME_FROM, ControlKind::Edit},
    {IDC_TIME_FROM_SPIN, ControlKind::UpDown},
    {IDC_TIME_TO, ControlKind::Edit},
    {IDC_TIME_TO_SPIN, ControlKind::UpDown},
    {IDC_FREQ_FROM, ControlKind::Edit},
    {IDC_FREQ_FROM_SPIN, ControlKind::UpDown},
    {IDC_FREQ_TO, ControlKind::Edit},
    {IDC_FREQ_TO_SPIN, ControlKind::UpDown},
    {IDC_RULES_AZ, ControlKind::RadioButton},
    {IDC_RULES_ZA, ControlKind::RadioButton},
    {IDC_RULES_RANDOM, ControlKind::RadioButton},

    {IDC_DIC_BUILTIN, ControlKind::RadioButton},
    {IDC_DIC_ALTERNATIVE, ControlKind::RadioButton},
    {IDC_DIC_FILE, ControlKind::Edit},
    {IDC_DIC_CHOOSE, ControlKind::PushButton},
    {IDC_ENTRY_LIST, ControlKind::ListBox},
    {IDC_WORD, ControlKind::Edit},
    {IDC_ENTRY_ADD, ControlKind::PushButton},
    {IDC_ENTRY_CHANGE, ControlKind::PushButton},
    {IDC_ENTRY_DELETE, ControlKind::PushButton},

    {IDC_OUTLINE_WIDTH, ControlKind::Edit},
    {IDC_OUTLINE_WIDTH_SPIN, ControlKind::UpDown},
    {IDC_OUTLINE_COLOR, ControlKind::OwnerDrawButton},
    {IDC_SHADOW_OFFSET, ControlKind::Edit},
    {IDC_SHADOW_OFFSET_SPIN, ControlKind::UpDown},
    {IDC_SHADOW_COLOR, ControlKind::OwnerDrawButton},
    {IDC_BOX_PADDING, ControlKind::Edit},
    {IDC_BOX_PADDING_SPIN, ControlKind::UpDown},
    {IDC_KEEP_PROPORTIONS, ControlKind::CheckBox},
    {IDC_LEGIBILITY_WARNING, ControlKind::Text},
    {IDC_STATUS, ControlKind::Text},
};

// The listed control of that id; null for none.
constexpr const DialogControl* FindDialogControl(int id) {
    for (const DialogControl& control : kDialogControls)
        if (control.id == id) return &control;
    return nullptr;
}
