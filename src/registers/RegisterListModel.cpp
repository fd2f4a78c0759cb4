#include "registers/RegisterListModel.h"

namespace zar {

RegisterListModel::RegisterListModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)) {}

void RegisterListModel::setRows(std::vector<QStringList> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QString RegisterListModel::text(int row, int column) const {
    if (row < 0 || row >= int(m_rows.size()) || column < 0 || column >= m_rows[row].size())
        return QString();
    return m_rows[row][column];
}

int RegisterListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RegisterListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant RegisterListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return QVariant();
    return text(index.row(), index.column());
}

QVariant RegisterListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headers.size())
        return QVariant();
    return m_headers[section];
}

} // namespace zar
