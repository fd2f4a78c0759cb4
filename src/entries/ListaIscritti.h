#pragma once

#include "entries/Selezione.h"
#include "frame/ListLook.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTreeView>

#include <vector>

namespace zar {

// The rows of an entries list, in a model that sorts as the list's header clicks ask.
// Rows are either ready texts or entries whose texts are made when the view asks for a
// cell, so a long list costs only its query until it is scrolled or sorted.
class ListaIscrittiModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListaIscrittiModel(QStringList intestazioni, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // On: a check box in front of every row. A tick stays with its row through sorts and
    // goes with a reload.
    void setSpuntabile(bool on) { m_spuntabile = on; }
    bool spuntabile() const { return m_spuntabile; }
    bool spuntata(int row) const;

    // Replaces the rows; they show in the given order until the next sort.
    void setRighe(std::vector<QStringList> righe);
    void setIscritti(std::vector<RigaIscritto> iscritti, TestoCella cella);
    void clear() { setRighe({}); }
    // The entries as last set, in their given order whatever the sort.
    const std::vector<RigaIscritto>& iscritti() const { return m_iscritti; }
    QString testo(int row, int column) const;
    // Sorts stably by the state's column: numeric keys or text, ascending or descending.
    void ordina(const StatoOrdinamento& stato);

private:
    void sostituisci(std::vector<QStringList> testi, std::vector<RigaIscritto> iscritti, TestoCella cella);
    QString testoSalvato(size_t riga, int column) const;

    QStringList m_intestazioni;
    std::vector<QStringList> m_testi;     // ready texts, or
    std::vector<RigaIscritto> m_iscritti; // entries shown through m_cella
    TestoCella m_cella;
    std::vector<int> m_ordine; // shown row -> stored row
    bool m_spuntabile = false;
    std::vector<char> m_spunte; // by stored row
};

// A list view in report view over a ListaIscrittiModel, sorting on header clicks by the
// member's rule; a reload keeps the sort. Column widths are given in twips.
class ListaIscritti : public QTreeView {
    Q_OBJECT
public:
    ListaIscritti(const QList<ColonnaLista>& colonne, OrdinamentoColonne regola, QWidget* parent = nullptr);
    ListaIscrittiModel* modello() const { return m_model; }
    void setRighe(std::vector<QStringList> righe);
    void setIscritti(std::vector<RigaIscritto> iscritti, TestoCella cella);
    const StatoOrdinamento& stato() const { return m_stato; }
    // The header click (ColumnClick).
    void clicIntestazione(int colonna);
    // On: a click on the selected row or F2 reports the start of a label edit
    // (BeforeLabelEdit); the list itself stays read-only.
    void setAvvisoModifica(bool on) { m_avvisoModifica = on; }

signals:
    void inizioModifica();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void riordina();

    ListaIscrittiModel* m_model;
    OrdinamentoColonne m_regola;
    StatoOrdinamento m_stato;
    bool m_avvisoModifica = false;
};

} // namespace zar
