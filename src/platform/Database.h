#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <memory>
#include <stdexcept>

struct sqlite3;
struct sqlite3_stmt;

namespace zar {

// A failure of the database engine; what() carries the engine's description.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString& message, int code = 0);
    QString message() const { return QString::fromUtf8(what()); }
    // Another connection (another copy of the program) holds the file.
    bool isLocked() const;

private:
    int m_code;
};

// The password that the database files are encrypted with.
inline constexpr const char* kDatabasePassword = "vuK!1958";

class Statement;

// One open connection on an encrypted database file.
//
// open() never creates a file and holds the file exclusively for as long as the
// connection lives: another program or copy fails at its own open with
// "database is locked".
class Database {
public:
    static std::unique_ptr<Database> open(const QString& path, const QString& key = kDatabasePassword);
    // Creates a new, empty database file; refuses a path that already exists.
    static std::unique_ptr<Database> create(const QString& path, const QString& key = kDatabasePassword);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    // Runs one statement with bound values; returns the number of rows changed.
    int exec(const QString& sql, const QVariantList& params = {});
    // Runs a script of several statements without values (schema work).
    void execScript(const QString& sql);
    // First column of the first row, or a null QVariant when there is no row.
    QVariant scalar(const QString& sql, const QVariantList& params = {});
    qint64 lastInsertRowId() const;
    bool inTransaction() const;

    [[noreturn]] void fail(const QString& context = {}) const;

private:
    Database(sqlite3* db, QString path);
    sqlite3* m_db;
    QString m_path;
};

// A prepared statement, finalized on destruction.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value); // index from 1
    void bindAll(const QVariantList& values);
    // Returns true while a row is available.
    bool step();
    void reset();
    int columnCount() const;
    QString columnName(int column) const;
    QVariant column(int column) const;
    // The same as column(column).toString(), without the QVariant for texts and Nulls.
    QString columnText(int column) const;
    bool isNull(int column) const;
    qint64 columnInt64(int column) const;
    // The engine's statement, for readers that copy column data without conversion.
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    Database& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// Rolls back in its destructor unless commit() was called. Nests through savepoints.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    QString m_name;
    bool m_done = false;
};

// Escapes a text for use in LIKE ... ESCAPE '\', so that every character matches itself.
QString escapeLike(const QString& text);

} // namespace zar
