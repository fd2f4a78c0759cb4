#pragma once

#include "platform/Database.h"

#include <QString>
#include <QVariant>

#include <memory>
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
    void moveLast();

    // Finds the first record of the set, in the set's order, that meets the criteria
    // (an SQL condition on the table with '?' for each value). Sets noMatch().
    void findFirst(const QString& criteria, const QVariantList& params = {});
    bool noMatch() const { return m_noMatch; }

    QStringList fieldNames() const { return m_columns; }
    bool hasField(const QString& name) const;
    // Position of a field among fieldNames(), found without regard to case; for loops
    // over many records, which then read values by position.
    int fieldIndex(const QString& name) const;
    QVariant value(const QString& name) const { return value(fieldIndex(name)); }
    QVariant value(int field) const;
    bool isNull(const QString& name) const { return isNull(fieldIndex(name)); }
    bool isNull(int field) const;
    // Text of a field; Null gives the empty text.
    QString text(const QString& name) const { return text(fieldIndex(name)); }
    QString text(int field) const;
    // Appends text(field) to `out`, without a string of its own for a stored text.
    void appendText(int field, QString& out) const;
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
        bool deleted = false;
    };
    // One value as the engine gave it. Texts and blobs stay UTF-8 bytes and become
    // QString/QByteArray only when read: a list of thousands of records reads a few
    // fields of each.
    struct Cell {
        union {
            qint64 integer = 0;
            double real;
            const char* bytes; // a text or blob, kept in Cells::texts
        };
        quint32 size = 0; // bytes of a text or blob
        quint8 type = 0;  // the engine's storage class
    };
    // The values of all records, in blocks of whole records, and their texts in blocks
    // of bytes: growing never moves what is stored, and a set is freed in a few pieces.
    struct Cells {
        explicit Cells(int width = 0);
        int width;
        size_t rowsPerBlock;
        std::vector<std::unique_ptr<Cell[]>> blocks;
        std::vector<std::unique_ptr<char[]>> texts;
        char* free = nullptr;
        size_t left = 0;
        // The record's cells; a record one past the last stored one gets new cells.
        Cell* row(size_t index);
        const Cell* row(size_t index) const;
        const char* keep(const char* data, size_t size);
    };
    enum class Mode { None, Edit, AddNew };

    long currentIndex() const;
    const Cell& cell(long row, int field) const;
    QVariant cellValue(const Cell& c) const;
    QString cellText(const Cell& c) const;
    static void storeCell(Cell& c, Cells& cells, sqlite3_stmt* st, int column);
    void load();
    // Reads a record from the table into row `index` (one past the end appends it).
    void readRow(long index, qint64 rowid);
    void requireUpdatable() const;
    void checkField(int field) const;

    Database* m_db;
    QString m_sql;
    QVariantList m_params;
    QString m_table;
    QStringList m_columns;
    std::vector<Row> m_rows;
    Cells m_cells; // parallel to m_rows
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
