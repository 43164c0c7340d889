#include "ui/win32/controls.h"

#include <commctrl.h>

#include "platform/win32/wide_text.h"

void Control::BindItem(HWND dialog, int id) { window_ = GetDlgItem(dialog, id); }

void Control::Enable(bool enabled) const { EnableWindow(window_, enabled ? TRUE : FALSE); }

std::string Control::UnicodeText() const {
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), length + 1)));
    return Utf8FromWide(text);
}

void Control::SetUnicodeText(const std::string& text) const { SetWindowTextW(window_, WideFromUtf8(text).c_str()); }

void Control::Repaint() const { RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

bool Button::Checked() const { return SendMessageA(window_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Button::SetChecked(bool checked) const {
    SendMessageA(window_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int32_t Edit::Number() const {
    BOOL isNumber = FALSE;
    const UINT value = GetDlgItemInt(GetParent(window_), GetDlgCtrlID(window_), &isNumber, TRUE);
    return isNumber ? static_cast<int32_t>(value) : 0;
}

void Edit::LimitText(int characters) const { SendMessageA(window_, EM_LIMITTEXT, characters, 0); }

void ListBox::Clear() const { SendMessageA(window_, LB_RESETCONTENT, 0, 0); }

void ListBox::Add(const std::string& utf8) const {
    SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(utf8).c_str()));
}

void ListBox::Fill(const std::vector<std::string>& utf8) const {
    std::vector<std::wstring> lines;
    lines.reserve(utf8.size());
    size_t units = 0;
    for (const std::string& line : utf8) units += lines.emplace_back(WideFromUtf8(line)).size() + 1;
    // Without this, each line would update the scroll bar and repaint: a
    // list of 50,000 lines took minutes under Wine.
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    SendMessageW(window_, LB_INITSTORAGE, lines.size(), units * sizeof(wchar_t));
    for (const std::wstring& line : lines)
        SendMessageW(window_, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

void ListBox::Insert(int32_t index, const std::string& utf8) const {
    SendMessageW(window_, LB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(WideFromUtf8(utf8).c_str()));
}

void ListBox::Remove(int32_t index) const { SendMessageW(window_, LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

int32_t ListBox::Count() const { return static_cast<int32_t>(SendMessageA(window_, LB_GETCOUNT, 0, 0)); }

int32_t ListBox::Selection() const { return static_cast<int32_t>(SendMessageA(window_, LB_GETCURSEL, 0, 0)); }

void ListBox::Select(int32_t index) const { SendMessageA(window_, LB_SETCURSEL, index, 0); }

std::string ListBox::ItemText(int32_t index) const {
    const LRESULT length = SendMessageW(window_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(window_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return Utf8FromWide(text);
}

void UpDown::SetBuddy(const Control& buddy) const {
    SendMessageA(window_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy.window()), 0);
}

void UpDown::SetRange(int lowest, int highest) const {
    SendMessageA(window_, UDM_SETRANGE, 0, MAKELPARAM(highest, lowest));
}

void UpDown::SetPosition(int32_t value) const {
    SendMessageA(window_, UDM_SETPOS, 0, MAKELPARAM(static_cast<WORD>(value), 0));
}
