// Thin wrappers over a dialog's controls: a window handle bound once at
// initialisation and the few messages the settings dialog sends. Text is
// UTF-8 (paths, the font name, the entries), which goes through the
// wide-character messages.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/win32/settings_dialog_controls.h"

// An id that kDialogControls lists with the kind Kind. Any other id does not
// compile: the throw cannot be evaluated at compile time.
template <ControlKind Kind>
struct ControlId {
    consteval ControlId(int id) : value(id) {
        const DialogControl* control = FindDialogControl(id);
        if (!control || control->kind != Kind) throw "the id is not in kDialogControls with this kind";
    }
    int value;
};

class Control {
public:
    HWND window() const { return window_; }
    void Enable(bool enabled) const;
    // The same as UTF-8.
    std::string UnicodeText() const;
    void SetUnicodeText(const std::string& text) const;
    // Invalidate, erase and repaint at once.
    void Repaint() const;

protected:
    void BindItem(HWND dialog, int id);

    HWND window_ = nullptr;
};

// What every kind of button answers to.
class Button : public Control {
public:
    bool Checked() const;
    void SetChecked(bool checked) const;
};

template <ControlKind Kind>
class ButtonOf : public Button {
public:
    void Bind(HWND dialog, ControlId<Kind> id) { BindItem(dialog, id.value); }
};
using PushButton = ButtonOf<ControlKind::PushButton>;
using OwnerDrawButton = ButtonOf<ControlKind::OwnerDrawButton>;
using RadioButton = ButtonOf<ControlKind::RadioButton>;
using CheckBox = ButtonOf<ControlKind::CheckBox>;

class Edit : public Control {
public:
    void Bind(HWND dialog, ControlId<ControlKind::Edit> id) { BindItem(dialog, id.value); }
    // The text as a signed decimal number; 0 when it is not one.
    int32_t Number() const;
    void LimitText(int characters) const;
};

class Label : public Control {
public:
    void Bind(HWND dialog, ControlId<ControlKind::Text> id) { BindItem(dialog, id.value); }
};

class ListBox : public Control {
public:
    void Bind(HWND dialog, ControlId<ControlKind::ListBox> id) { BindItem(dialog, id.value); }
    void Clear() const;
    void Add(const std::string& utf8) const;
    // All the lines at once, in place of what it showed: drawn once, at the
    // end, with the room for them taken in one step.
    void Fill(const std::vector<std::string>& utf8) const;
    // One row, put before index or taken out.
    void Insert(int32_t index, const std::string& utf8) const;
    void Remove(int32_t index) const;
    int32_t Count() const;
    int32_t Selection() const;  // -1: none
    void Select(int32_t index) const;
    std::string ItemText(int32_t index) const;  // UTF-8
};

class UpDown : public Control {
public:
    void Bind(HWND dialog, ControlId<ControlKind::UpDown> id) { BindItem(dialog, id.value); }
    void SetBuddy(const Control& buddy) const;
    void SetRange(int lowest, int highest) const;
    // Only the low 16 bits of the value reach the control.
    void SetPosition(int32_t value) const;
};
