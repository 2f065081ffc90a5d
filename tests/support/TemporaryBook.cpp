#include "support/TemporaryBook.h"

#include "store/DatabaseConstants.h"
#include "store/DeliveredDatabase.h"
#include "transfer/BookDatabase.h"
#include "transfer/TransferJobs.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace transfer;

TemporaryBook::TemporaryBook()
{
    store::CreateDeliveredDatabase(folder_.path());
    db_ = OpenBook(ConnectionString());
}

void TemporaryBook::Clear() { store::Execute(db_.get(), "delete from data"); }

QString TemporaryBook::ConnectionString() const { return store::ProgramConnectionString(Folder()); }

void TemporaryBook::AddRecords(const std::vector<Record>& records)
{
    RecordAppender appender(db_.get());
    for (const Record& record : records)
        appender.Append(record);
    appender.Commit();
}

std::vector<Record> TemporaryBook::Book() const
{
    RecordCursor cursor(db_.get());
    std::vector<Record> records;
    RecordView view;
    while (cursor.Next(view)) {
        Record& record = records.emplace_back();
        for (int column = 0; column < col::Count; ++column)
            record[column] = view[column];
    }
    return records;
}

std::vector<Record> TemporaryBook::BookWithoutNumbers() const
{
    std::vector<Record> records = Book();
    for (Record& record : records)
        record[col::Number].clear();
    return records;
}

int TemporaryBook::ExportTo(Format format, const QString& path)
{
    ExportJob job(db_.get(), format, path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    while (job.Step(7)) {
    }
    job.Finish();
    return job.Written();
}

std::string TemporaryBook::ExportedBytes(Format format)
{
    const QString path = Folder() + QStringLiteral("export");
    ExportTo(format, path);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll().toStdString();
}

int TemporaryBook::Import(Format format, const std::string& bytes, std::vector<std::string>* ignored, RepairLog* repairs)
{
    ImportJob job(db_.get(), OpenRecordSource(format, bytes));
    while (job.Step(7)) {
    }
    job.Finish();
    if (ignored)
        *ignored = job.IgnoredNames();
    if (repairs)
        *repairs = job.Repairs();
    return job.Imported();
}

Record MakeRecord(std::vector<std::string> fields)
{
    Record record;
    for (std::size_t i = 0; i < fields.size() && i + 1 < record.size(); ++i)
        record[i + 1] = std::move(fields[i]);
    return record;
}
