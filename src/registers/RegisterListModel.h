#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace zar {

// The rows of a register's list: plain texts, rebuilt as a whole on every search.
class RegisterListModel : public QAbstractTableModel {
public:
    explicit RegisterListModel(QStringList headers, QObject* parent = nullptr);

    void setRows(std::vector<QStringList> rows);
    // Text of a cell; empty outside the rows.
    QString text(int row, int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList m_headers;
    std::vector<QStringList> m_rows;
};

} // namespace zar
