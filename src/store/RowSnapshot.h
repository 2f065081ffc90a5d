#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// The rows of one result, held as the engine delivered them: UTF-8 bytes of
// every cell packed row by row into large blocks, one end offset per cell and
// a null flag. Text is made only when a cell is read, so taking a result of a
// hundred thousand rows costs little more than reading it.
class RowSnapshot {
public:
    struct Cell {
        const char* data = nullptr; // may be null for an empty or null cell
        std::size_t size = 0;
        bool null = false;
    };

    explicit RowSnapshot(int columnCount = 0) : columnCount_(columnCount) {}

    // Copies one row; cells.size() must equal ColumnCount().
    void AppendRow(std::span<const Cell> cells);
    // Drops a row from the visible rows; the rows after it move up by one.
    void RemoveRow(int row);

    int ColumnCount() const { return columnCount_; }
    int RowCount() const { return static_cast<int>(order_.size()); }

    // row and column must be in range. A null cell reads as empty.
    std::string_view Bytes(int row, int column) const;
    bool IsNull(int row, int column) const;
    QString Text(int row, int column) const;

    // Bytes held for the cells, their index and the row order.
    std::size_t MemoryUsed() const;

private:
    struct RowRef {
        std::uint32_t block;
        std::uint32_t offset;
    };
    char* Reserve(std::size_t bytes, RowRef& where);
    std::size_t CellIndex(int row, int column) const;

    static constexpr std::size_t BlockSize = std::size_t{1} << 20;

    int columnCount_ = 0;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t blockUsed_ = 0;
    std::size_t blockCapacity_ = 0;
    std::size_t blockBytes_ = 0;
    std::vector<RowRef> rows_;             // per stored row
    std::vector<std::uint32_t> cellEnds_; // per cell, relative to its row's start
    std::vector<bool> nulls_;             // per cell
    std::vector<std::uint32_t> order_;    // visible row -> stored row
};
