#pragma once

#include "platform/Database.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <vector>

namespace zar {

// A navigable, editable result set in the manner of a DAO dynaset.
//
// Opened on "SELECT * FROM <table> [WHERE ...] [ORDER BY ...]" with bound values, it can
// edit, add and delete records of that table; any other query gives a read-only set.
// Rows are read once at open (or requery); edits are written at once by rowid.
//
// As in DAO: after AddNew + Update the record that was current before AddNew stays
// current and the new record is appended at the end; after Delete the current record
// is gone until the next move.
class Recordset {
public:
    Recordset(Database& db, const QString& sql, const QVariantList& params = {});

    Database& database() const { return *m_db; }
    const QString& sql() const { return m_sql; }
    const QString& table() const { return m_table; }
    bool updatable() const { return !m_table.isEmpty(); }
    void requery();

    int recordCount() const { return m_live; }
    bool eof() const;
    bool bof() const;
    void moveFirst();
    void moveNext();
    void movePrevious();
    void moveLast();
    // Position of the current record among the live records (0-based), -1 at EOF/BOF.
    int absolutePosition() const;

    // Finds the first record of the set, in the set's order, that meets the criteria
    // (an SQL condition on the table with '?' for each value). Sets noMatch().
    void findFirst(const QString& criteria, const QVariantList& params = {});
    bool noMatch() const { return m_noMatch; }

    QStringList fieldNames() const { return m_columns; }
    bool hasField(const QString& name) const;
    QVariant value(const QString& name) const;
    bool isNull(const QString& name) const { return value(name).isNull(); }
    // Text of a field; Null gives the empty text.
    QString text(const QString& name) const { return value(name).toString(); }
    qint64 rowId() const;

    void edit();
    void addNew();
    void setValue(const QString& name, const QVariant& value);
    void update();
    void cancelUpdate();
    void deleteRecord();
    bool editing() const { return m_mode != Mode::None; }

private:
    struct Row {
        qint64 rowid = 0;
        QVariantList values;
        bool deleted = false;
    };
    enum class Mode { None, Edit, AddNew };

    int column(const QString& name) const;
    const Row& current() const;
    void load();
    Row readRow(qint64 rowid);
    void requireUpdatable() const;

    Database* m_db;
    QString m_sql;
    QVariantList m_params;
    QString m_table;
    QStringList m_columns;
    QHash<QString, int> m_index; // lower-case name -> column
    std::vector<Row> m_rows;
    int m_live = 0;
    long m_pos = 0; // index into m_rows; -1 = BOF, size() = EOF
    bool m_noMatch = true;
    Mode m_mode = Mode::None;
    QVariantList m_buffer;
    std::vector<bool> m_dirty;
};

// A form's bound record source: a query on the shared connection that the form can
// point elsewhere and refresh, with a current record.
class BoundView {
public:
    explicit BoundView(Database* db = nullptr) : m_db(db) {}
    void setDatabase(Database* db) { m_db = db; }
    void setRecordSource(const QString& sql, const QVariantList& params = {});
    QString recordSource() const { return m_sql; }
    // Runs the record source again; the current record becomes the first.
    void refresh();
    bool isOpen() const { return m_rs != nullptr; }
    Recordset& recordset();

private:
    Database* m_db;
    QString m_sql;
    QVariantList m_params;
    std::unique_ptr<Recordset> m_rs;
};

} // namespace zar
