#pragma once

#include "entries/Iscrizioni.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zar {

// How a list sorts on a header click.
enum class OrdinamentoColonne {
    Nessuno,  // no header-click sorting
    Testo,    // the clicked column, as text, never reversed
    Numerico, // same column reverses; first and seventh columns by number (SortNumeric)
};

// The list's current sort: the column (-1 = none yet) and whether it is descending.
struct StatoOrdinamento {
    int colonna = -1;
    bool discendente = false;
    bool numerico = false; // the sort compares SortNumeric keys
};

// The new sort state after a click on column `colonna` (0-based).
StatoOrdinamento ClicIntestazione(OrdinamentoColonne regola, StatoOrdinamento stato, int colonna);

// The key that SortNumeric sorts by: the text cut to 10 characters and right-aligned in
// 10 with blanks, so whole numbers of up to 10 digits sort by value.
QString ChiaveNumerica(const QString& text);

// Compares two cells as the list's automatic sort does (text, without regard to case).
int ConfrontaTesti(const QString& a, const QString& b);

// One cell's text of an entry in a list (column from 0).
using TestoCella = std::function<QString(const RigaIscritto&, int colonna)>;

struct ColonnaLista {
    QString intestazione;
    int larghezza; // twips; 0 = the rest of the list's width
};

// One member of the selection panel family: everything in which the members differ.
struct MembroSelezione {
    enum class Filtri {
        Tutti,        // all four boxes must hold text, or nothing is listed
        GaraPoiAltri, // the competition is needed; category, class, size filter when not empty
        SoloGara,     // the form has the competition box alone
    };
    enum class Stampa {
        Nessuna,    // no printing
        TreScelti,  // at any box's loss of focus: enabled when category, class, size all hold text
        OgniUscita, // enabled at every box's loss of focus
        UscitaGara, // enabled when the competition box is left or an offered competition accepted
    };
    QString nome; // the form's name, for reading
    Filtri filtri = Filtri::Tutti;
    // The list's order; a member may decide at load time (the rankings by their run option).
    // Unset: by bib.
    std::function<OrdineIscritti()> ordine;
    QString domanda; // second line of the offer of the last competition
    Stampa stampa = Stampa::Nessuna;
    OrdinamentoColonne ordinamento = OrdinamentoColonne::Nessuno;
    bool saltaIntestazioneVuota = false; // an empty competition text looks nothing up
    // The rows carry CodiceFiscale, Microchip, Categoria, Classe and Taglia (off: the
    // list shows none of them, so they are not read).
    bool campiIscrizione = true;
    bool razza = false; // the rows carry the dog's breed
    QList<ColonnaLista> colonne;
    std::function<QStringList(const RigaIscritto&)> celle; // one row's texts, in column order
    TestoCella cella; // one cell's text; when set, the list uses it instead of celle
};

// How the member's list shows a cell: its `cella`, else the cell of its `celle`, else the
// bib in the first column.
TestoCella CellaDelMembro(const MembroSelezione& membro);

// The selection boxes as they stand.
struct Selezione {
    QString CodiceGara, Categoria, Classe, Taglia;
};

// The list's filter for a selection, or nothing when the member lists nothing for it.
std::optional<FiltroIscritti> FiltroPerSelezione(const MembroSelezione& membro, const Selezione& sel);

// Whether the member's print button is enabled after `indice` lost the focus; nothing
// when the member leaves it as it is.
std::optional<bool> StampaAbilitata(const MembroSelezione& membro, const Selezione& sel, int indice);

// The question of the offer: "Ultime iscrizioni fatte per la gara : " code, LF CR, question.
QString DomandaUltimaGara(const QString& codice, const QString& domanda);
QString GaraNonTrovata(const QString& codice);

// The members. The scores form's configuration is complete; the others carry the
// rules of their family and get their columns with their forms.
const MembroSelezione& MembroClassifica();
MembroSelezione MembroReportPartenza();
MembroSelezione MembroReportClassifica(std::function<OrdineIscritti()> ordine);
MembroSelezione MembroPrintPettorali();
MembroSelezione MembroReportIscritti();

// The cells the lists of entries start with: 0 bib, 1 handler, 2 dog, 3 category, 4 class,
// 5 size; empty for any other column.
QString CellaIscritto(const RigaIscritto& r, int colonna);
// The scores list's result cells: empty when Null, times as FormatTempo shows them.
QStringList CelleRisultati(const RigaIscritto& r);
// One of them: `risultato` is a RigaIscritto::Risultato.
QString TestoRisultato(const RigaIscritto& r, int risultato);

} // namespace zar
