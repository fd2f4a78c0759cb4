#pragma once

#include <QString>

namespace zar {

struct SharedValues;

// Prints the labels of one entry: bib, competition name, handler and dog as given
// (shared.stampaEtichetta, when a test sets it, records the call instead).
void StampaEtichetta(SharedValues& shared, int Pettorale, const QString& Gara, const QString& Conduttore,
                     const QString& Cane);

} // namespace zar
