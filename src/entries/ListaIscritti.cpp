#include "entries/ListaIscritti.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>
#include <numeric>

namespace zar {

ListaIscrittiModel::ListaIscrittiModel(QStringList intestazioni, QObject* parent)
    : QAbstractTableModel(parent), m_intestazioni(std::move(intestazioni)) {}

int ListaIscrittiModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_ordine.size());
}

int ListaIscrittiModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_intestazioni.size());
}

QVariant ListaIscrittiModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return testo(index.row(), index.column());
    if (role == Qt::CheckStateRole && m_spuntabile && index.column() == 0)
        return spuntata(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

Qt::ItemFlags ListaIscrittiModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_spuntabile && index.isValid() && index.column() == 0)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

bool ListaIscrittiModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!m_spuntabile || role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 ||
        index.row() >= rowCount())
        return false;
    m_spunte[size_t(m_ordine[size_t(index.row())])] = value.toInt() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

bool ListaIscrittiModel::spuntata(int row) const {
    return row >= 0 && row < rowCount() && m_spunte[size_t(m_ordine[size_t(row)])];
}

QVariant ListaIscrittiModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < m_intestazioni.size())
        return m_intestazioni.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ListaIscrittiModel::setRighe(std::vector<QStringList> righe) {
    sostituisci(std::move(righe), {}, {});
}

void ListaIscrittiModel::setIscritti(std::vector<RigaIscritto> iscritti, TestoCella cella) {
    sostituisci({}, std::move(iscritti), std::move(cella));
}

void ListaIscrittiModel::sostituisci(std::vector<QStringList> testi, std::vector<RigaIscritto> iscritti,
                                     TestoCella cella) {
    beginResetModel();
    m_testi = std::move(testi);
    m_iscritti = std::move(iscritti);
    m_cella = std::move(cella);
    m_ordine.resize(m_cella ? m_iscritti.size() : m_testi.size());
    std::iota(m_ordine.begin(), m_ordine.end(), 0);
    m_spunte.assign(m_ordine.size(), 0);
    endResetModel();
}

QString ListaIscrittiModel::testoSalvato(size_t riga, int column) const {
    if (column < 0 || column >= columnCount())
        return {};
    if (m_cella)
        return m_cella(m_iscritti[riga], column);
    const QStringList& r = m_testi[riga];
    return column < r.size() ? r.at(column) : QString();
}

QString ListaIscrittiModel::testo(int row, int column) const {
    if (row < 0 || row >= rowCount())
        return {};
    return testoSalvato(size_t(m_ordine[size_t(row)]), column);
}

void ListaIscrittiModel::ordina(const StatoOrdinamento& stato) {
    if (stato.colonna < 0 || stato.colonna >= columnCount())
        return;
    // Each key once, indexed by stored row: the comparisons only compare.
    std::vector<QString> chiavi(m_ordine.size());
    for (size_t k = 0; k < chiavi.size(); ++k) {
        const QString t = testoSalvato(k, stato.colonna);
        chiavi[k] = stato.numerico ? ChiaveNumerica(t) : t;
    }
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    const std::vector<int> prima = m_ordine;
    // Stable from the rows as shown, so ties keep their current order.
    std::stable_sort(m_ordine.begin(), m_ordine.end(), [&](int a, int b) {
        const int cmp = ConfrontaTesti(chiavi[size_t(a)], chiavi[size_t(b)]);
        return stato.discendente ? cmp > 0 : cmp < 0;
    });
    std::vector<int> rigaDopo(m_ordine.size());
    for (size_t i = 0; i < m_ordine.size(); ++i)
        rigaDopo[size_t(m_ordine[i])] = int(i);
    QModelIndexList after;
    for (const QModelIndex& idx : before)
        after << index(rigaDopo[size_t(prima[size_t(idx.row())])], idx.column());
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
    PreparaLista(this);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(regola != OrdinamentoColonne::Nessuno);
    QList<int> larghezze;
    for (const ColonnaLista& c : colonne)
        larghezze << c.larghezza;
    larghezze.removeLast(); // the last column takes the rest
    LarghezzeColonne(this, larghezze);
    connect(header(), &QHeaderView::sectionClicked, this, &ListaIscritti::clicIntestazione);
}

void ListaIscritti::setRighe(std::vector<QStringList> righe) {
    m_model->setRighe(std::move(righe));
    riordina();
}

void ListaIscritti::setIscritti(std::vector<RigaIscritto> iscritti, TestoCella cella) {
    m_model->setIscritti(std::move(iscritti), std::move(cella));
    riordina();
}

void ListaIscritti::riordina() {
    // A rebuilt list keeps the last header click's sort: shown and printed in that order.
    if (m_stato.colonna < 0)
        return;
    m_model->ordina(m_stato);
    header()->setSortIndicatorShown(true);
    header()->setSortIndicator(m_stato.colonna,
                               m_stato.discendente ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ListaIscritti::clicIntestazione(int colonna) {
    if (m_regola == OrdinamentoColonne::Nessuno)
        return;
    m_stato = ClicIntestazione(m_regola, m_stato, colonna);
    riordina();
}

void ListaIscritti::keyPressEvent(QKeyEvent* event) {
    // Space ticks the current row wherever the focus is in it, not only on the check box.
    const QModelIndex current = currentIndex();
    if (m_model->spuntabile() && current.isValid() && event->modifiers() == Qt::NoModifier &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select)) {
        const QModelIndex casella = m_model->index(current.row(), 0);
        m_model->setData(casella, m_model->spuntata(current.row()) ? Qt::Unchecked : Qt::Checked,
                         Qt::CheckStateRole);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

bool ListaIscritti::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    // An edited bib would send a later save to another entry: report the start, open no editor.
    if (m_avvisoModifica && index.isValid() && (trigger == SelectedClicked || trigger == EditKeyPressed)) {
        emit inizioModifica();
        return false;
    }
    return QTreeView::edit(index, trigger, event);
}

} // namespace zar
