#pragma once

#include <QString>

namespace zar {

struct SharedValues;

// Prints the labels of one entry (Etichette_Campione of them, from the settings file): bib,
// competition name, handler and dog as given. A test stand-in on
// shared.stampaEtichetta takes the call instead.
void StampaEtichetta(SharedValues& shared, int Pettorale, const QString& Gara, const QString& Conduttore,
                     const QString& Cane);

} // namespace zar
