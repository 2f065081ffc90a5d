#include "transfer/TransferJobs.h"

#include <algorithm>

namespace transfer {
namespace {

// Written to the file whenever this much has gathered.
constexpr std::size_t FlushSize = std::size_t{1} << 20;

} // namespace

ExportJob::ExportJob(sqlite3* db, Format format, const QString& path, QFileDevice::Permissions permissions)
    : cursor_(db), sink_(MakeRecordSink(format)), file_(path, permissions)
{
    sink_->Begin(buffer_);
}

bool ExportJob::Step(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!cursor_.Next(record_)) {
            file_.Write(buffer_);
            buffer_.clear();
            return false;
        }
        sink_->Append(buffer_, record_);
        ++written_;
        if (buffer_.size() >= FlushSize) {
            file_.Write(buffer_);
            buffer_.clear();
        }
    }
    return true;
}

void ExportJob::Finish() { file_.Commit(); }

double ExportJob::Progress() const
{
    return cursor_.Count() == 0 ? 1.0 : std::min(1.0, static_cast<double>(written_) / cursor_.Count());
}

ImportJob::ImportJob(sqlite3* db, std::unique_ptr<RecordSource> source, const std::vector<bool>* leaveOut)
    : source_(std::move(source)), appender_(db), leaveOut_(leaveOut ? *leaveOut : std::vector<bool>())
{
}

bool ImportJob::Step(int count)
{
    for (int i = 0; i < count; ++i) {
        if (!source_->Next(record_))
            return false;
        if (read_ < leaveOut_.size() && leaveOut_[read_++]) {
            ++skipped_;
            continue;
        }
        appender_.Append(record_);
        ++imported_;
        const std::string& category = record_[col::Category];
        if (!category.empty() && knownCategories_.insert(category).second)
            categories_.push_back(category);
    }
    return true;
}

void ImportJob::Finish() { appender_.Commit(); }

DuplicateIndex IndexBook(sqlite3* db)
{
    DuplicateIndex index;
    RecordCursor cursor(db);
    RecordView record;
    while (cursor.Next(record))
        index.Add(record);
    return index;
}

} // namespace transfer
