#include "entries/Iscrizioni.h"

#include "platform/Database.h"

#include <QStringList>

#include <algorithm>
#include <iterator>

namespace zar {

std::vector<RigaIscritto> LeggiIscritti(Database& db, const FiltroIscritti& filtro) {
    QStringList where;
    QVariantList params;
    const auto add = [&](const char* field, const std::optional<QString>& value) {
        if (value) {
            where << QStringLiteral("i.%1 = ?").arg(QLatin1String(field));
            params << *value;
        }
    };
    add("CodiceGara", filtro.CodiceGara);
    add("Categoria", filtro.Categoria);
    add("Classe", filtro.Classe);
    add("Taglia", filtro.Taglia);

    // Columns read for every list; the others only when the filter asks for them.
    QString sql = QStringLiteral("SELECT i.Pettorale, c.rowid, c.Cognome, c.Nome, k.NomeCane");
    const bool campi = filtro.campiIscrizione;
    if (campi)
        sql += QStringLiteral(", i.CodiceFiscale, i.Microchip");
    if (campi && filtro.risultati)
        sql += QStringLiteral(", i.Categoria, i.Classe, i.Taglia");
    if (filtro.razza)
        sql += QStringLiteral(", k.Razza");
    if (filtro.risultati)
        sql += QStringLiteral(", i.PunteggioRun1, i.TempoRun1, i.ClassificaRun1, "
                              "i.PunteggioRun2, i.TempoRun2, i.ClassificaRun2, i.PunteggioCombinata, "
                              "i.TempoCombinata, i.ClassificaCombinata");
    sql += QStringLiteral(" FROM TblIscrizioni i "
                          "LEFT JOIN TblConduttori c ON c.CodiceFiscale = i.CodiceFiscale "
                          "LEFT JOIN TblCani k ON k.Microchip = i.Microchip");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    // By OrdineIscritti; ties keep the order of entry.
    static const char* const kOrdine[] = {"", "i.Pettorale, ", "i.ClassificaRun1, ", "i.ClassificaRun2, ",
                                          "i.ClassificaCombinata, "};
    static_assert(std::size(kOrdine) == size_t(OrdineIscritti::ClassificaCombinata) + 1);
    sql += QStringLiteral(" ORDER BY %1i.rowid").arg(QLatin1String(kOrdine[int(filtro.ordine)]));

    std::vector<RigaIscritto> rows;
    Statement st(db, sql);
    st.bindAll(params);
    while (st.step()) {
        RigaIscritto& r = rows.emplace_back();
        int c = 0;
        r.Pettorale = st.columnText(c++);
        if (!st.isNull(c++)) {
            const QString cognome = st.columnText(c), nome = st.columnText(c + 1);
            r.Conduttore.reserve(cognome.size() + 1 + nome.size());
            r.Conduttore.append(cognome).append(u' ').append(nome);
        }
        c += 2;
        r.NomeCane = st.columnText(c++);
        if (campi) {
            r.CodiceFiscale = st.columnText(c++);
            r.Microchip = st.columnText(c++);
        }
        if (campi && filtro.risultati) {
            r.Categoria = st.columnText(c++);
            r.Classe = st.columnText(c++);
            r.Taglia = st.columnText(c++);
        }
        if (filtro.razza)
            r.Razza = st.columnText(c++);
        if (filtro.risultati) {
            for (QVariant& v : r.risultati)
                v = st.column(c++);
        }
    }
    return rows;
}

std::optional<Conduttore> TrovaConduttore(Database& db, const QString& codiceFiscale) {
    Statement st(db, QStringLiteral("SELECT CodiceFiscale, Cognome, Nome, TesseraCIS FROM TblConduttori "
                                    "WHERE CodiceFiscale = ?"));
    st.bind(1, codiceFiscale.toUpper());
    if (!st.step())
        return std::nullopt;
    return Conduttore{st.column(0).toString(), st.column(1).toString(), st.column(2).toString(),
                      st.column(3).toString()};
}

std::optional<Cane> TrovaCane(Database& db, const QString& microchip) {
    Statement st(
        db, QStringLiteral("SELECT Microchip, NomeCane, Razza, Taglia FROM TblCani WHERE Microchip = ?"));
    st.bind(1, microchip.toUpper());
    if (!st.step())
        return std::nullopt;
    return Cane{st.column(0).toString(), st.column(1).toString(), st.column(2).toString(),
                st.column(3).toString()};
}

int ProssimoPettorale(Database& db, const QString& codiceGara, int numPettorale) {
    const QVariant max = db.scalar(
        QStringLiteral("SELECT MAX(Pettorale) FROM TblIscrizioni WHERE CodiceGara = ?"), {codiceGara});
    const int highest = max.isNull() ? 0 : max.toInt();
    return std::max(highest, numPettorale) + 1;
}

bool PettoraleUsato(Database& db, const QString& codiceGara, int pettorale) {
    return !db.scalar(QStringLiteral("SELECT 1 FROM TblIscrizioni WHERE CodiceGara = ? AND Pettorale = ?"),
                      {codiceGara, pettorale})
                .isNull();
}

bool CaneIscritto(Database& db, const QString& codiceGara, const QString& microchip) {
    return !db.scalar(QStringLiteral("SELECT 1 FROM TblIscrizioni WHERE CodiceGara = ? AND Microchip = ?"),
                      {codiceGara, microchip})
                .isNull();
}

void SalvaIscrizione(Database& db, const NuovaIscrizione& d) {
    if (d.Pettorale < 0 || d.Pettorale > kPettoraleMassimo)
        throw IscrizioneRifiutata(kPettoraleFuoriLimiti);
    Transaction tx(db);
    // The form's own checks ran when the boxes were left; check again here, where it counts.
    if (PettoraleUsato(db, d.CodiceGara, d.Pettorale))
        throw IscrizioneRifiutata(kPettoraleUsato);
    if (CaneIscritto(db, d.CodiceGara, d.cane.Microchip))
        throw IscrizioneRifiutata(kCaneIscritto);
    if (!TrovaConduttore(db, d.conduttore.CodiceFiscale)) {
        db.exec(QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome, TesseraCIS) "
                               "VALUES (?, ?, ?, ?)"),
                {d.conduttore.CodiceFiscale.toUpper(), d.conduttore.Cognome.toUpper(),
                 d.conduttore.Nome.toUpper(), d.conduttore.TesseraCIS.toUpper()});
    }
    if (!TrovaCane(db, d.cane.Microchip)) {
        db.exec(
            QStringLiteral("INSERT INTO TblCani (Microchip, NomeCane, Razza, Taglia) VALUES (?, ?, ?, ?)"),
            {d.cane.Microchip.toUpper(), d.cane.NomeCane.toUpper(), d.cane.Razza.toUpper(),
             d.cane.Taglia.toUpper()});
    }
    db.exec(QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            {d.CodiceGara, d.Pettorale, d.conduttore.CodiceFiscale, d.cane.Microchip, d.Categoria, d.Classe,
             d.Taglia});
    tx.commit();
}

int EliminaIscrizione(Database& db, const QString& codiceGara, const QString& pettorale) {
    Transaction tx(db);
    // One entry only, as the record set deleted its first record.
    const int n = db.exec(QStringLiteral("DELETE FROM TblIscrizioni WHERE rowid = (SELECT rowid FROM "
                                         "TblIscrizioni WHERE CodiceGara = ? AND Pettorale = ? LIMIT 1)"),
                          {codiceGara, pettorale});
    tx.commit();
    return n;
}

} // namespace zar
