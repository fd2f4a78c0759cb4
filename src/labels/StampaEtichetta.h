#pragma once

#include <QString>

#include <functional>

namespace zar {

struct SharedValues;

// Prints the labels of one entry: bib, competition name, handler and dog as given.
void StampaEtichetta(SharedValues& shared, int Pettorale, const QString& Gara, const QString& Conduttore,
                     const QString& Cane);

// Replaces what StampaEtichetta does (tests record the calls); an empty function
// restores the built-in print.
using StampaEtichettaFn =
    std::function<void(SharedValues&, int, const QString&, const QString&, const QString&)>;
void setStampaEtichetta(StampaEtichettaFn fn);

} // namespace zar
