#include "entries/Ranking.h"

#include "entries/RunTime.h"
#include "frame/IniReadWrite.h"
#include "platform/Database.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace zar {

namespace {

const QString kTime = QStringLiteral("TIME");
const QString kNoTime = QStringLiteral("NO TIME");

enum Graduatoria { Run1 = 0, Run2 = 1, Combinata = 2 };

// A numeric field as read: Null, or an empty text in a numeric column, has no value.
using Numero = std::optional<double>;

Numero numero(const QVariant& v) {
    if (v.isNull())
        return std::nullopt;
    if (v.typeId() == QMetaType::QString && v.toString().isEmpty())
        return std::nullopt;
    return v.toDouble();
}

// Tie test of stored values: exact, and a missing value never ties.
bool pari(const Numero& a, const Numero& b) {
    return a && b && *a == *b;
}

bool marcato(const Numero& posto) {
    return posto && (*posto == PostoFuoriTempo || *posto == PostoNonClassificato);
}

// Counts the counted entries of one ranking: tied entries share the place of the first
// of them and the count goes on behind them (1, 2, 2, 4).
class Contatore {
public:
    int posto(bool tieWithPrevious) {
        ++m_contati;
        if (!tieWithPrevious)
            m_ultimo = m_contati;
        return m_ultimo;
    }

private:
    int m_contati = 0;
    int m_ultimo = 0;
};

// The three rankings of one group, computed in memory and written at the end, one
// UPDATE per entry, so that the caller's transaction holds one short burst of writes.
class Calcolo {
public:
    Calcolo(Database& db, const GruppoClassifica& g, const TempoLimite& limiti) : m_db(db), m_g(g) {
        const qsizetype classe = ListaClassi().indexOf(g.Classe); // exact, case included
        if (classe >= 0)
            m_limite = limiti[size_t(classe)];
    }

    void classificaRun(Graduatoria run) {
        const QString punti = run == Run1 ? QStringLiteral("PunteggioRun1") : QStringLiteral("PunteggioRun2");
        const QString tempo = run == Run1 ? QStringLiteral("TempoRun1") : QStringLiteral("TempoRun2");
        Statement st(m_db, seleziona(QStringLiteral("rowid, %1, %2").arg(punti, tempo),
                                     QStringLiteral("%1 DESC, %2").arg(punti, tempo)));
        st.bindAll({m_g.CodiceGara, m_g.Categoria, m_g.Classe, m_g.Taglia});
        Contatore contatore;
        Numero puntiPrec, tempoPrec;
        while (st.step()) {
            const Numero p = numero(st.column(1));
            if (!p)
                continue; // not scored: keeps its old place
            const Numero t = numero(st.column(2));
            std::optional<int>& posto = riga(st.columnInt64(0))[run];
            // The time test comes first: a run over the limit is marked whatever its points.
            if (m_limite && t && *t > *m_limite) {
                posto = PostoFuoriTempo;
                continue;
            }
            if (!(*p > 0)) {
                posto = PostoNonClassificato;
                continue;
            }
            bool tie;
            if (m_g.Categoria == kNoTime)
                tie = pari(p, puntiPrec);
            else if (m_g.Categoria == kTime)
                tie = pari(p, puntiPrec) && pari(t, tempoPrec);
            else
                continue; // another category gets no counted place
            posto = contatore.posto(tie);
            // The previous values are those of the last counted entry, missing ones included.
            puntiPrec = p;
            tempoPrec = t;
        }
    }

    void classificaCombinata() {
        QString ordine;
        if (m_g.Categoria == kTime)
            ordine = QStringLiteral("PunteggioCombinata DESC, TempoCombinata");
        else if (m_g.Categoria == kNoTime)
            ordine = QStringLiteral("PunteggioCombinata DESC, PunteggioRun1 DESC, PunteggioRun2 DESC");
        else
            ordine = QStringLiteral("PunteggioRun2 DESC, TempoRun2"); // the run 2 query again
        Statement st(m_db,
                     seleziona(QStringLiteral("rowid, PunteggioCombinata, TempoCombinata, PunteggioRun1, "
                                              "PunteggioRun2, ClassificaRun1, ClassificaRun2"),
                               ordine));
        st.bindAll({m_g.CodiceGara, m_g.Categoria, m_g.Classe, m_g.Taglia});
        Contatore contatore;
        Numero puntiPrec, tempoPrec, run1Prec, run2Prec;
        while (st.step()) {
            const Numero pc = numero(st.column(1));
            if (!pc)
                continue;
            const qint64 rowid = st.columnInt64(0);
            // The run places as the run rankings above left them.
            Numero posto1 = numero(st.column(5));
            Numero posto2 = numero(st.column(6));
            if (const auto it = m_indice.find(rowid); it != m_indice.end()) {
                const Posti& nuovi = m_righe[it->second].posti;
                if (nuovi[Run1])
                    posto1 = *nuovi[Run1];
                if (nuovi[Run2])
                    posto2 = *nuovi[Run2];
            }
            std::optional<int>& posto = riga(rowid)[Combinata];
            if (marcato(posto1) || marcato(posto2) || !(*pc > 0)) {
                posto = PostoNonClassificato;
                continue;
            }
            const Numero tc = numero(st.column(2));
            const Numero p1 = numero(st.column(3));
            const Numero p2 = numero(st.column(4));
            bool tie;
            if (m_g.Categoria == kTime)
                tie = pari(pc, puntiPrec) && pari(tc, tempoPrec);
            else if (m_g.Categoria == kNoTime)
                tie = pari(pc, puntiPrec) && pari(p1, run1Prec) && pari(p2, run2Prec);
            else
                continue;
            posto = contatore.posto(tie);
            puntiPrec = pc;
            tempoPrec = tc;
            run1Prec = p1;
            run2Prec = p2;
        }
    }

    void scrivi() {
        if (m_righe.empty())
            return;
        // A ranking that skipped an entry leaves that place as it was.
        Statement up(m_db,
                     QStringLiteral("UPDATE TblIscrizioni SET ClassificaRun1 = COALESCE(?, ClassificaRun1), "
                                    "ClassificaRun2 = COALESCE(?, ClassificaRun2), "
                                    "ClassificaCombinata = COALESCE(?, ClassificaCombinata) "
                                    "WHERE rowid = ?"));
        for (const Riga& r : m_righe) {
            for (int i = 0; i < 3; ++i)
                up.bind(i + 1, r.posti[size_t(i)] ? QVariant(*r.posti[size_t(i)]) : QVariant());
            up.bind(4, QVariant(qlonglong(r.rowid)));
            up.step();
            up.reset();
        }
    }

private:
    using Posti = std::array<std::optional<int>, 3>;
    struct Riga {
        qint64 rowid;
        Posti posti;
    };

    // The group's query in a ranking's order; the four values are bound by the caller.
    static QString seleziona(const QString& colonne, const QString& ordine) {
        return QStringLiteral("SELECT %1 FROM TblIscrizioni WHERE CodiceGara = ? AND Categoria = ? "
                              "AND Classe = ? AND Taglia = ? ORDER BY %2")
            .arg(colonne, ordine);
    }

    Posti& riga(qint64 rowid) {
        const auto [it, nuova] = m_indice.try_emplace(rowid, m_righe.size());
        if (nuova)
            m_righe.push_back(Riga{rowid, {}});
        return m_righe[it->second].posti;
    }

    Database& m_db;
    const GruppoClassifica& m_g;
    std::optional<double> m_limite;
    std::vector<Riga> m_righe;
    std::unordered_map<qint64, size_t> m_indice;
};

} // namespace

TempoLimite LeggiTempiLimite(const QString& iniFileName) {
    TempoLimite limiti{};
    for (size_t i = 0; i < limiti.size(); ++i) {
        const QString valore = IniReadWrite(QStringLiteral("GET"), QStringLiteral("Impostazione Limiti Gara"),
                                            ChiaveTempoLimite(ListaClassi().at(qsizetype(i))), iniFileName);
        limiti[i] = TempoDaTesto(valore); // empty: 0
    }
    return limiti;
}

void CalcolaClassifiche(Database& db, const GruppoClassifica& gruppo, const TempoLimite& limiti) {
    // All three rankings or none: a failure leaves every old place in place.
    Transaction tx(db);
    Calcolo calcolo(db, gruppo, limiti);
    calcolo.classificaRun(Run1);
    calcolo.classificaRun(Run2);
    calcolo.classificaCombinata();
    calcolo.scrivi();
    tx.commit();
}

} // namespace zar
