#include "store/RowSnapshot.h"

#include "store/engine/DatabaseError.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// A cell's prefix is 0 for a null and its size + 1 otherwise, seven bits to
// a byte, low bits first; the high bit says another byte follows. Short cells,
// nearly all of them, take one byte.
std::size_t PrefixLength(std::uint64_t value)
{
    std::size_t length = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++length;
    }
    return length;
}

char* WritePrefix(char* out, std::uint64_t value)
{
    while (value >= 0x80) {
        *out++ = static_cast<char>((value & 0x7f) | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<char>(value);
    return out;
}

const char* ReadPrefix(const char* in, std::uint64_t& value)
{
    value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*in++);
        value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return in;
    }
}

std::uint64_t PrefixValue(const RowSnapshot::Cell& cell) { return cell.null ? 0 : cell.size + 1; }

} // namespace

void RowSnapshot::Reset(int columnCount)
{
    columnCount_ = columnCount;
    rows_.clear();
    current_ = 0;
    blockUsed_ = 0;
}

std::size_t RowSnapshot::Room(std::size_t block) const
{
    // Rows start within the first BlockSize bytes, so that their offsets fit;
    // a larger block holds one row alone.
    if (block >= blocks_.size())
        return 0;
    return blockUsed_ == 0 ? blocks_[block].size : BlockSize - std::min(blockUsed_, BlockSize);
}

char* RowSnapshot::Reserve(std::size_t bytes, RowRef& where)
{
    if (Room(current_) < bytes) {
        // A row never straddles two blocks. The next block is reused when the
        // row fits into it; otherwise a new one (as large as the row, when
        // that is larger) goes in before the spare ones.
        const std::size_t next = Started() ? current_ + 1 : current_;
        if (next >= blocks_.size() || blocks_[next].size < bytes) {
            if (blocks_.size() >= MaxBlocks)
                throw EDatabaseError("The result is too large.");
            // Left unwritten, so that only the bytes the rows use count.
            const std::size_t size = std::max(BlockSize, bytes);
            blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(next),
                           Block{std::make_unique_for_overwrite<char[]>(size), size});
        }
        current_ = next;
        blockUsed_ = 0;
    }
    where = static_cast<RowRef>((current_ << OffsetBits) | blockUsed_);
    char* start = blocks_[current_].data.get() + blockUsed_;
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
        total += PrefixLength(PrefixValue(cell)) + cell.size;

    RowRef where{};
    char* out = Reserve(total, where);
    for (const Cell& cell : cells) {
        out = WritePrefix(out, PrefixValue(cell));
        if (cell.size)
            std::memcpy(out, cell.data, cell.size);
        out += cell.size;
    }
    rows_.push_back(where);
}

void RowSnapshot::RemoveRow(int row)
{
    assert(row >= 0 && row < RowCount());
    // The bytes stay in their block until the snapshot goes.
    rows_.erase(rows_.begin() + row);
}

const char* RowSnapshot::RowStart(int row) const
{
    const RowRef where = rows_[static_cast<std::size_t>(row)];
    return blocks_[where >> OffsetBits].data.get() + (where & (BlockSize - 1));
}

RowSnapshot::CellRef RowSnapshot::Find(int row, int column) const
{
    assert(row >= 0 && row < RowCount() && column >= 0 && column < columnCount_);
    const char* at = RowStart(row);
    std::uint64_t prefix = 0;
    for (int skipped = 0;; ++skipped) {
        at = ReadPrefix(at, prefix);
        const std::size_t size = prefix ? static_cast<std::size_t>(prefix - 1) : 0;
        if (skipped == column)
            return {at, size, prefix == 0};
        at += size;
    }
}

std::string_view RowSnapshot::Bytes(int row, int column) const
{
    const CellRef cell = Find(row, column);
    return {cell.data, cell.size};
}

bool RowSnapshot::IsNull(int row, int column) const { return Find(row, column).null; }

QString RowSnapshot::Text(int row, int column) const
{
    const std::string_view bytes = Bytes(row, column);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::size_t RowSnapshot::MemoryUsed() const
{
    std::size_t bytes = rows_.capacity() * sizeof(RowRef);
    for (const Block& block : blocks_)
        bytes += block.size;
    return bytes;
}
