#include "labels/StampaEtichetta.h"

#include "frame/SharedValues.h"
#include "labels/StampaFoglio.h"

namespace zar {

void StampaEtichetta(SharedValues& shared, int Pettorale, const QString& Gara, const QString& Conduttore,
                     const QString& Cane) {
    if (shared.stampaEtichetta) {
        shared.stampaEtichetta(shared, Pettorale, Gara, Conduttore, Cane);
        return;
    }
    const MisureEtichetta m = MisureEtichetta::da(LeggiParametriEtichetta(shared.iniPath()));
    StampaFoglioEtichette(shared,
                          EtichetteIscritto(QString::number(Pettorale), Conduttore, Cane, m.perCodice), Gara,
                          m, TipoEtichetta::RigaParziale);
}

} // namespace zar
