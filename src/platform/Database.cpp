#include "platform/Database.h"

#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <sqlite3.h>

namespace zar {

DbError::DbError(const QString& message, int code)
    : std::runtime_error(message.toStdString()), m_code(code) {}

bool DbError::isLocked() const {
    return (m_code & 0xff) == SQLITE_BUSY; // extended codes keep the primary one in the low byte
}

namespace {

QString engineMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// What went wrong at an open, in the user's words.
enum class OpenFailure {
    NotFound,
    NotAFile,
    Empty,
    NotOurs,
    NotOursOrKey,
    Damaged,
    ReadOnly,
    Held,
    DiskFull,
    Other
};

QString describe(OpenFailure failure, const QString& path) {
    const QString file = QDir::toNativeSeparators(path);
    switch (failure) {
    case OpenFailure::NotFound:
        return QStringLiteral("Il file del database \"%1\" non esiste.").arg(file);
    case OpenFailure::NotAFile:
        return QStringLiteral("\"%1\" non è un file di database: è una cartella o un file speciale.")
            .arg(file);
    case OpenFailure::Empty:
        return QStringLiteral("Il file \"%1\" è vuoto (0 byte): non è un database di questo programma.")
            .arg(file);
    case OpenFailure::NotOurs:
        return QStringLiteral("Il file \"%1\" non è un database di questo programma: mancano le sue tabelle.")
            .arg(file);
    case OpenFailure::NotOursOrKey:
        return QStringLiteral(
                   "Il file \"%1\" non è un database di questo programma, oppure la sua password è errata.")
            .arg(file);
    case OpenFailure::Damaged:
        return QStringLiteral("Il database \"%1\" è danneggiato.").arg(file);
    case OpenFailure::ReadOnly:
        return QStringLiteral("Il database \"%1\" non si può modificare: il file o la sua cartella è in sola "
                              "lettura.")
            .arg(file);
    case OpenFailure::Held:
        return QStringLiteral(
                   "Il database \"%1\" è già in uso da un altro programma o da un'altra copia di ZAR.")
            .arg(file);
    case OpenFailure::DiskFull:
        return QStringLiteral("Il disco del database \"%1\" è pieno.").arg(file);
    case OpenFailure::Other:
        break;
    }
    return QStringLiteral("Impossibile aprire il database \"%1\".").arg(file);
}

// The engine's answer at an open, read for what it says about the file. Before the key has
// been proven by a read, "not a database" may as well be a wrong key; after it, the file is
// damaged.
OpenFailure classify(int rc, bool keyProven) {
    switch (rc) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return OpenFailure::Held;
    case SQLITE_NOTADB:
        return keyProven ? OpenFailure::Damaged : OpenFailure::NotOursOrKey;
    case SQLITE_CORRUPT:
        return OpenFailure::Damaged;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return OpenFailure::ReadOnly;
    case SQLITE_FULL:
        return OpenFailure::DiskFull;
    default:
        return OpenFailure::Other;
    }
}

// The user's words first, then the engine's own text for support. The code stays the
// engine's, so that callers can still ask whether the file was held.
[[noreturn]] void openFailed(OpenFailure failure, const QString& path, const QString& engineText, int rc) {
    QString message = describe(failure, path);
    if (!engineText.isEmpty())
        message += QStringLiteral("\n(%1)").arg(engineText);
    throw DbError(message, rc);
}

[[noreturn]] void openFailed(sqlite3* db, int rc, const QString& path, bool keyProven,
                             const QString& text = {}) {
    const QString engineText = text.isEmpty() ? engineMessage(db) : text;
    sqlite3_close(db);
    openFailed(classify(rc, keyProven), path, engineText, rc);
}

// Runs statements that need no rows back; a failure closes the connection and is described.
void run(sqlite3* db, const char* sql, const QString& path, bool keyProven) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString message = err ? QString::fromUtf8(err) : engineMessage(db);
        sqlite3_free(err);
        openFailed(db, rc, path, keyProven, message);
    }
}

// The program uses its connection from one thread only, so the engine's own locking is
// left out (NOMUTEX).
sqlite3* openHandle(const QString& path, const QString& key, int flags) {
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    const int rc = sqlite3_open_v2(file.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        if (!db)
            openFailed(OpenFailure::Other, path, QStringLiteral("out of memory"), rc);
        openFailed(db, rc, path, false);
    }
    // No key: a plain file, as other programs write them.
    const QByteArray k = key.toUtf8();
    if (const int krc = k.isEmpty() ? SQLITE_OK : sqlite3_key(db, k.constData(), int(k.size()));
        krc != SQLITE_OK)
        openFailed(db, krc, path, false);
    // A held file fails at once rather than after a wait.
    sqlite3_busy_timeout(db, 0);
    sqlite3_extended_result_codes(db, 0);
    return db;
}

// The rows of a query's first column as texts; a failure closes the connection.
QStringList column(sqlite3* db, const char* sql, const QString& path, bool keyProven) {
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    QStringList out;
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    }
    if (rc != SQLITE_DONE) {
        const QString message = engineMessage(db);
        sqlite3_finalize(st);
        openFailed(db, rc, path, keyProven, message);
    }
    sqlite3_finalize(st);
    return out;
}

// Every check here only reads, so a file that is not ours is never written to: the key and
// the tables by reading the schema, the pages by a quick check of every table and index.
void checkOurs(sqlite3* db, const QString& path) {
    const QStringList tables =
        column(db, "SELECT name FROM sqlite_master WHERE type = 'table'", path, /*keyProven=*/false);
    for (const char* table : {"TblPassword", "TblConduttori", "TblCani", "TblGare", "TblIscrizioni"}) {
        if (!tables.contains(QLatin1String(table), Qt::CaseInsensitive)) {
            sqlite3_close(db);
            openFailed(OpenFailure::NotOurs, path, QString(), SQLITE_NOTADB);
        }
    }
    const QStringList check = column(db, "PRAGMA quick_check", path, /*keyProven=*/true);
    if (check != QStringList{QStringLiteral("ok")}) {
        sqlite3_close(db);
        openFailed(OpenFailure::Damaged, path, check.mid(0, 3).join(QStringLiteral("; ")), SQLITE_CORRUPT);
    }
    // The engine falls back to reading a file it may not write; the program must write.
    if (sqlite3_db_readonly(db, "main") == 1 || !QFileInfo(QFileInfo(path).absolutePath()).isWritable()) {
        sqlite3_close(db);
        openFailed(OpenFailure::ReadOnly, path, QString(), SQLITE_READONLY);
    }
}

// A statement that failed while the program runs. A full disk is said in the user's words:
// the engine has undone the statement, and the caller's transaction rolls back the rest, so
// nothing of a save was stored and the same save works once there is room. Other failures
// carry the engine's own text.
[[noreturn]] void statementFailed(int rc, const QString& engineText, const QString& path, bool writes) {
    if ((rc & 0xff) != SQLITE_FULL)
        throw DbError(engineText, rc);
    QString message = describe(OpenFailure::DiskFull, path);
    if (writes) {
        message.chop(1); // the full stop
        message += QStringLiteral(": i dati non sono stati salvati.\n"
                                  "Liberare spazio sul disco e salvare di nuovo.");
    }
    throw DbError(message + QStringLiteral("\n(%1)").arg(engineText), rc);
}

} // namespace

Database::Database(sqlite3* db, QString path) : m_db(db), m_path(std::move(path)) {}

Database::~Database() {
    sqlite3_close_v2(m_db);
}

std::unique_ptr<Database> Database::open(const QString& path, const QString& key) {
    const QFileInfo info(path);
    if (!info.exists())
        openFailed(OpenFailure::NotFound, path, QString(), SQLITE_CANTOPEN);
    if (!info.isFile())
        openFailed(OpenFailure::NotAFile, path, QString(), SQLITE_CANTOPEN);
    if (info.size() == 0) // the engine would take it for a new database and write one
        openFailed(OpenFailure::Empty, path, QString(), SQLITE_NOTADB);
    sqlite3* db = openHandle(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX);
    checkOurs(db, path);
    // Only now hold the file, for the whole life of the connection.
    run(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;", path, /*keyProven=*/true);
    return std::unique_ptr<Database>(new Database(db, path));
}

std::unique_ptr<Database> Database::create(const QString& path, const QString& key) {
    if (QFileInfo::exists(path))
        throw DbError(QStringLiteral("Il file \"%1\" esiste già.").arg(path), SQLITE_CANTOPEN);
    sqlite3* db = openHandle(path, key, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
    run(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; COMMIT;", path, /*keyProven=*/true);
    return std::unique_ptr<Database>(new Database(db, path));
}

void Database::fail(const QString& context) const {
    const QString message = engineMessage(m_db);
    const int rc = sqlite3_errcode(m_db);
    statementFailed(rc, context.isEmpty() ? message : context + QStringLiteral(": ") + message, m_path,
                    /*writes=*/true);
}

int Database::exec(const QString& sql, const QVariantList& params) {
    Statement st(*this, sql);
    st.bindAll(params);
    while (st.step()) {
    }
    return sqlite3_changes(m_db);
}

void Database::execScript(const QString& sql) {
    char* err = nullptr;
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_exec(m_db, text.constData(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const QString message = err ? QString::fromUtf8(err) : engineMessage(m_db);
        sqlite3_free(err);
        statementFailed(rc, message, m_path, /*writes=*/true);
    }
}

QVariant Database::scalar(const QString& sql, const QVariantList& params) {
    Statement st(*this, sql);
    st.bindAll(params);
    return st.step() ? st.column(0) : QVariant();
}

qint64 Database::lastInsertRowId() const {
    return sqlite3_last_insert_rowid(m_db);
}

bool Database::inTransaction() const {
    return sqlite3_get_autocommit(m_db) == 0;
}

Statement::Statement(Database& db, const QString& sql) : m_db(db) {
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
        db.fail();
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        rc = sqlite3_bind_null(m_stmt, index);
        break;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        rc = sqlite3_bind_blob(m_stmt, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        rc = sqlite3_bind_text(m_stmt, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        break;
    }
    }
    if (rc != SQLITE_OK)
        m_db.fail();
}

void Statement::bindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // Clear the statement so that its error does not linger into the next use.
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db.handle()));
    sqlite3_reset(m_stmt);
    statementFailed(rc, message, m_db.path(), !sqlite3_stmt_readonly(m_stmt));
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QVariant Statement::column(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_stmt, column)));
    }
    default:
        return QVariant();
    }
}

QString Statement::columnText(int column) const {
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column));
    }
    case SQLITE_NULL:
        return QString();
    default:
        return this->column(column).toString();
    }
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::columnInt64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

Transaction::Transaction(Database& db) : m_db(db) {
    static std::atomic<unsigned> counter{0};
    m_name = QStringLiteral("zar_sp_%1").arg(++counter);
    m_db.execScript(QStringLiteral("SAVEPOINT %1").arg(m_name));
}

Transaction::~Transaction() {
    if (m_done)
        return;
    // A failed statement may already have ended the transaction; nothing to report then.
    sqlite3_exec(m_db.handle(), QStringLiteral("ROLLBACK TO %1; RELEASE %1").arg(m_name).toUtf8().constData(),
                 nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    m_db.execScript(QStringLiteral("RELEASE %1").arg(m_name));
    m_done = true;
}

QString escapeLike(const QString& text) {
    QString out;
    out.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            out += u'\\';
        out += c;
    }
    return out;
}

} // namespace zar
