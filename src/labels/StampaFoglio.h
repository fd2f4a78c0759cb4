#pragma once

#include "labels/FoglioEtichette.h"

#include <QImage>

#include <vector>

namespace zar {

struct SharedValues;

// The logo that every bib label prints (307 x 49 pixels at 96 dpi).
QImage LogoEtichetta();

// Prints the labels on the program's printer, row after row and sheet after sheet, and ends
// the job; the last, partial row is drawn as `parziale`. Values that leave nothing to print
// are told to the user, printer faults in the "EasyPrint" box; nothing is sent then. Returns
// whether the job was sent.
bool StampaFoglioEtichette(SharedValues& shared, const std::vector<Etichetta>& etichette, const QString& gara,
                           const MisureEtichetta& m, TipoEtichetta parziale);

} // namespace zar
