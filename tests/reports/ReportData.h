#pragma once

#include "platform/Database.h"

namespace zar::test {

inline const QString kGara = QStringLiteral("20240501ROMA");

// A competition with n entries of one group: bib k is ROSSIk MARIO with FIDOk, a BOXER,
// placed k in run 1 with 90 points in 00'30"00.
inline void riempiGara(Database& db, int n) {
    db.exec("INSERT INTO TblGare (CodiceGara, Gara, Localita, Giudice, Data) VALUES (?, 'Trofeo', 'Roma', "
            "'', '01/05/2024')",
            {kGara});
    Transaction tx(db);
    for (int bib = 1; bib <= n; ++bib) {
        const QString cf = QStringLiteral("CF%1").arg(bib), chip = QStringLiteral("CHIP%1").arg(bib);
        db.exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES (?, ?, 'MARIO')",
                {cf, QStringLiteral("ROSSI%1").arg(bib)});
        db.exec("INSERT INTO TblCani (Microchip, NomeCane, Razza) VALUES (?, ?, 'BOXER')",
                {chip, QStringLiteral("FIDO%1").arg(bib)});
        db.exec(
            "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, Classe, "
            "Taglia, ClassificaRun1, PunteggioRun1, TempoRun1) "
            "VALUES (?, ?, ?, ?, 'TIME', 'JUNIOR', 'SMALL', ?, 90, 0.5)",
            {kGara, bib, cf, chip, bib});
    }
    tx.commit();
}

} // namespace zar::test
