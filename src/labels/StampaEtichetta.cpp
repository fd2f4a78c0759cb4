#include "labels/StampaEtichetta.h"

#include "frame/SharedValues.h"

namespace zar {

void StampaEtichetta(SharedValues& shared, int Pettorale, const QString& Gara, const QString& Conduttore,
                     const QString& Cane) {
    if (shared.stampaEtichetta) {
        shared.stampaEtichetta(shared, Pettorale, Gara, Conduttore, Cane);
        return;
    }
    // The label layout and its print come with the label-sheet work.
}

} // namespace zar
