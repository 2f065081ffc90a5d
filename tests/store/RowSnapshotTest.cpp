#include "store/RowSnapshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Value {
    std::string bytes;
    bool null = false;
};

RowSnapshot::Cell CellOf(const Value& value)
{
    return {value.bytes.data(), value.bytes.size(), value.null};
}

// Every length class of the cell prefix (one to three bytes and beyond), empty
// and null cells, multi-byte text and a row larger than a storage block.
const std::vector<std::vector<Value>> Rows = {
    {{"1"}, {"网站帐号"}, {"张伟"}},
    {{""}, {"", true}, {"第一行\r\n第二行"}},
    {{std::string(127, 'a')}, {std::string(128, 'b')}, {std::string(16383, 'c')}},
    {{std::string(16384, 'd')}, {std::string(2'100'000, 'e')}, {"", true}},
    {{"last"}, {"行"}, {std::string(1, '\0')}},
};

void Fill(RowSnapshot& snapshot, const std::vector<std::vector<Value>>& rows)
{
    for (const auto& row : rows) {
        std::vector<RowSnapshot::Cell> cells;
        for (const Value& value : row)
            cells.push_back(CellOf(value));
        snapshot.AppendRow(cells);
    }
}

RowSnapshot Filled()
{
    RowSnapshot snapshot(3);
    Fill(snapshot, Rows);
    return snapshot;
}

void ExpectRow(const RowSnapshot& snapshot, int row, const std::vector<Value>& expected)
{
    for (int column = 0; column < 3; ++column) {
        const Value& value = expected[static_cast<std::size_t>(column)];
        EXPECT_EQ(snapshot.Bytes(row, column), value.null ? std::string() : value.bytes) << row << "," << column;
        EXPECT_EQ(snapshot.IsNull(row, column), value.null) << row << "," << column;
    }
}

} // namespace

TEST(RowSnapshotTest, EveryCellReadsBackAsStored)
{
    const RowSnapshot snapshot = Filled();
    ASSERT_EQ(snapshot.RowCount(), static_cast<int>(Rows.size()));
    for (int row = 0; row < snapshot.RowCount(); ++row)
        ExpectRow(snapshot, row, Rows[static_cast<std::size_t>(row)]);
    EXPECT_EQ(snapshot.Text(0, 1), QStringLiteral("网站帐号"));
    EXPECT_EQ(snapshot.Text(1, 1), QString());
    EXPECT_GE(snapshot.MemoryUsed(), std::size_t{2'100'000});
}

TEST(RowSnapshotTest, RemovedRowsCloseTheGapInOrder)
{
    RowSnapshot snapshot = Filled();
    snapshot.RemoveRow(3); // the oversized row
    snapshot.RemoveRow(0);
    ASSERT_EQ(snapshot.RowCount(), 3);
    ExpectRow(snapshot, 0, Rows[1]);
    ExpectRow(snapshot, 1, Rows[2]);
    ExpectRow(snapshot, 2, Rows[4]);
}

TEST(RowSnapshotTest, RefillAfterResetReusesStorageAndReadsBackAsStored)
{
    RowSnapshot snapshot = Filled();
    const std::vector<std::vector<Value>> reversed(Rows.rbegin(), Rows.rend());
    for (const auto* rows : {&reversed, &Rows}) {
        snapshot.Reset(3);
        Fill(snapshot, *rows);
        ASSERT_EQ(snapshot.RowCount(), static_cast<int>(rows->size()));
        for (int row = 0; row < snapshot.RowCount(); ++row)
            ExpectRow(snapshot, row, (*rows)[static_cast<std::size_t>(row)]);
    }
    // Many small rows filling the block that an oversized row had alone.
    snapshot.Reset(3);
    const std::vector<Value> small = {{std::string(200, 'f')}, {"小"}, {"", true}};
    const std::vector<std::vector<Value>> many(20000, small);
    Fill(snapshot, many);
    for (int row : {0, 9999, 19999})
        ExpectRow(snapshot, row, small);
}

TEST(RowSnapshotTest, ResultsOfChangingSizesReuseTheBlocksOfEarlierOnes)
{
    // Results ending early in a block, then growing past where the last ended.
    RowSnapshot snapshot(3);
    for (int count : {100, 12000, 100, 30000}) {
        snapshot.Reset(3);
        std::vector<std::vector<Value>> rows;
        for (int row = 0; row < count; ++row)
            rows.push_back({{std::to_string(row)}, {std::string(150, static_cast<char>('a' + row % 26))}, {"行"}});
        Fill(snapshot, rows);
        ASSERT_EQ(snapshot.RowCount(), count);
        for (int row : {0, count / 2, count - 1})
            ExpectRow(snapshot, row, rows[static_cast<std::size_t>(row)]);
    }
}
