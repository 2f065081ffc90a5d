#include "store/ADOQuery.h"

#include "store/Dialect.h"
#include "store/engine/DatabaseError.h"

#include <sqlite3.h>

#include <array>
#include <charconv>
#include <vector>

namespace {

const QString KeyFieldName = QStringLiteral("编号");

QString QuotedIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString FromUtf8OrEmpty(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

// Reads the cells of a row as text, each with as few engine calls as its
// value needs. A cell is fetched once as the engine's value (one call that
// checks the statement) and read from there (calls that check nothing more).
// The engine documents such values as unsafe only between threads; this
// program runs the engine on one thread without any mutex.
//
// A text costs its text and its length; an integer its type and its value,
// written out here exactly as the engine would write it, which spares the
// engine's formatting and allocation. A column is asked for the type first
// until it gives something other than an integer or a null, and from then on
// for its text first; only a missing text then asks whether the value is
// null or memory ran out.
class CellReader {
public:
    CellReader(sqlite3_stmt* stmt, int columns)
        : stmt_(stmt), integerColumn_(static_cast<std::size_t>(columns), true),
          digits_(static_cast<std::size_t>(columns))
    {
    }

    RowSnapshot::Cell Read(int column)
    {
        const auto index = static_cast<std::size_t>(column);
        sqlite3_value* value = sqlite3_column_value(stmt_, column);
        if (integerColumn_[index]) {
            const int type = sqlite3_value_type(value);
            if (type == SQLITE_NULL)
                return {nullptr, 0, true};
            if (type == SQLITE_INTEGER) {
                std::array<char, 24>& digits = digits_[index];
                const char* end =
                    std::to_chars(digits.data(), digits.data() + digits.size(), sqlite3_value_int64(value)).ptr;
                return {digits.data(), static_cast<std::size_t>(end - digits.data()), false};
            }
            integerColumn_[index] = false;
        }
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
        if (!text) {
            // A value read this way leaves no error on the connection.
            if (sqlite3_value_type(value) != SQLITE_NULL)
                throw EDatabaseError("out of memory");
            return {nullptr, 0, true};
        }
        return {text, static_cast<std::size_t>(sqlite3_value_bytes(value)), false};
    }

private:
    sqlite3_stmt* stmt_;
    std::vector<bool> integerColumn_;
    std::vector<std::array<char, 24>> digits_;
};

} // namespace

TADOQuery::TADOQuery(QObject* parent) : QObject(parent), SQL([this] { Close(); }) {}

TADOQuery::~TADOQuery() = default;

sqlite3* TADOQuery::Database()
{
    if (!Connection)
        throw EDatabaseError("The query has no connection.");
    return Connection->Handle();
}

sqlite3* TADOQuery::DatabaseForWriting()
{
    if (!Connection)
        throw EDatabaseError("The query has no connection.");
    return Connection->WritableHandle();
}

void TADOQuery::Open()
{
    if (active_)
        return;
    sqlite3* db = Database();
    Connection->FitCacheToFile();
    const store::SqliteStatement statement =
        store::PrepareSingleStatement(db, AdaptStatement(SQL.Text()).toUtf8());
    sqlite3_stmt* stmt = statement.get();
    const int columns = sqlite3_column_count(stmt);
    if (columns == 0)
        throw EDatabaseError("The statement returns no rows.");

    QStringList names;
    names.reserve(columns);
    int keyField = -1;
    for (int column = 0; column < columns; ++column) {
        names.append(FromUtf8OrEmpty(sqlite3_column_name(stmt, column)));
        if (keyField < 0 && names.back().compare(KeyFieldName, Qt::CaseInsensitive) == 0)
            keyField = column;
    }

    // The rows go into the storage of earlier results, which Close keeps: a
    // re-list fills memory the process already has instead of fresh pages.
    rows_.Reset(columns);
    try {
        std::vector<RowSnapshot::Cell> cells(static_cast<std::size_t>(columns));
        CellReader reader(stmt, columns);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            for (int column = 0; column < columns; ++column)
                cells[static_cast<std::size_t>(column)] = reader.Read(column);
            rows_.AppendRow(cells);
        }
        if (rc != SQLITE_DONE)
            store::ThrowEngineError(db);
    } catch (...) {
        rows_.Reset(0);
        throw;
    }

    keyField_ = keyField;
    keyTable_ = keyField < 0 ? QString() : FromUtf8OrEmpty(sqlite3_column_table_name(stmt, keyField));
    keyColumn_ = keyField < 0 ? QString() : FromUtf8OrEmpty(sqlite3_column_origin_name(stmt, keyField));
    fieldNames_ = std::move(names);
    active_ = true;
    current_ = rows_.RowCount() > 0 ? 0 : -1;
    bof_ = true;
    eof_ = current_ < 0;
    emit opened();
    emit currentRowChanged(current_);
}

int TADOQuery::ExecSQL()
{
    sqlite3* db = DatabaseForWriting();
    return store::Execute(db, AdaptStatement(SQL.Text()).toUtf8());
}

void TADOQuery::Close()
{
    if (!active_)
        return;
    emit aboutToClose();
    active_ = false;
    rows_.Reset(0); // the storage stays for the next Open
    fieldNames_.clear();
    keyField_ = -1;
    keyTable_.clear();
    keyColumn_.clear();
    current_ = -1;
    bof_ = eof_ = true;
    emit closed();
    emit currentRowChanged(-1);
}

void TADOQuery::SetCurrent(int row)
{
    if (row == current_)
        return;
    current_ = row;
    emit currentRowChanged(current_);
}

void TADOQuery::SetRecNo(int recNo)
{
    if (recNo < 1 || recNo > RecordCount())
        return;
    bof_ = eof_ = false;
    SetCurrent(recNo - 1);
}

void TADOQuery::First()
{
    if (IsEmpty())
        return;
    bof_ = true;
    eof_ = false;
    SetCurrent(0);
}

void TADOQuery::Last()
{
    if (IsEmpty())
        return;
    bof_ = false;
    eof_ = true;
    SetCurrent(RecordCount() - 1);
}

int TADOQuery::MoveBy(int distance)
{
    if (IsEmpty() || distance == 0)
        return 0;
    const long long wanted = static_cast<long long>(current_) + distance;
    const int last = RecordCount() - 1;
    const int target = wanted < 0 ? 0 : (wanted > last ? last : static_cast<int>(wanted));
    bof_ = wanted < 0;
    eof_ = wanted > last;
    const int moved = target - current_;
    SetCurrent(target);
    return moved;
}

void TADOQuery::CheckActive() const
{
    if (!active_)
        throw EDatabaseError("Cannot perform this operation on a closed dataset.");
}

int TADOQuery::CheckedFieldIndex(int index) const
{
    CheckActive();
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError(QStringLiteral("Field index %1 out of range.").arg(index));
    return index;
}

QString TADOQuery::FieldName(int index) const { return fieldNames_.at(CheckedFieldIndex(index)); }

int TADOQuery::FieldIndex(const QString& name) const
{
    for (int index = 0; index < FieldCount(); ++index) {
        if (fieldNames_.at(index).compare(name, Qt::CaseInsensitive) == 0)
            return index;
    }
    return -1;
}

QString TADOQuery::FieldAsString(int index) const
{
    const int field = CheckedFieldIndex(index);
    return current_ < 0 ? QString() : rows_.Text(current_, field);
}

QString TADOQuery::FieldByName(const QString& name) const
{
    CheckActive();
    const int index = FieldIndex(name);
    if (index < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found.").arg(name));
    return FieldAsString(index);
}

void TADOQuery::Delete()
{
    CheckActive();
    if (current_ < 0)
        throw EDatabaseError("Cannot perform this operation on an empty dataset.");
    if (keyField_ < 0 || keyTable_.isEmpty() || keyColumn_.isEmpty())
        throw EDatabaseError("The rows of this result cannot be deleted: it has no 编号 of a table.");
    if (rows_.IsNull(current_, keyField_))
        throw EDatabaseError("The current row has no 编号.");

    sqlite3* db = DatabaseForWriting();
    const QString text = QStringLiteral("DELETE FROM %1 WHERE %2 = ?1")
                             .arg(QuotedIdentifier(keyTable_), QuotedIdentifier(keyColumn_));
    const store::SqliteStatement statement = store::PrepareSingleStatement(db, text.toUtf8());
    const std::string_view key = rows_.Bytes(current_, keyField_);
    if (sqlite3_bind_text(statement.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT)
        != SQLITE_OK)
        store::ThrowEngineError(db);
    if (store::RunToCompletion(db, statement.get()) == 0)
        throw EDatabaseError("The row to delete is no longer in the database.");

    const int removed = current_;
    emit rowAboutToBeRemoved(removed);
    rows_.RemoveRow(removed);
    current_ = removed < rows_.RowCount() ? removed : rows_.RowCount() - 1;
    bof_ = eof_ = current_ < 0;
    emit rowRemoved(removed);
    emit currentRowChanged(current_);
}
