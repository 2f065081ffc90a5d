#pragma once

#include "platform/MessageWindow.h"
#include "platform/WindowMessages.h"

#include <memory>

// The program's access object for the system clipboard. Opens nest; the
// system clipboard is closed again when the last open is undone.
class TClipboard {
public:
    TClipboard() = default;
    virtual ~TClipboard();
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    // Raises "Cannot open clipboard" when another program holds it open.
    virtual void Open();
    virtual void Close();
    // Empties the system clipboard, whatever it holds.
    virtual void Clear();

    int OpenCount() const { return openCount_; }
    platform::WindowHandle OwnerWindow() const { return ownerWindow_; }

private:
    int openCount_ = 0;
    // The window that owns the clipboard while it is open: the application's
    // window, or a private hidden one when the application has none.
    platform::WindowHandle ownerWindow_ = platform::WindowHandle::None;
    std::unique_ptr<platform::MessageWindow> ownWindow_;
};

// The one clipboard object of the process, made at its first use.
TClipboard* ClipboardInstance();
// The program's final clean-up: destroys the object (a later call makes a new one).
void ReleaseClipboardInstance();
