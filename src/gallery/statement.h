#pragma once
// A thin hold on SQLite for the record: one prepared statement that finalises
// itself, and the translation of SQLite's failures into the program's errors.
#include "core/result.h"

#include <QString>

#include <sqlite3.h>

namespace gallery::detail {

// The program's error for SQLite's code rc while doing `what` with the record at
// file: 23 for a damaged or foreign file, 5 for one that cannot be written, 32
// when another process held it for too long, 1 otherwise.
core::Error SqlError(sqlite3* db, int rc, const QString& file, const char* what);

class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int prepared() const { return rc_; } // SQLITE_OK when the statement compiled
    void Bind(int index, const QString& text);
    void Bind(int index, qint64 number);
    int Step(); // SQLITE_ROW, SQLITE_DONE or an error code
    void Reset();

    qint64 Integer(int column) const;
    QString Text(int column) const;

private:
    sqlite3_stmt* statement_ = nullptr;
    int rc_;
};

// Runs sql, which returns no rows.
int Execute(sqlite3* db, const char* sql);

} // namespace gallery::detail
