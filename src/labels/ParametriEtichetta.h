#pragma once

#include <QString>

#include <array>

namespace zar {

// The ten label-sheet values, by their position in the settings section.
enum ParametroEtichetta : int {
    Etichette_Linea,      // labels per row
    Label_Height,         // mm
    Label_Width,          // mm
    Label_From_Top,       // mm
    Label_From_Left,      // mm
    Label_To_Right_Label, // mm, gap to the next label on the right
    Label_To_Down_Label,  // mm, gap to the next row
    Etichette_Colonna,    // rows per page
    Etichette_Campione,   // labels per entry
    Skip_Vuote,           // stored and shown only
    NumeroParametriEtichetta
};

// The values as texts, in the order of the section.
using ParametriStampaEtichetta = std::array<QString, NumeroParametriEtichetta>;

inline const QString kSezioneEtichetta = QStringLiteral("Parametri di Stampa Etichetta");

// The keys, in the order the readers rely on.
const std::array<QString, NumeroParametriEtichetta>& ChiaviEtichetta();

// Reads the section by position: the ten lines after an exact "[Parametri di Stampa
// Etichetta]" line are the ten values whatever keys they name (the text after the first
// "=", else the whole line); a later header line starts over. A missing file or section
// gives empty values, a file ending early leaves the rest empty.
ParametriStampaEtichetta LeggiParametriEtichetta(const QString& iniPath);

} // namespace zar
