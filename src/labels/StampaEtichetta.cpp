#include "labels/StampaEtichetta.h"

namespace zar {

namespace {
StampaEtichettaFn& sostituto() {
    static StampaEtichettaFn fn;
    return fn;
}
} // namespace

void StampaEtichetta(SharedValues& shared, int Pettorale, const QString& Gara, const QString& Conduttore,
                     const QString& Cane) {
    if (sostituto()) {
        sostituto()(shared, Pettorale, Gara, Conduttore, Cane);
        return;
    }
    // The label layout and its print come with the label-sheet work.
}

void setStampaEtichetta(StampaEtichettaFn fn) {
    sostituto() = std::move(fn);
}

} // namespace zar
