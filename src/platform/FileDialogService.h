#pragma once

#include "platform/Service.h"

#include <QString>

class QWidget;

namespace platform {

// One file dialog as the program asks for it.
struct FileDialogRequest {
    QString caption;
    QString folder;        // where the dialog opens
    QString suggestedName; // the name offered when saving
    QString filter;        // e.g. "表格文件 (*.csv)"
    QString suffix;        // added to a saved name typed without one
};

// The desktop's modal dialogs for choosing a file to read or a name to write.
// Each answers the chosen absolute path, or an empty text when the user
// cancelled.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    virtual QString openFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // Asks before an existing file is replaced.
    virtual QString saveFile(QWidget* parent, const FileDialogRequest& request) = 0;
};

inline FileDialogService& fileDialogs() { return Service<FileDialogService>::get(); }

} // namespace platform
