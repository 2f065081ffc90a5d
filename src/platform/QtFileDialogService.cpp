#include "platform/FileDialogService.h"

#include <QDir>
#include <QFileDialog>

namespace platform {
namespace {

class QtFileDialogService final : public FileDialogService {
public:
    QString openFile(QWidget* parent, const FileDialogRequest& request) override
    {
        QFileDialog dialog(parent, request.caption, request.folder, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        return Chosen(dialog);
    }

    QString saveFile(QWidget* parent, const FileDialogRequest& request) override
    {
        QFileDialog dialog(parent, request.caption, request.folder, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.suffix);
        if (!request.suggestedName.isEmpty())
            dialog.selectFile(QDir(request.folder).filePath(request.suggestedName));
        return Chosen(dialog);
    }

private:
    static QString Chosen(QFileDialog& dialog)
    {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        return dialog.selectedFiles().constFirst();
    }
};

} // namespace

template <>
FileDialogService& Service<FileDialogService>::defaultInstance()
{
    static QtFileDialogService service;
    return service;
}

} // namespace platform
