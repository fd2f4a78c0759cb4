#include "registers/RegisterListModel.h"

#include "platform/Recordset.h"

namespace zar {

void RegisterListModel::Rows::reserve(qsizetype rows, int columns) {
    m_ends.reserve(size_t(rows) * size_t(columns));
    // A guess of a dozen characters a cell spares most of the regrowing.
    m_texts.reserve(rows * columns * 12);
}

void RegisterListModel::Rows::add(QStringView cell) {
    m_texts.append(cell);
    m_ends.push_back(m_texts.size());
}

void RegisterListModel::Rows::add(const Recordset& rs, int field) {
    rs.appendText(field, m_texts);
    endCell();
}

RegisterListModel::RegisterListModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)) {}

void RegisterListModel::setRows(Rows rows) {
    const int columns = int(m_headers.size());
    beginResetModel();
    // The old rows go in two frees, after the view has let go of them.
    m_rows = std::move(rows);
    m_rowCount = columns ? int(m_rows.cells() / columns) : 0;
    endResetModel();
}

QString RegisterListModel::text(int row, int column) const {
    const int columns = int(m_headers.size());
    if (row < 0 || row >= m_rowCount || column < 0 || column >= columns)
        return QString();
    const size_t cell = size_t(row) * size_t(columns) + size_t(column);
    const qsizetype begin = cell ? m_rows.m_ends[cell - 1] : 0;
    return m_rows.m_texts.mid(begin, m_rows.m_ends[cell] - begin);
}

int RegisterListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
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
