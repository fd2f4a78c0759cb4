#pragma once

// Entries of ranking groups written straight into a test database, and their places read back.
#include "platform/Database.h"

#include <QString>

#include <array>
#include <optional>

namespace zar::test {

using Num = std::optional<double>;
using Places = std::array<Num, 3>; // run 1, run 2, combined

struct Results {
    Num p1, t1, p2, t2, pc, tc;
    Places before{77, 77, 77}; // places stored before the ranking
};

struct Group {
    QString gara = QStringLiteral("20240512Sant'Angelo");
    QString categoria = QStringLiteral("TIME");
    QString classe = QStringLiteral("JUNIOR");
    QString taglia = QStringLiteral("SMALL");
};

inline QVariant toVariant(const Num& n) {
    return n ? QVariant(*n) : QVariant();
}

inline Num toNum(const QVariant& v) {
    return v.isNull() ? Num() : Num(v.toDouble());
}

inline void addEntry(Database& db, const Group& g, int bib, const Results& r) {
    db.exec(QStringLiteral(
                "INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, Categoria, "
                "Classe, Taglia, PunteggioRun1, TempoRun1, ClassificaRun1, PunteggioRun2, TempoRun2, "
                "ClassificaRun2, PunteggioCombinata, TempoCombinata, ClassificaCombinata) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {g.gara, bib, QStringLiteral("CF%1").arg(bib), QStringLiteral("CHIP%1").arg(bib), g.categoria,
             g.classe, g.taglia, toVariant(r.p1), toVariant(r.t1), toVariant(r.before[0]), toVariant(r.p2),
             toVariant(r.t2), toVariant(r.before[1]), toVariant(r.pc), toVariant(r.tc),
             toVariant(r.before[2])});
}

inline Places placesOf(Database& db, const QString& gara, int bib) {
    Statement st(
        db, QStringLiteral("SELECT ClassificaRun1, ClassificaRun2, ClassificaCombinata FROM TblIscrizioni "
                           "WHERE CodiceGara = ? AND Pettorale = ?"));
    st.bindAll({gara, bib});
    if (!st.step())
        return {};
    return {toNum(st.column(0)), toNum(st.column(1)), toNum(st.column(2))};
}

} // namespace zar::test
