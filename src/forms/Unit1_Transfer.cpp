// The settings page's import and export: every record out to a table (CSV)
// or to business cards (vCard), and records from such files appended to the
// book. Both run on a thread of their own under a progress dialog that can
// cancel them.
#include "forms/Unit1.h"

#include "forms/ImportPreviewDialog.h"
#include "forms/TransferProgress.h"
#include "platform/FileDialogService.h"
#include "runtime/Application.h"
#include "runtime/Dialogs.h"
#include "store/ADOConnection.h"
#include "store/BookFiles.h"
#include "transfer/FileFormatError.h"
#include "transfer/ImportFile.h"
#include "transfer/ImportPreview.h"
#include "transfer/TransferJobs.h"
#include "ui/ComboItems.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QStandardPaths>

#include <memory>

namespace {

// No more ignored names than this are listed after an import.
constexpr int IgnoredNamesShown = 12;

struct FormatTexts {
    QString filter;
    QString suffix;
    QString ignoredKind; // what the format calls the parts that an import skips
};

FormatTexts TextsOf(transfer::Format format)
{
    if (format == transfer::Format::Csv)
        return {QStringLiteral("表格文件 (*.csv);;所有文件 (*)"), QStringLiteral("csv"), QStringLiteral("列")};
    return {QStringLiteral("名片文件 (*.vcf *.vcard);;所有文件 (*)"), QStringLiteral("vcf"), QStringLiteral("属性")};
}

platform::FileDialogRequest DialogRequest(transfer::Format format, const QString& caption)
{
    const FormatTexts texts = TextsOf(format);
    platform::FileDialogRequest request;
    request.caption = caption;
    request.folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (request.folder.isEmpty() || !QFileInfo(request.folder).isDir())
        request.folder = QDir::homePath();
    request.suggestedName = QStringLiteral("通讯录.") + texts.suffix;
    request.filter = texts.filter;
    request.suffix = texts.suffix;
    return request;
}

// A file that is not imported at all, and why.
void ShowRefusal(const std::exception& error)
{
    ShowMessage(QStringLiteral("导入失败, 没有写入任何记录.\n") + QString::fromUtf8(error.what()));
}

QStringList ToQStrings(const std::vector<std::string>& texts)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts)
        list << QString::fromStdString(text);
    return list;
}

// "\n未导入的列: A, B" for what the file held beyond the book's fields.
QString IgnoredNote(transfer::Format format, const QStringList& names)
{
    if (names.isEmpty())
        return {};
    QString listed = names.mid(0, IgnoredNamesShown).join(QStringLiteral(", "));
    if (names.size() > IgnoredNamesShown)
        listed += QStringLiteral(" 等");
    return QStringLiteral("\n未导入的%1: %2").arg(TextsOf(format).ignoredKind, listed);
}

} // namespace

void TForm1::Button_ExportCsvClick(QObject* /*Sender*/) { ExportRecords(transfer::Format::Csv); }

void TForm1::Button_ExportVCardClick(QObject* /*Sender*/) { ExportRecords(transfer::Format::VCard); }

void TForm1::Button_ImportCsvClick(QObject* /*Sender*/) { ImportRecords(transfer::Format::Csv); }

void TForm1::Button_ImportVCardClick(QObject* /*Sender*/) { ImportRecords(transfer::Format::VCard); }

void TForm1::ExportRecords(transfer::Format format)
{
    const QString path = platform::fileDialogs().saveFile(this, DialogRequest(format, QStringLiteral("导出到")));
    if (path.isEmpty())
        return;
    // The book's own files are never written over, whatever path leads to them.
    if (store::IsBookFile(path, Application->ProgramFolder())) {
        ShowMessage(QStringLiteral("不能导出到\"%1\": 它是通讯录本身的文件(数据库、日志、分类或备份), 没有写入任何内容.")
                        .arg(path));
        return;
    }
    const QString connection = ADOConnection1->ConnectionString;
    const store::SqliteDatabase db = transfer::OpenBook(connection);
    // The records leave the encrypted file as plain text: the copy is never
    // readable by more people than the database itself.
    transfer::ExportJob job(db.get(), format, path, QFileInfo(transfer::BookPath(connection)).permissions());
    if (!transfer::RunWithProgress(this, QStringLiteral("正在导出..."), [&] { return job.Step(transfer::RecordsPerStep); },
                                   [&] { return job.Progress(); }))
        return;
    job.Finish();
    ShowMessage(QStringLiteral("已导出%1条记录.").arg(job.Written()));
}

// The file is read and shown first; only what the user then accepts is written.
void TForm1::ImportRecords(transfer::Format format)
{
    const QString path = platform::fileDialogs().openFile(this, DialogRequest(format, QStringLiteral("导入")));
    if (path.isEmpty())
        return;
    int imported = 0;
    int skipped = 0;
    QStringList categories;
    QStringList ignored;
    try {
        const store::SqliteDatabase db = transfer::OpenBook(ADOConnection1->ConnectionString);
        std::unique_ptr<transfer::ImportPreview> preview;
        // From its first byte the file is read off the window's thread: it may be huge or endless.
        const auto read = [&](transfer::TaskControl& task) {
            task.Phase(0, 0.2);
            std::string bytes = transfer::ReadImportFile(path, &task);
            task.Phase(0.2, 0.25);
            transfer::DuplicateIndex book = transfer::IndexBook(db.get());
            task.Phase(0.25, 0.5);
            preview = std::make_unique<transfer::ImportPreview>(format, std::move(bytes), std::move(book), &task);
            task.Phase(0.5, 1);
            preview->Survey(&task);
        };
        if (!transfer::RunInBackground(this, QStringLiteral("正在读取..."), read) ||
            !ShowImportPreview(this, QFileInfo(path).fileName(), *preview))
            return;
        transfer::ImportJob job(db.get(), preview->ImportSource(), preview->LeaveOut());
        if (!transfer::RunWithProgress(this, QStringLiteral("正在导入..."), [&] { return job.Step(transfer::RecordsPerStep); },
                                       [&] { return job.Progress(); }))
            return; // the job takes back what it appended
        job.Finish();
        imported = job.Imported();
        skipped = job.Skipped();
        categories = ToQStrings(job.Categories());
        ignored = ToQStrings(job.IgnoredNames());
    } catch (const transfer::FileFormatError& error) {
        return ShowRefusal(error);
    } catch (const transfer::ImportFileError& error) {
        return ShowRefusal(error);
    }
    Button_RefreshClick(Button_Refresh);
    QString note;
    if (skipped > 0)
        note += QStringLiteral("\n跳过了%1条重复的记录.").arg(skipped);
    note += IgnoredNote(format, ignored);
    try {
        AddCategories(categories);
    } catch (const std::exception& error) {
        note += QStringLiteral("\n新的分类没能写入\"class.dat\": ") + QString::fromUtf8(error.what());
    }
    ShowMessage(QStringLiteral("已导入%1条记录.").arg(imported) + note);
}

void TForm1::AddCategories(const QStringList& categories)
{
    QStringList items = ItemsOf(Edit_FenLei);
    const qsizetype known = items.size();
    for (const QString& category : categories) {
        // "class.dat" holds one name per line: a name with a line break in it stays with its records only.
        const bool fitsOnALine = !category.contains(QLatin1Char('\n')) && !category.contains(QLatin1Char('\r'));
        if (fitsOnALine && !items.contains(category, Qt::CaseInsensitive))
            items << category;
    }
    if (items.size() == known)
        return;
    // The new names go after the existing ones, so a picked item stays picked.
    const int picked = pickedCategory_;
    ReplaceItemsKeepingText(Edit_FenLei, items);
    pickedCategory_ = picked;
    SaveCategoriesAndReloadFilter();
}
