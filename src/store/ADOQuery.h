#pragma once

#include "store/ADOConnection.h"
#include "store/RowSnapshot.h"
#include "store/SQLLines.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <string_view>

// A query on a connection. Open reads the whole result of a row-returning
// statement into a static, scrollable snapshot: after Open the rows no longer
// depend on the database. ExecSQL runs a statement that returns no rows.
//
// Rows are counted from 0 in the row-level calls (CellText, signals) and from
// 1 in RecNo, as the status bar shows them.
class TADOQuery : public QObject {
    Q_OBJECT
public:
    explicit TADOQuery(QObject* parent = nullptr);
    ~TADOQuery() override;

    QPointer<TADOConnection> Connection;
    // Any change of these lines first closes the open result.
    TSQLLines SQL;

    // Runs the statement and keeps its rows (nothing when already open); the
    // first row becomes current. Opens the connection when it is closed. On
    // an error the query stays closed.
    void Open();
    // Runs the statement; returns the number of rows it changed.
    int ExecSQL();
    void Close();
    bool Active() const { return active_; }

    int RecordCount() const { return active_ ? rows_.RowCount() : 0; }
    bool IsEmpty() const { return RecordCount() == 0; }
    // The current row's 1-based position; -1 when closed or empty.
    int RecNo() const { return current_ < 0 ? -1 : current_ + 1; }
    // Makes the row at 1-based position recNo current; out of range is ignored.
    void SetRecNo(int recNo);
    // 0-based current row, -1 when there is none.
    int CurrentRow() const { return current_; }

    // Navigation stops at either end. Bof is set by First and by a move that
    // ran into the first row, Eof by Last and by a move that ran into the
    // last row; both are set on an empty or closed query.
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Returns how many rows it actually moved (signed).
    int MoveBy(int distance);
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }

    int FieldCount() const { return active_ ? static_cast<int>(fieldNames_.size()) : 0; }
    QString FieldName(int index) const;
    // Position of the field with this name (any case), or -1.
    int FieldIndex(const QString& name) const;
    // The current row's fields as text; a null reads as empty text, and so
    // does every field of an open, empty result. Raises EDatabaseError on a
    // closed query, an unknown name or an index out of range.
    QString FieldAsString(int index) const;
    QString FieldByName(const QString& name) const;

    // Any row's cell, for a grid; row and column must be in range.
    QString CellText(int row, int column) const { return rows_.Text(row, column); }
    std::string_view CellBytes(int row, int column) const { return rows_.Bytes(row, column); }
    // Bytes the open result occupies.
    std::size_t MemoryUsed() const { return rows_.MemoryUsed(); }

    // Deletes the current row from its table by its 编号 and drops it from
    // the result; the row that moves into its place (or the new last row)
    // becomes current. Raises EDatabaseError when there is no current row or
    // the database refuses, and then the result is unchanged.
    void Delete();

signals:
    void opened();
    void aboutToClose();
    void closed();
    // The 0-based current row, -1 when there is none.
    void currentRowChanged(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);

private:
    sqlite3* Database();
    sqlite3* DatabaseForWriting();
    void CheckActive() const;
    int CheckedFieldIndex(int index) const;
    void SetCurrent(int row);

    bool active_ = false;
    RowSnapshot rows_;
    QStringList fieldNames_;
    // Where Delete finds a row: the 编号 field, its table and column there.
    int keyField_ = -1;
    QString keyTable_;
    QString keyColumn_;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
};
