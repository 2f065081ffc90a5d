#include "store/RowSnapshot.h"

#include "store/DatabaseError.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>

char* RowSnapshot::Reserve(std::size_t bytes, RowRef& where)
{
    if (blocks_.empty() || blockCapacity_ - blockUsed_ < bytes) {
        // A row never straddles two blocks; an oversized row gets a block of its own.
        const std::size_t capacity = std::max(BlockSize, bytes);
        if (blocks_.size() >= std::numeric_limits<std::uint32_t>::max())
            throw EDatabaseError("The result is too large.");
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(capacity));
        blockCapacity_ = capacity;
        blockUsed_ = 0;
        blockBytes_ += capacity;
    }
    where.block = static_cast<std::uint32_t>(blocks_.size() - 1);
    where.offset = static_cast<std::uint32_t>(blockUsed_);
    char* start = blocks_.back().get() + blockUsed_;
    blockUsed_ += bytes;
    return start;
}

void RowSnapshot::AppendRow(std::span<const Cell> cells)
{
    assert(static_cast<int>(cells.size()) == columnCount_);
    if (rows_.size() >= std::numeric_limits<std::uint32_t>::max())
        throw EDatabaseError("The result is too large.");
    std::size_t total = 0;
    for (const Cell& cell : cells)
        total += cell.size;
    if (total > std::numeric_limits<std::uint32_t>::max())
        throw EDatabaseError("A row of the result is too large.");

    RowRef where{};
    char* out = Reserve(total, where);
    std::uint32_t end = 0;
    for (const Cell& cell : cells) {
        if (cell.size)
            std::memcpy(out + end, cell.data, cell.size);
        end += static_cast<std::uint32_t>(cell.size);
        cellEnds_.push_back(end);
        nulls_.push_back(cell.null);
    }
    order_.push_back(static_cast<std::uint32_t>(rows_.size()));
    rows_.push_back(where);
}

void RowSnapshot::RemoveRow(int row)
{
    assert(row >= 0 && row < RowCount());
    // The bytes stay in their block until the snapshot goes; only the order changes.
    order_.erase(order_.begin() + row);
}

std::size_t RowSnapshot::CellIndex(int row, int column) const
{
    assert(row >= 0 && row < RowCount() && column >= 0 && column < columnCount_);
    return std::size_t{order_[static_cast<std::size_t>(row)]} * static_cast<std::size_t>(columnCount_)
        + static_cast<std::size_t>(column);
}

std::string_view RowSnapshot::Bytes(int row, int column) const
{
    const std::size_t cell = CellIndex(row, column);
    const RowRef where = rows_[order_[static_cast<std::size_t>(row)]];
    const std::uint32_t begin = column == 0 ? 0 : cellEnds_[cell - 1];
    return {blocks_[where.block].get() + where.offset + begin, cellEnds_[cell] - begin};
}

bool RowSnapshot::IsNull(int row, int column) const { return nulls_[CellIndex(row, column)]; }

QString RowSnapshot::Text(int row, int column) const
{
    const std::string_view bytes = Bytes(row, column);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::size_t RowSnapshot::MemoryUsed() const
{
    return blockBytes_ + rows_.capacity() * sizeof(RowRef) + cellEnds_.capacity() * sizeof(std::uint32_t)
        + nulls_.capacity() / 8 + order_.capacity() * sizeof(std::uint32_t);
}
