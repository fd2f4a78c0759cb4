#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace zar {

class Recordset;

// The rows of a register's list: plain texts, rebuilt as a whole on every search.
class RegisterListModel : public QAbstractTableModel {
public:
    // The texts of all rows, cell after cell, in one string: a list of tens of thousands
    // of rows is built and freed in a few pieces, and only the cells shown become strings.
    class Rows {
    public:
        void reserve(qsizetype rows, int columns);
        void add(QStringView cell);
        // A cell straight from a record set's field.
        void add(const Recordset& rs, int field);
        // A cell built in place: append to cell(), then close it with endCell().
        QString& cell() { return m_texts; }
        void endCell() { m_ends.push_back(m_texts.size()); }
        // Number of cells added so far.
        qsizetype cells() const { return qsizetype(m_ends.size()); }

    private:
        friend class RegisterListModel;
        QString m_texts;
        std::vector<qsizetype> m_ends; // end of each cell in m_texts
    };

    explicit RegisterListModel(QStringList headers, QObject* parent = nullptr);

    // Takes the rows in one reset; each row holds one cell per header.
    void setRows(Rows rows);
    // Text of a cell; empty outside the rows.
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    Rows m_rows;
    int m_rowCount = 0;
};

} // namespace zar
