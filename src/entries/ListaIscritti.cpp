#include "entries/ListaIscritti.h"

#include <QHeaderView>

#include <algorithm>

namespace zar {

ListaIscrittiModel::ListaIscrittiModel(QStringList intestazioni, QObject* parent)
    : QAbstractTableModel(parent), m_intestazioni(std::move(intestazioni)) {}

int ListaIscrittiModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_righe.size());
}

int ListaIscrittiModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_intestazioni.size());
}

QVariant ListaIscrittiModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return testo(index.row(), index.column());
    return {};
}

QVariant ListaIscrittiModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_intestazioni.size())
        return m_intestazioni.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ListaIscrittiModel::setRighe(std::vector<QStringList> righe) {
    beginResetModel();
    m_righe = std::move(righe);
    endResetModel();
}

QString ListaIscrittiModel::testo(int row, int column) const {
    if (row < 0 || row >= int(m_righe.size()))
        return {};
    const QStringList& r = m_righe[size_t(row)];
    return column >= 0 && column < r.size() ? r.at(column) : QString();
}

void ListaIscrittiModel::ordina(const StatoOrdinamento& stato) {
    if (stato.colonna < 0 || stato.colonna >= columnCount())
        return;
    const int c = stato.colonna;
    const auto chiave = [&](const QStringList& r) {
        const QString t = c < r.size() ? r.at(c) : QString();
        return stato.numerico ? ChiaveNumerica(t) : t;
    };
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<QStringList> old = m_righe;
    std::vector<int> order(m_righe.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int cmp = ConfrontaTesti(chiave(old[size_t(a)]), chiave(old[size_t(b)]));
        return stato.discendente ? cmp > 0 : cmp < 0;
    });
    std::vector<int> newRow(order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        m_righe[i] = old[size_t(order[i])];
        newRow[size_t(order[i])] = int(i);
    }
    QModelIndexList after;
    for (const QModelIndex& idx : before)
        after << index(newRow[size_t(idx.row())], idx.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

ListaIscritti::ListaIscritti(const QList<ColonnaLista>& colonne, OrdinamentoColonne regola, QWidget* parent)
    : QTreeView(parent), m_regola(regola) {
    QStringList intestazioni;
    for (const ColonnaLista& c : colonne)
        intestazioni << c.intestazione;
    m_model = new ListaIscrittiModel(intestazioni, this);
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(true);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(regola != OrdinamentoColonne::Nessuno);
    // The widths in twips were chosen for a smaller font: never narrower than a shown time.
    const int minimo = fontMetrics().horizontalAdvance(QStringLiteral("00'00\"00")) + 14;
    for (int i = 0; i < colonne.size(); ++i) {
        if (colonne[i].larghezza > 0)
            header()->resizeSection(i, std::max(twipsToPixels(colonne[i].larghezza), minimo));
    }
    connect(header(), &QHeaderView::sectionClicked, this, &ListaIscritti::clicIntestazione);
}

void ListaIscritti::setRighe(std::vector<QStringList> righe) {
    // A rebuilt list shows the query's order until the next header click.
    m_model->setRighe(std::move(righe));
    header()->setSortIndicatorShown(false);
}

void ListaIscritti::clicIntestazione(int colonna) {
    if (m_regola == OrdinamentoColonne::Nessuno)
        return;
    m_stato = ClicIntestazione(m_regola, m_stato, colonna);
    m_model->ordina(m_stato);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(m_stato.colonna,
                               m_stato.discendente ? Qt::DescendingOrder : Qt::AscendingOrder);
}

} // namespace zar
