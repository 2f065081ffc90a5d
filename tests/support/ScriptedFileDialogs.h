#pragma once

#include "platform/FileDialogService.h"

#include <QString>

#include <deque>
#include <vector>

// File-dialog double: records every dialog the program opens and answers it
// from a script instead of waiting for a user. An unscripted dialog is
// cancelled. Installed for its own lifetime.
class ScriptedFileDialogs final : public platform::FileDialogService {
public:
    ScriptedFileDialogs() : override_(*this) {}

    // Answers the next dialogs in order; an empty path cancels.
    void answer(const QString& path) { script_.push_back(path); }

    struct Shown {
        bool saving = false;
        platform::FileDialogRequest request;
    };
    const std::vector<Shown>& shown() const { return shown_; }

    QString openFile(QWidget*, const platform::FileDialogRequest& request) override { return Next(false, request); }
    QString saveFile(QWidget*, const platform::FileDialogRequest& request) override { return Next(true, request); }

private:
    QString Next(bool saving, const platform::FileDialogRequest& request)
    {
        shown_.push_back({saving, request});
        if (script_.empty())
            return {};
        QString path = script_.front();
        script_.pop_front();
        return path;
    }

    platform::Service<platform::FileDialogService>::Override override_;
    std::deque<QString> script_;
    std::vector<Shown> shown_;
};
