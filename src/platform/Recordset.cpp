#include "platform/Recordset.h"

#include <QRegularExpression>

#include <unordered_set>

namespace zar {

namespace {

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
    m_columns.clear();
    m_index.clear();
    for (int c = first; c < st.columnCount(); ++c) {
        m_columns << st.columnName(c);
        m_index.insert(st.columnName(c).toLower(), c - first);
    }
    m_rows.clear();
    const int n = st.columnCount();
    while (st.step()) {
        Row row;
        row.rowid = first ? st.columnInt64(0) : qint64(m_rows.size());
        row.values.reserve(n - first);
        for (int c = first; c < n; ++c)
            row.values << st.column(c);
        m_rows.push_back(std::move(row));
    }
    m_live = int(m_rows.size());
    m_pos = 0;
    m_noMatch = true;
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

void Recordset::movePrevious() {
    if (m_pos < 0)
        return;
    do
        --m_pos;
    while (m_pos >= 0 && m_rows[m_pos].deleted);
}

void Recordset::moveLast() {
    m_pos = long(m_rows.size()) - 1;
    while (m_pos >= 0 && m_rows[m_pos].deleted)
        --m_pos;
    if (m_pos < 0)
        m_pos = long(m_rows.size());
}

int Recordset::absolutePosition() const {
    if (eof() || bof() || m_rows[m_pos].deleted)
        return -1;
    int n = 0;
    for (long i = 0; i < m_pos; ++i)
        n += m_rows[i].deleted ? 0 : 1;
    return n;
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
    return m_index.contains(name.toLower());
}

int Recordset::column(const QString& name) const {
    const auto it = m_index.constFind(name.toLower());
    if (it == m_index.constEnd())
        throw DbError(QStringLiteral("Elemento non trovato in questa raccolta: %1").arg(name));
    return it.value();
}

const Recordset::Row& Recordset::current() const {
    if (m_pos < 0 || m_pos >= long(m_rows.size()) || m_rows[m_pos].deleted)
        throw DbError(QStringLiteral("Nessun record corrente."));
    return m_rows[m_pos];
}

QVariant Recordset::value(const QString& name) const {
    const int c = column(name);
    if (m_mode != Mode::None)
        return m_buffer.at(c);
    return current().values.at(c);
}

qint64 Recordset::rowId() const {
    return current().rowid;
}

void Recordset::requireUpdatable() const {
    if (m_table.isEmpty())
        throw DbError(QStringLiteral("Impossibile aggiornare: oggetto di database di sola lettura."));
}

void Recordset::edit() {
    requireUpdatable();
    m_buffer = current().values;
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
    const int c = column(name);
    m_buffer[c] = value;
    m_dirty[c] = true;
}

Recordset::Row Recordset::readRow(qint64 rowid) {
    Statement st(*m_db, QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(m_table));
    st.bind(1, rowid);
    Row row;
    row.rowid = rowid;
    if (!st.step())
        throw DbError(QStringLiteral("Record non trovato."));
    QHash<QString, int> tableIndex;
    for (int c = 0; c < st.columnCount(); ++c)
        tableIndex.insert(st.columnName(c).toLower(), c);
    for (const QString& name : m_columns) {
        const auto it = tableIndex.constFind(name.toLower());
        row.values << (it == tableIndex.constEnd() ? QVariant() : st.column(it.value()));
    }
    return row;
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
        const qint64 rowid = current().rowid;
        if (!names.isEmpty()) {
            QStringList sets;
            for (const QString& n : names)
                sets << n + QStringLiteral(" = ?");
            values << rowid;
            m_db->exec(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(m_table, sets.join(u", ")),
                       values);
        }
        m_rows[m_pos] = readRow(rowid);
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
        m_rows.push_back(readRow(m_db->lastInsertRowId()));
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
    const Row& row = current();
    m_db->exec(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_table), {row.rowid});
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
