#include "gallery/statement.h"

namespace gallery::detail {

core::Error SqlError(sqlite3* db, int rc, const QString& file, const char* what)
{
    const QString reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    const int primary = rc & 0xff;
    int code = 1;
    QString sentence;
    switch (primary) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        code = 23;
        sentence = QStringLiteral("The record of the wall %1 is damaged (%2); move it aside to start a new one.");
        break;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
        code = 5;
        sentence = QStringLiteral("The record of the wall %1 cannot be opened for writing (%2).");
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        code = 32;
        sentence = QStringLiteral("The record of the wall %1 stayed in use by another program (%2).");
        break;
    case SQLITE_FULL:
        code = 112;
        sentence = QStringLiteral("The record of the wall %1 cannot grow: the disk is full (%2).");
        break;
    default:
        sentence = QStringLiteral("The record of the wall %1 failed (%2).");
        break;
    }
    return core::MakeError(code, sentence.arg(file, reason + QStringLiteral(", while ") + QString::fromUtf8(what))
                                     .toStdString());
}

Statement::Statement(sqlite3* db, const char* sql) : rc_(sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr)) {}

Statement::~Statement() { sqlite3_finalize(statement_); }

void Statement::Bind(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void Statement::Bind(int index, qint64 number) { sqlite3_bind_int64(statement_, index, number); }

int Statement::Step() { return statement_ ? sqlite3_step(statement_) : rc_; }

void Statement::Reset()
{
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

qint64 Statement::Integer(int column) const { return sqlite3_column_int64(statement_, column); }

QString Statement::Text(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement_, column)) : QString();
}

int Execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

} // namespace gallery::detail
