#pragma once

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

private:
    int openCount_ = 0;
};

// The one clipboard object of the process, made at its first use.
TClipboard* ClipboardInstance();
// The program's final clean-up: destroys the object (a later call makes a new one).
void ReleaseClipboardInstance();
