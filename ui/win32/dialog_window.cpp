#include "ui/win32/dialog_window.h"

// A Unicode window, and so are its controls: their text is any language,
// whatever the system's ANSI code page.
bool DialogWindow::Create(HINSTANCE module, int templateId, HWND owner) {
    return CreateDialogParamW(module, MAKEINTRESOURCEW(templateId), owner, Procedure, reinterpret_cast<LPARAM>(this)) !=
           nullptr;
}

void DialogWindow::Destroy() {
    if (window_) DestroyWindow(window_);
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A handler's exception must not unwind through the system's frames.
    try {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<DialogWindow*>(lParam);
            SetWindowLongPtrA(window, DWLP_USER, lParam);
            self->window_ = window;
            return self->OnInitDialog();
        }
        auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(window, DWLP_USER));
        if (!self) return FALSE;
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, DWLP_USER, 0);
            self->window_ = nullptr;
            self->OnFinalRelease();
            return FALSE;
        }
        return self->OnMessage(message, wParam, lParam) ? TRUE : FALSE;
    } catch (...) {
        return FALSE;
    }
}
