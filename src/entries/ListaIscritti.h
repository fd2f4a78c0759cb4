#pragma once

#include "entries/Selezione.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTreeView>

#include <vector>

namespace zar {

// The rows of an entries list as texts, in a model that sorts as the list's header
// clicks ask.
class ListaIscrittiModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListaIscrittiModel(QStringList intestazioni, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces the rows; they show in the given order until the next sort.
    void setRighe(std::vector<QStringList> righe);
    void clear() { setRighe({}); }
    QString testo(int row, int column) const;
    // Sorts stably by the state's column: numeric keys or text, ascending or descending.
    void ordina(const StatoOrdinamento& stato);

private:
    QStringList m_intestazioni;
    std::vector<QStringList> m_righe;
};

// A list view in report view over a ListaIscrittiModel, sorting on header clicks by the
// member's rule. Column widths are given in twips.
class ListaIscritti : public QTreeView {
    Q_OBJECT
public:
    ListaIscritti(const QList<ColonnaLista>& colonne, OrdinamentoColonne regola, QWidget* parent = nullptr);
    ListaIscrittiModel* modello() const { return m_model; }
    void setRighe(std::vector<QStringList> righe);
    const StatoOrdinamento& stato() const { return m_stato; }
    // The header click (ColumnClick).
    void clicIntestazione(int colonna);

    static int twipsToPixels(int twips) { return twips / 15; }

private:
    ListaIscrittiModel* m_model;
    OrdinamentoColonne m_regola;
    StatoOrdinamento m_stato;
};

} // namespace zar
