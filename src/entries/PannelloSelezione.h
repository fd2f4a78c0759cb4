#pragma once

#include "entries/ListaIscritti.h"
#include "entries/Selezione.h"

#include <QEvent>
#include <QObject>

#include <array>
#include <memory>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QWidget;

namespace zar {

struct SharedValues;

// The selection panel shared by the scores, start order, rankings, bib printing and
// entrants forms: the competition, category, class and size boxes, the competition
// header, the list of the selection's entries and its count. The member's configuration
// holds everything in which the forms differ; the form lays the widgets out.
class PannelloSelezione : public QObject {
    Q_OBJECT
public:
    PannelloSelezione(SharedValues& shared, MembroSelezione membro, QWidget* form);

    // Cmb_Field 0 to 3 (the entrants form has index 0 only).
    QComboBox* box(int indice) const { return Cmb_Field[size_t(indice)]; }
    int numeroBox() const { return m_numeroBox; }
    QGroupBox* fra_ci = nullptr; // "Dati Gara": boxes and header
    QLabel* Lbl_Gara = nullptr;
    QLabel* Lbl_Localita = nullptr;
    QLabel* Lbl_Giudice = nullptr;
    QLabel* Lbl_Data = nullptr;
    QLabel* LblNumRecords = nullptr;
    QLabel* etichettaNumero = nullptr; // "Numero Iscritti :"
    ListaIscritti* LstInsRisultati = nullptr;

    Selezione selezione() const;
    // The selection whose entries the list shows (the boxes may have changed since).
    const Selezione& selezioneLista() const { return m_selezioneLista; }
    // The load: fills the boxes, reads the last competition and lists.
    void carica();
    void CaricaLista();
    void ProponiUltimaGara();
    // The rows of the list as last loaded, in the query's order.
    const std::vector<RigaIscritto>& righe() const { return LstInsRisultati->modello()->iscritti(); }

signals:
    void stampaAbilitata(bool enabled);
    void listaCaricata();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Cmb_Field_GotFocus(int indice);
    void Cmb_Field_LostFocus(int indice);
    void mostraIntestazione(const QString& codice);
    void aggiornaStampa(int indice);
    bool clicDaTrattenere(QEvent* event);
    void rimandaClic(bool boxMostrato);

    SharedValues& m_shared;
    MembroSelezione m_membro;
    TestoCella m_cella;
    Selezione m_selezioneLista;
    QWidget* m_form;
    std::array<QComboBox*, 4> Cmb_Field{};
    int m_numeroBox = 4;
    // Leave handlers queued and not yet run; a press on the list meanwhile, with the mouse
    // events after it, waits for them and then acts on the list they reloaded.
    int m_usciteInAttesa = 0;
    bool m_boxInUscita = false; // a leave handler showed a message box
    std::vector<std::unique_ptr<QEvent>> m_clicTrattenuti;
};

} // namespace zar
