#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// The rows of one result, held as the engine delivered them and packed tight:
// each row is one run of bytes in a large block, every cell a short length
// prefix (which also marks a null) followed by its UTF-8 bytes. Text is made
// only when a cell is read, so taking a result of a hundred thousand rows
// costs little more than its text.
class RowSnapshot {
public:
    struct Cell {
        const char* data = nullptr; // may be null for an empty or null cell
        std::size_t size = 0;
        bool null = false;
    };

    explicit RowSnapshot(int columnCount = 0) : columnCount_(columnCount) {}

    // Drops every row but keeps the storage for the rows that follow, so the
    // snapshot holds at most what its largest result needed.
    void Reset(int columnCount);

    // Copies one row; cells.size() must equal ColumnCount().
    void AppendRow(std::span<const Cell> cells);
    // Drops a row from the visible rows; the rows after it move up by one.
    void RemoveRow(int row);

    int ColumnCount() const { return columnCount_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }

    // row and column must be in range. A null cell reads as empty.
    std::string_view Bytes(int row, int column) const;
    bool IsNull(int row, int column) const;
    QString Text(int row, int column) const;

    // Bytes held for the cells and the row index.
    std::size_t MemoryUsed() const;

private:
    // Where a row starts: its block's index above the offset's 21 bits. A
    // row that fills a block of its own starts at offset 0.
    using RowRef = std::uint32_t;
    struct Block {
        std::unique_ptr<char[]> data;
        std::size_t size;
    };
    struct CellRef {
        const char* data;
        std::size_t size;
        bool null;
    };
    bool Started() const { return blockUsed_ > 0 || !rows_.empty(); }
    std::size_t Room(std::size_t block) const;
    char* Reserve(std::size_t bytes, RowRef& where);
    const char* RowStart(int row) const;
    CellRef Find(int row, int column) const;

    static constexpr int OffsetBits = 21;
    static constexpr std::size_t BlockSize = std::size_t{1} << OffsetBits;
    static constexpr std::size_t MaxBlocks = std::size_t{1} << (32 - OffsetBits);

    int columnCount_ = 0;
    std::vector<Block> blocks_;
    std::size_t current_ = 0;   // the block being filled, when there is one
    std::size_t blockUsed_ = 0; // bytes used in it
    std::vector<RowRef> rows_;  // visible rows in order
};
