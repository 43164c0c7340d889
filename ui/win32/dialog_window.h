// A modeless dialog as one object: the dialog procedure finds the object
// through the window and hands every message to its message table.
#pragma once

#include <windows.h>

#include <cstddef>

// One row of a message table. For WM_COMMAND the row also names the control
// id and the notification code (kAnyNotification: any); for other messages
// both are ignored.
template <class Dialog>
struct MessageEntry {
    UINT message;
    int controlId;
    int notification;
    void (Dialog::*handler)(WPARAM, LPARAM);
};

constexpr int kAnyNotification = -1;

template <class Dialog>
constexpr MessageEntry<Dialog> CommandRow(int id, int notification, void (Dialog::*handler)(WPARAM, LPARAM)) {
    return {WM_COMMAND, id, notification, handler};
}

template <class Dialog>
constexpr MessageEntry<Dialog> MessageRow(UINT message, void (Dialog::*handler)(WPARAM, LPARAM)) {
    return {message, 0, 0, handler};
}

// Runs the first row that matches; false when none does.
template <class Dialog, size_t N>
bool DispatchMessageTable(Dialog& dialog, const MessageEntry<Dialog> (&table)[N], UINT message, WPARAM wParam,
                          LPARAM lParam) {
    for (const MessageEntry<Dialog>& entry : table) {
        if (entry.message != message) continue;
        if (message == WM_COMMAND && (entry.controlId != LOWORD(wParam) ||
                                      (entry.notification != kAnyNotification && entry.notification != HIWORD(wParam))))
            continue;
        (dialog.*entry.handler)(wParam, lParam);
        return true;
    }
    return false;
}

class DialogWindow {
public:
    DialogWindow() = default;
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    HWND window() const { return window_; }

    // Creates the window from a template; WM_INITDIALOG reaches OnInitDialog
    // before this returns. False when the window could not be made.
    bool Create(HINSTANCE module, int templateId, HWND owner);
    void Destroy();

protected:
    virtual ~DialogWindow() = default;

    // The result of WM_INITDIALOG: nonzero lets the system set the focus.
    virtual BOOL OnInitDialog() = 0;
    // True when the message was handled.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // After the window is gone (WM_NCDESTROY).
    virtual void OnFinalRelease() {}

    HWND Item(int id) const { return GetDlgItem(window_, id); }

private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};
