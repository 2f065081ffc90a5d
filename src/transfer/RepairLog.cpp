#include "transfer/RepairLog.h"

namespace transfer {

void RepairLog::Add(int line, std::string what)
{
    if (entries_.size() < Kept)
        entries_.push_back({line, std::move(what)});
    ++count_;
}

void RepairLog::Append(const RepairLog& other)
{
    for (const Repair& repair : other.entries_)
        if (entries_.size() < Kept)
            entries_.push_back(repair);
    count_ += other.count_;
}

} // namespace transfer
