#include "entries/Punteggi.h"

#include "entries/RunTime.h"
#include "platform/Database.h"

#include <cmath>

namespace zar {

ValoriPunteggio CalcolaPunteggio(const BoxPunteggi& box) {
    const double p1 = ValoreNumerico(box.punti1);
    const double p2 = ValoreNumerico(box.punti2);
    const double t1 = box.tempo1.isEmpty() ? 0 : TempoDaTesto(box.tempo1);
    const double t2 = box.tempo2.isEmpty() ? 0 : TempoDaTesto(box.tempo2);
    const bool entrambi = p1 > 0 && p2 > 0;

    ValoriPunteggio v;
    v.run = box.run == 2 ? 2 : 1;
    const double p = v.run == 1 ? p1 : p2;
    const double t = v.run == 1 ? t1 : t2;
    v.punteggio = p > 0 ? p : 0;
    v.tempo = p > 0 ? t : 0;
    if (!box.punti1.isEmpty() && !box.punti2.isEmpty()) {
        v.punteggioCombinata = entrambi ? std::nearbyint(p1 + p2) : 0.0; // default rounding: halves to even
        const bool tempi = !box.tempo1.isEmpty() && !box.tempo2.isEmpty();
        v.tempoCombinata = entrambi && tempi ? t1 + t2 : 0.0;
    }
    return v;
}

bool SalvaPunteggio(Database& db, const QString& codiceGara, const QString& pettorale, const BoxPunteggi& box,
                    const GruppoClassifica& gruppo, const TempoLimite& limiti) {
    if (pettorale.isEmpty())
        return false;
    Transaction tx(db);
    const QVariant rowid = db.scalar(
        QStringLiteral("SELECT rowid FROM TblIscrizioni WHERE CodiceGara = ? AND Pettorale = ? LIMIT 1"),
        {codiceGara, pettorale});
    if (rowid.isNull())
        return false;
    const ValoriPunteggio v = CalcolaPunteggio(box);
    const QString run = QString::number(v.run);
    QString sql = QStringLiteral("UPDATE TblIscrizioni SET PunteggioRun%1 = ?, TempoRun%1 = ?").arg(run);
    QVariantList params{v.punteggio, v.tempo};
    if (v.punteggioCombinata) {
        sql += QStringLiteral(", PunteggioCombinata = ?, TempoCombinata = ?");
        params << *v.punteggioCombinata << *v.tempoCombinata;
    }
    sql += QStringLiteral(" WHERE rowid = ?");
    params << rowid;
    db.exec(sql, params);
    CalcolaClassifiche(db, gruppo, limiti);
    tx.commit();
    return true;
}

} // namespace zar
