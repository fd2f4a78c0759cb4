#pragma once

#include <QString>

#include <array>

namespace zar {

class Database;

// The entries ranked together: one competition, category, class and size, as the
// selection boxes hold them.
struct GruppoClassifica {
    QString CodiceGara;
    QString Categoria;
    QString Classe;
    QString Taglia;
};

// Markers stored instead of a place; larger than any real place, so they sort last.
inline constexpr int PostoFuoriTempo = 9990;      // run time over the class limit
inline constexpr int PostoNonClassificato = 9999; // points not above 0, or a marked run

// Run time limits in minutes, element 0 for "DEBUTTANTI" to 3 for "BIG"; 0 = not set.
using TempoLimite = std::array<double, 4>;

// Reads the four limits of section "Impostazione Limiti Gara" of the settings file;
// a missing file, key or value gives 0; a file that cannot be read throws IniError.
TempoLimite LeggiTempiLimite(const QString& iniFileName);

// Recomputes and stores the run 1, run 2 and combined places of every entry of the
// group, all in one transaction: on failure every old place stays and DbError is thrown.
void CalcolaClassifiche(Database& db, const GruppoClassifica& gruppo, const TempoLimite& limiti);

} // namespace zar
