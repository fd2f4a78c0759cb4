#include "entries/Ranking.h"

#include "entries/RunTime.h"
#include "frame/IniReadWrite.h"
#include "platform/Database.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace zar {

namespace {

const QString kTime = QStringLiteral("TIME");
const QString kNoTime = QStringLiteral("NO TIME");

enum Graduatoria { Run1 = 0, Run2 = 1, Combinata = 2 };

// A number as the rules read it; a missing one never ties.
using Numero = std::optional<double>;

bool pari(const Numero& a, const Numero& b) {
    return a && b && *a == *b;
}

bool marcato(const Numero& posto) {
    return posto && (*posto == PostoFuoriTempo || *posto == PostoNonClassificato);
}

// One stored field, kept so that it sorts as the database sorts it: Null first, then
// numbers, then texts, then other data.
struct Campo {
    enum Tipo : unsigned char { Nullo, Cifra, Testo, Dati } tipo = Nullo;
    double numero = 0;
    QByteArray byte; // a text (as UTF-8) or other data, compared byte by byte

    Campo() = default;
    explicit Campo(const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::UnknownType:
        case QMetaType::Nullptr:
            break;
        case QMetaType::QString:
            tipo = Testo;
            byte = v.toString().toUtf8();
            numero = ValoreNumerico(v.toString());
            break;
        case QMetaType::QByteArray:
            tipo = Dati;
            byte = v.toByteArray();
            break;
        default:
            tipo = Cifra;
            numero = v.toDouble();
        }
    }
    // Null, or an empty text in a numeric column: the field holds nothing.
    bool vuoto() const { return tipo == Nullo || (tipo == Testo && byte.isEmpty()); }
    Numero valore() const { return vuoto() ? Numero() : Numero(numero); }
};

int confronta(const Campo& a, const Campo& b) {
    if (a.tipo != b.tipo)
        return a.tipo < b.tipo ? -1 : 1;
    switch (a.tipo) {
    case Campo::Nullo:
        return 0;
    case Campo::Cifra:
        return a.numero < b.numero ? -1 : (a.numero > b.numero ? 1 : 0);
    default:
        return a.byte.compare(b.byte);
    }
}

enum Colonna { P1, T1, P2, T2, PC, TC, Colonne };

struct Voce {
    qint64 rowid = 0;
    std::array<Campo, Colonne> campi;          // by Colonna
    std::array<Numero, 2> postiRun;            // the run places stored before this computation
    std::array<std::optional<int>, 3> nuovi{}; // by Graduatoria; nothing: left as stored
    // The places stored before, by Graduatoria, when stored as whole numbers: a new place
    // equal to one of these needs no write.
    std::array<std::optional<qint64>, 3> interi{};

    bool daScrivere() const {
        for (size_t i = 0; i < nuovi.size(); ++i)
            if (nuovi[i] && (!interi[i] || *interi[i] != *nuovi[i]))
                return true;
        return false;
    }
};

// A stored place as a whole number, if the field holds exactly that.
std::optional<qint64> intero(const QVariant& v) {
    if (v.typeId() == QMetaType::LongLong)
        return v.toLongLong();
    return std::nullopt;
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

// The three rankings of one group. The group is read once, in the run 1 order; the run 2
// and combined orders are the same ORDER BY applied in memory, which spares two more
// reads of the group. The places are written at the end, one UPDATE per entry.
class Calcolo {
public:
    Calcolo(Database& db, const GruppoClassifica& g, const TempoLimite& limiti) : m_db(db), m_g(g) {
        const qsizetype classe = ListaClassi().indexOf(g.Classe); // exact, case included
        if (classe >= 0)
            m_limite = limiti[size_t(classe)];
    }

    void leggi() {
        Statement st(m_db,
                     QStringLiteral("SELECT rowid, PunteggioRun1, TempoRun1, PunteggioRun2, TempoRun2, "
                                    "PunteggioCombinata, TempoCombinata, ClassificaRun1, ClassificaRun2, "
                                    "ClassificaCombinata "
                                    "FROM TblIscrizioni WHERE CodiceGara = ? AND Categoria = ? "
                                    "AND Classe = ? AND Taglia = ? ORDER BY PunteggioRun1 DESC, TempoRun1"));
        st.bindAll({m_g.CodiceGara, m_g.Categoria, m_g.Classe, m_g.Taglia});
        while (st.step()) {
            Voce& v = m_voci.emplace_back();
            v.rowid = st.columnInt64(0);
            for (int c = 0; c < Colonne; ++c)
                v.campi[size_t(c)] = Campo(st.column(1 + c));
            const QVariant run1 = st.column(7), run2 = st.column(8);
            v.postiRun = {Campo(run1).valore(), Campo(run2).valore()};
            v.interi = {intero(run1), intero(run2), intero(st.column(9))};
        }
    }

    void classificaRun(Graduatoria run) {
        const Colonna punti = run == Run1 ? P1 : P2;
        const Colonna tempo = run == Run1 ? T1 : T2;
        Contatore contatore;
        Numero puntiPrec, tempoPrec;
        for (Voce* v : ordine(run == Run1 ? std::vector<Chiave>{} : ordineRun2())) {
            const Numero p = v->campi[punti].valore();
            if (!p)
                continue; // not scored: keeps its old place
            const Numero t = v->campi[tempo].valore();
            std::optional<int>& posto = v->nuovi[run];
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
        std::vector<Chiave> chiavi;
        if (m_g.Categoria == kTime)
            chiavi = {{PC, true}, {TC, false}};
        else if (m_g.Categoria == kNoTime)
            chiavi = {{PC, true}, {P1, true}, {P2, true}};
        else
            chiavi = ordineRun2(); // the run 2 query again
        Contatore contatore;
        Numero puntiPrec, tempoPrec, run1Prec, run2Prec;
        for (Voce* v : ordine(chiavi)) {
            const Numero pc = v->campi[PC].valore();
            if (!pc)
                continue;
            // The run places as the run rankings above left them.
            const Numero posto1 = v->nuovi[Run1] ? Numero(*v->nuovi[Run1]) : v->postiRun[0];
            const Numero posto2 = v->nuovi[Run2] ? Numero(*v->nuovi[Run2]) : v->postiRun[1];
            std::optional<int>& posto = v->nuovi[Combinata];
            if (marcato(posto1) || marcato(posto2) || !(*pc > 0)) {
                posto = PostoNonClassificato;
                continue;
            }
            const Numero tc = v->campi[TC].valore();
            const Numero p1 = v->campi[P1].valore();
            const Numero p2 = v->campi[P2].valore();
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
        // A ranking that skipped an entry leaves that place as it was.
        Statement up(m_db,
                     QStringLiteral("UPDATE TblIscrizioni SET ClassificaRun1 = COALESCE(?, ClassificaRun1), "
                                    "ClassificaRun2 = COALESCE(?, ClassificaRun2), "
                                    "ClassificaCombinata = COALESCE(?, ClassificaCombinata) "
                                    "WHERE rowid = ?"));
        // Only the entries whose places change: ranking a group again after one result
        // changed rewrites the few places that moved. In rowid order each page of the table
        // is visited once.
        std::vector<const Voce*> daScrivere;
        daScrivere.reserve(m_voci.size());
        for (const Voce& v : m_voci)
            if (v.daScrivere())
                daScrivere.push_back(&v);
        std::sort(daScrivere.begin(), daScrivere.end(),
                  [](const Voce* a, const Voce* b) { return a->rowid < b->rowid; });
        for (const Voce* p : daScrivere) {
            const Voce& v = *p;
            for (int i = 0; i < 3; ++i)
                up.bind(i + 1, v.nuovi[size_t(i)] ? QVariant(*v.nuovi[size_t(i)]) : QVariant());
            up.bind(4, QVariant(qlonglong(v.rowid)));
            up.step();
            up.reset();
        }
    }

private:
    struct Chiave {
        Colonna colonna;
        bool decrescente;
    };

    static std::vector<Chiave> ordineRun2() { return {{P2, true}, {T2, false}}; }

    // The entries in the order of an ORDER BY on the given keys; no keys: as read.
    std::vector<Voce*> ordine(const std::vector<Chiave>& chiavi) {
        std::vector<Voce*> out;
        out.reserve(m_voci.size());
        for (Voce& v : m_voci)
            out.push_back(&v);
        if (!chiavi.empty())
            std::stable_sort(out.begin(), out.end(), [&](const Voce* a, const Voce* b) {
                for (const Chiave& k : chiavi)
                    if (const int c = confronta(a->campi[k.colonna], b->campi[k.colonna]))
                        return k.decrescente ? c > 0 : c < 0;
                return false;
            });
        return out;
    }

    Database& m_db;
    const GruppoClassifica& m_g;
    std::optional<double> m_limite;
    std::vector<Voce> m_voci;
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
    calcolo.leggi();
    calcolo.classificaRun(Run1);
    calcolo.classificaRun(Run2);
    calcolo.classificaCombinata();
    calcolo.scrivi();
    tx.commit();
}

} // namespace zar
