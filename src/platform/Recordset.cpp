#include "platform/Recordset.h"

#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace zar {

namespace {

// Storage blocks stay below the allocator's threshold for mapping fresh pages, so a set
// opened after another reuses the memory the last one freed.
constexpr size_t kBlockCells = 4096;     // 64 KiB of cells
constexpr size_t kTextBlock = 64 * 1024; // bytes

// "SELECT * FROM Table", optionally followed by WHERE and/or ORDER BY: the only shape
// whose rows can be written back to one table.
QString updatableTable(const QString& sql) {
    static const QRegularExpression re(
        QStringLiteral(
            R"(^\s*select\s+\*\s+from\s+([A-Za-z_][A-Za-z0-9_]*)(\s+(where|order)\b.*)?\s*;?\s*$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = re.match(sql);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString withRowId(const QString& sql) {
    static const QRegularExpression star(QStringLiteral(R"(^\s*select\s+\*)"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString out = sql;
    out.replace(star, QStringLiteral("SELECT rowid, *"));
    return out;
}

} // namespace

Recordset::Recordset(Database& db, const QString& sql, const QVariantList& params)
    : m_db(&db), m_sql(sql), m_params(params), m_table(updatableTable(sql)) {
    load();
}

void Recordset::requery() {
    m_mode = Mode::None;
    load();
}

void Recordset::load() {
    Statement st(*m_db, m_table.isEmpty() ? m_sql : withRowId(m_sql));
    st.bindAll(m_params);
    const int first = m_table.isEmpty() ? 0 : 1;
    const int n = st.columnCount();
    QStringList columns;
    for (int c = first; c < n; ++c)
        columns << st.columnName(c);
    // Built aside and swapped in, so a failing requery leaves the set as it was.
    std::vector<Row> rows;
    Cells cells(n - first);
    sqlite3_stmt* raw = st.handle();
    while (st.step()) {
        Cell* row = cells.row(rows.size());
        rows.push_back({first ? st.columnInt64(0) : qint64(rows.size()), false});
        for (int c = first; c < n; ++c)
            storeCell(row[c - first], cells, raw, c);
    }
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_cells = std::move(cells);
    m_live = int(m_rows.size());
    m_pos = 0;
    m_noMatch = true;
}

Recordset::Cells::Cells(int fields)
    : width(fields), rowsPerBlock(std::max<size_t>(1, kBlockCells / size_t(std::max(fields, 1)))) {}

Recordset::Cell* Recordset::Cells::row(size_t index) {
    const size_t block = index / rowsPerBlock;
    if (block == blocks.size())
        blocks.push_back(std::make_unique<Cell[]>(rowsPerBlock * size_t(width)));
    return blocks[block].get() + (index % rowsPerBlock) * size_t(width);
}

const Recordset::Cell* Recordset::Cells::row(size_t index) const {
    return blocks[index / rowsPerBlock].get() + (index % rowsPerBlock) * size_t(width);
}

const char* Recordset::Cells::keep(const char* data, size_t size) {
    if (size > left) {
        if (size > kTextBlock / 4) {
            // A long text gets a block of its own, so the current block goes on filling.
            texts.push_back(std::make_unique_for_overwrite<char[]>(size));
            std::memcpy(texts.back().get(), data, size);
            return texts.back().get();
        }
        texts.push_back(std::make_unique_for_overwrite<char[]>(kTextBlock));
        free = texts.back().get();
        left = kTextBlock;
    }
    char* out = free;
    std::memcpy(out, data, size);
    free += size;
    left -= size;
    return out;
}

void Recordset::storeCell(Cell& cell, Cells& cells, sqlite3_stmt* st, int column) {
    cell.type = quint8(sqlite3_column_type(st, column));
    switch (cell.type) {
    case SQLITE_INTEGER:
        cell.integer = sqlite3_column_int64(st, column);
        break;
    case SQLITE_FLOAT:
        cell.real = sqlite3_column_double(st, column);
        break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        // The pointer first, then the size, as the engine asks.
        const char* data = cell.type == SQLITE_TEXT
                               ? reinterpret_cast<const char*>(sqlite3_column_text(st, column))
                               : static_cast<const char*>(sqlite3_column_blob(st, column));
        const int size = sqlite3_column_bytes(st, column);
        cell.size = quint32(size);
        cell.bytes = size > 0 ? cells.keep(data, size_t(size)) : nullptr;
        break;
    }
    default:
        cell.type = SQLITE_NULL;
        break;
    }
}

QVariant Recordset::cellValue(const Cell& cell) const {
    switch (cell.type) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(cell.integer));
    case SQLITE_FLOAT:
        return QVariant(cell.real);
    case SQLITE_TEXT:
        return QVariant(cellText(cell));
    case SQLITE_BLOB:
        // The engine gives no pointer for an empty blob, hence a null byte array.
        return QVariant(cell.size ? QByteArray(cell.bytes, cell.size) : QByteArray());
    default:
        return QVariant();
    }
}

QString Recordset::cellText(const Cell& cell) const {
    // An empty text is empty, not null, as when read from the engine directly.
    static const char empty = 0;
    return QString::fromUtf8(cell.size ? cell.bytes : &empty, cell.size);
}

bool Recordset::eof() const {
    return m_pos >= long(m_rows.size()) || m_live == 0;
}

bool Recordset::bof() const {
    return m_pos < 0 || m_live == 0;
}

void Recordset::moveFirst() {
    m_pos = 0;
    while (m_pos < long(m_rows.size()) && m_rows[m_pos].deleted)
        ++m_pos;
}

void Recordset::moveNext() {
    if (m_pos >= long(m_rows.size()))
        return;
    do
        ++m_pos;
    while (m_pos < long(m_rows.size()) && m_rows[m_pos].deleted);
}

void Recordset::moveLast() {
    m_pos = long(m_rows.size()) - 1;
    while (m_pos >= 0 && m_rows[m_pos].deleted)
        --m_pos;
    if (m_pos < 0)
        m_pos = long(m_rows.size());
}

void Recordset::findFirst(const QString& criteria, const QVariantList& params) {
    requireUpdatable();
    std::unordered_set<qint64> hits;
    Statement st(*m_db, QStringLiteral("SELECT rowid FROM %1 WHERE %2").arg(m_table, criteria));
    st.bindAll(params);
    while (st.step())
        hits.insert(st.columnInt64(0));
    for (long i = 0; i < long(m_rows.size()); ++i) {
        if (!m_rows[i].deleted && hits.count(m_rows[i].rowid)) {
            m_pos = i;
            m_noMatch = false;
            return;
        }
    }
    // DAO leaves the current record where it was when nothing matches.
    m_noMatch = true;
}

bool Recordset::hasField(const QString& name) const {
    for (const QString& c : m_columns) {
        if (c.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

int Recordset::fieldIndex(const QString& name) const {
    // A handful of columns: a scan without the lower-cased copy a hash key would need.
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw DbError(QStringLiteral("Elemento non trovato in questa raccolta: %1").arg(name));
}

void Recordset::checkField(int field) const {
    if (field < 0 || field >= m_columns.size())
        throw DbError(QStringLiteral("Elemento non trovato in questa raccolta: %1").arg(field));
}

long Recordset::currentIndex() const {
    if (m_pos < 0 || m_pos >= long(m_rows.size()) || m_rows[m_pos].deleted)
        throw DbError(QStringLiteral("Nessun record corrente."));
    return m_pos;
}

const Recordset::Cell& Recordset::cell(long row, int field) const {
    return m_cells.row(size_t(row))[field];
}

QVariant Recordset::value(int field) const {
    checkField(field);
    if (m_mode != Mode::None)
        return m_buffer.at(field);
    return cellValue(cell(currentIndex(), field));
}

bool Recordset::isNull(int field) const {
    checkField(field);
    if (m_mode != Mode::None)
        return m_buffer.at(field).isNull();
    return cell(currentIndex(), field).type == SQLITE_NULL;
}

QString Recordset::text(int field) const {
    checkField(field);
    if (m_mode != Mode::None)
        return m_buffer.at(field).toString();
    const Cell& c = cell(currentIndex(), field);
    return c.type == SQLITE_TEXT ? cellText(c) : cellValue(c).toString();
}

void Recordset::appendText(int field, QString& out) const {
    checkField(field);
    if (m_mode == Mode::None) {
        const Cell& c = cell(currentIndex(), field);
        if (c.type == SQLITE_TEXT) {
            // Plain ASCII, the common case, widens in place; other texts go through UTF-8.
            unsigned char high = 0;
            for (quint32 i = 0; i < c.size; ++i)
                high |= static_cast<unsigned char>(c.bytes[i]);
            if (high < 0x80)
                out.append(QLatin1String(c.bytes, qsizetype(c.size)));
            else
                out.append(cellText(c));
            return;
        }
    }
    out.append(text(field));
}

qint64 Recordset::rowId() const {
    return m_rows[currentIndex()].rowid;
}

void Recordset::requireUpdatable() const {
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Impossibile aggiornare: oggetto di database di sola lettura."));
}

void Recordset::edit() {
    requireUpdatable();
    const long row = currentIndex();
    m_buffer.clear();
    m_buffer.reserve(m_columns.size());
    for (int c = 0; c < m_columns.size(); ++c)
        m_buffer << cellValue(cell(row, c));
    m_dirty.assign(m_columns.size(), false);
    m_mode = Mode::Edit;
}

void Recordset::addNew() {
    requireUpdatable();
    m_buffer = QVariantList(m_columns.size());
    m_dirty.assign(m_columns.size(), false);
    m_mode = Mode::AddNew;
}

void Recordset::setValue(const QString& name, const QVariant& value) {
    if (m_mode == Mode::None)
        throw DbError(QStringLiteral("Aggiornamento senza AddNew o Edit."));
    const int c = fieldIndex(name);
    m_buffer[c] = value;
    m_dirty[c] = true;
}

void Recordset::readRow(long index, qint64 rowid) {
    Statement st(*m_db, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(m_table));
    st.bind(1, rowid);
    if (!st.step())
        throw DbError(QStringLiteral("Record non trovato."));
    std::vector<Cell> row(size_t(m_columns.size()));
    for (int c = 0; c < st.columnCount(); ++c) {
        const QString name = st.columnName(c);
        for (int f = 0; f < m_columns.size(); ++f) {
            if (m_columns[f].compare(name, Qt::CaseInsensitive) == 0)
                storeCell(row[size_t(f)], m_cells, st.handle(), c);
        }
    }
    // The old texts of a rewritten record stay stored until the next requery.
    std::copy(row.begin(), row.end(), m_cells.row(size_t(index)));
    if (index == long(m_rows.size()))
        m_rows.push_back({rowid, false});
    else
        m_rows[index] = {rowid, false};
}

void Recordset::update() {
    if (m_mode == Mode::None)
        throw DbError(QStringLiteral("Aggiornamento senza AddNew o Edit."));
    QStringList names;
    QVariantList values;
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_dirty[c]) {
            names << m_columns[c];
            values << m_buffer[c];
        }
    }
    if (m_mode == Mode::Edit) {
        const qint64 rowid = m_rows[currentIndex()].rowid;
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString& n : names)
                sets << n + QStringLiteral(" = ?");
            values << rowid;
            m_db->exec(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(m_table, sets.join(u", ")),
                       values);
        }
        readRow(m_pos, rowid);
    } else {
        QString sql;
        if (names.isEmpty()) {
            sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table);
        } else {
            QStringList marks;
            for (int i = 0; i < names.size(); ++i)
                marks << QStringLiteral("?");
            sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(m_table, names.join(u", "), marks.join(u", "));
        }
        m_db->exec(sql, values);
        const bool wasEof = m_pos >= long(m_rows.size());
        readRow(long(m_rows.size()), m_db->lastInsertRowId());
        ++m_live;
        if (wasEof)
            m_pos = long(m_rows.size());
    }
    m_mode = Mode::None;
    m_buffer.clear();
}

void Recordset::cancelUpdate() {
    m_mode = Mode::None;
    m_buffer.clear();
}

void Recordset::deleteRecord() {
    requireUpdatable();
    const long row = currentIndex();
    m_db->exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_table), {m_rows[row].rowid});
    m_rows[m_pos].deleted = true;
    --m_live;
}

void BoundView::setRecordSource(const QString& sql, const QVariantList& params) {
    m_sql = sql;
    m_params = params;
}

void BoundView::refresh() {
    if (!m_db)
        throw DbError(QStringLiteral("Nessun database aperto."));
    m_rs = std::make_unique<Recordset>(*m_db, m_sql, m_params);
}

Recordset& BoundView::recordset() {
    if (!m_rs)
        refresh();
    return *m_rs;
}

} // namespace zar
