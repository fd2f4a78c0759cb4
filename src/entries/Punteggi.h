#pragma once

#include "entries/Ranking.h"

#include <QString>

#include <optional>

namespace zar {

class Database;

// The scores form's entry boxes as typed, and the chosen run (1 or 2).
struct BoxPunteggi {
    int run = 1;
    QString punti1, tempo1, punti2, tempo2;
};

// What one save writes into the entry.
struct ValoriPunteggio {
    int run = 1;
    double punteggio = 0; // the chosen run's points; 0 when not above 0
    double tempo = 0;     // its time in minutes; 0 when the points are not above 0
    // Written only when both points boxes hold text.
    std::optional<double> punteggioCombinata; // sum rounded to whole, halves to even; 0 unless both > 0
    std::optional<double> tempoCombinata;     // minutes; 0 unless both > 0 and both times typed
};

ValoriPunteggio CalcolaPunteggio(const BoxPunteggi& box);

// Finds the entry by competition and bib; when found, writes the result and recomputes
// the group's places, all in one transaction, and returns true. Not found: writes
// nothing and returns false.
bool SalvaPunteggio(Database& db, const QString& codiceGara, const QString& pettorale, const BoxPunteggi& box,
                    const GruppoClassifica& gruppo, const TempoLimite& limiti);

} // namespace zar
