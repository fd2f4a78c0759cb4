// Entries, their list, the scores and the run times, below the forms.
#include "entries/Iscrizioni.h"
#include "entries/ListaIscritti.h"
#include "entries/Punteggi.h"
#include "entries/RunTime.h"
#include "entries/Selezione.h"
#include "support/TestFolder.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>

#include <gtest/gtest.h>

#include <cmath>

using namespace zar;

namespace {

const QString G = QStringLiteral("20240501ROMA");

class Entries : public ::testing::Test {
protected:
    void SetUp() override { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    void entry(const QString& gara, int bib, const QString& cf, const QString& chip,
               const QString& cat = QStringLiteral("TIME")) {
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, ?, ?, ?, 'JUNIOR', 'SMALL')"),
            {gara, bib, cf, chip, cat});
    }
    QString all(const QString& sql) { return db().scalar(sql).toString(); }
    QString counts() {
        return all("SELECT (SELECT COUNT(*) FROM TblConduttori) || '/' || (SELECT COUNT(*) FROM TblCani) "
                   "|| '/' || (SELECT COUNT(*) FROM TblIscrizioni)");
    }
    NuovaIscrizione nuova(int bib, const QString& cf, const QString& chip) {
        NuovaIscrizione d;
        d.CodiceGara = G;
        d.Pettorale = bib;
        d.conduttore = {cf, QStringLiteral("rossi"), QStringLiteral("mario"), QStringLiteral("t1")};
        d.cane = {chip, QStringLiteral("fido"), QStringLiteral("meticcio"), QStringLiteral("small")};
        d.Categoria = QStringLiteral("time");
        d.Classe = QStringLiteral("JUNIOR");
        d.Taglia = QStringLiteral("small");
        return d;
    }
    test::TestFolder folder;
    SharedValues shared;
};

TEST_F(Entries, NextBibIsOneAboveTheHighestStoredOrTheFormsBib) {
    EXPECT_EQ(ProssimoPettorale(db(), G, 0), 1);
    entry(G, 3, "A", "C3");
    entry(G, 7, "A", "C7");
    entry("OTHER", 50, "A", "C50");
    const int cases[][2] = {{0, 8}, {2, 8}, {7, 8}, {8, 9}, {10, 11}}; // form's bib, proposal
    for (const auto& c : cases)
        EXPECT_EQ(ProssimoPettorale(db(), G, c[0]), c[1]) << c[0];
}

TEST_F(Entries, SaveStoresHandlerDogAndEntryAllOrNone) {
    SalvaIscrizione(db(), nuova(5, "rssmra", "chip1"));
    EXPECT_EQ(all("SELECT Cognome || Nome || TesseraCIS FROM TblConduttori WHERE CodiceFiscale = 'RSSMRA'"),
              "ROSSIMARIOT1");
    EXPECT_EQ(all("SELECT Microchip || NomeCane || Razza || Taglia FROM TblCani"), "CHIP1FIDOMETICCIOSMALL");
    EXPECT_EQ(all("SELECT CodiceFiscale || Microchip || Categoria || Taglia || Pettorale FROM TblIscrizioni"),
              "rssmrachip1timesmall5");

    db().exec("CREATE TRIGGER Boom BEFORE INSERT ON TblIscrizioni WHEN NEW.Pettorale = 9 BEGIN "
              "SELECT RAISE(ABORT, 'disk full'); END");
    const struct {
        int bib;
        const char* chip;
        QString refusal; // empty: the engine fails
    } refused[] = {
        {5, "C2", kPettoraleUsato},        {6, "CHIP1", kCaneIscritto}, {32768, "C3", kPettoraleFuoriLimiti},
        {-1, "C3", kPettoraleFuoriLimiti}, {9, "C3", QString()},
    };
    for (const auto& c : refused) {
        try {
            SalvaIscrizione(db(), nuova(c.bib, "NEWCF", QString::fromUtf8(c.chip)));
            ADD_FAILURE() << "bib " << c.bib << " accepted";
        } catch (const IscrizioneRifiutata& e) {
            EXPECT_EQ(e.text(), c.refusal) << c.bib;
        } catch (const DbError&) {
            EXPECT_TRUE(c.refusal.isEmpty()) << c.bib;
        }
        EXPECT_EQ(counts(), "1/1/1") << c.bib;
        EXPECT_FALSE(db().inTransaction());
    }
    // The bounds, and an existing handler kept unchanged in another competition.
    SalvaIscrizione(db(), nuova(32767, "B", "C4"));
    auto other = nuova(0, "RSSMRA", "C5");
    other.conduttore.Cognome = "bianchi";
    SalvaIscrizione(db(), other);
    EXPECT_EQ(counts(), "2/3/3");
    EXPECT_EQ(all("SELECT Cognome FROM TblConduttori WHERE CodiceFiscale = 'RSSMRA'"), "ROSSI");
    EXPECT_EQ(EliminaIscrizione(db(), G, "5"), 1);
    EXPECT_EQ(EliminaIscrizione(db(), G, "5"), 0);
    EXPECT_EQ(counts(), "2/3/2") << "handler and dog stay";
}

TEST_F(Entries, ListJoinsNamesAndReadsTheSameRowsLean) {
    db().exec("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES ('CF1', 'ROSSI', 'MARIO'), "
              "('CF2', 'VERDI', NULL)");
    db().exec("INSERT INTO TblCani (Microchip, NomeCane) VALUES ('CHIP1', 'FIDO')");
    entry(G, 10, "cf1", "chip1");
    entry(G, 2, "CF2", "NODOG");
    entry(G, 7, "NOBODY", "X", "no time");
    entry("OTHER", 1, "CF1", "CHIP1");
    db().exec("UPDATE TblIscrizioni SET PunteggioRun1 = 85.5, TempoRun1 = 1.5 WHERE Pettorale = 10");
    const auto shown = [](const std::vector<RigaIscritto>& rows) {
        QStringList out;
        for (const RigaIscritto& r : rows) {
            out << r.Pettorale + '|' + r.Conduttore + '|' + r.NomeCane;
            for (const QVariant& v : r.risultati)
                out.last() += '|' + v.toString();
        }
        return out;
    };
    FiltroIscritti f;
    f.CodiceGara = G;
    const auto rows = LeggiIscritti(db(), f);
    EXPECT_EQ(shown(rows).join(' ').remove("||").toStdString(), "2|VERDI  7| 10|ROSSI MARIO|FIDO|85.5|1.5|");
    EXPECT_EQ(rows[2].CodiceFiscale, "cf1");
    FiltroIscritti lean = f;
    lean.campiIscrizione = false;
    EXPECT_EQ(shown(LeggiIscritti(db(), lean)), shown(rows));
    f.ordine = OrdineIscritti::Database;
    EXPECT_EQ(LeggiIscritti(db(), f)[0].Pettorale, "10");
    f.Categoria = "NO TIME";
    EXPECT_EQ(LeggiIscritti(db(), f).size(), 1u);
    EXPECT_EQ(LeggiIscritti(db(), FiltroIscritti{}).size(), 4u);
}

TEST(ListModel, SortsByNumberOrTextAndKeepsTheSelectedRow) {
    for (const bool lazy : {false, true}) {
        ListaIscrittiModel m({QStringLiteral("Pettorale"), QStringLiteral("Nome Cane")});
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
        std::vector<RigaIscritto> rows(5);
        std::vector<QStringList> texts;
        const char* bibs[] = {"10", "2", "11", "1", "21"};
        for (int i = 0; i < 5; ++i) {
            rows[size_t(i)].Pettorale = bibs[i];
            rows[size_t(i)].NomeCane = "CANE" + rows[size_t(i)].Pettorale.right(1);
            texts.push_back({rows[size_t(i)].Pettorale, rows[size_t(i)].NomeCane});
        }
        int calls = 0;
        if (lazy)
            m.setIscritti(std::move(rows), [&calls](const RigaIscritto& r, int c) {
                ++calls;
                return c == 0 ? r.Pettorale : r.NomeCane;
            });
        else
            m.setRighe(std::move(texts));
        const QPersistentModelIndex selected = m.index(2, 1); // bib 11
        const auto column = [&](int c) {
            QStringList out;
            for (int r = 0; r < m.rowCount(); ++r)
                out << m.testo(r, c);
            return out.join(' ');
        };
        StatoOrdinamento s = ClicIntestazione(OrdinamentoColonne::Numerico, {}, 0);
        m.ordina(s);
        EXPECT_EQ(column(0), "1 2 10 11 21") << lazy;
        EXPECT_EQ(selected.row(), 3);
        s = ClicIntestazione(OrdinamentoColonne::Numerico, s, 0); // the same heading reverses
        m.ordina(s);
        EXPECT_EQ(column(0), "21 11 10 2 1") << lazy;
        // Another heading keeps the direction; equal names keep their current order.
        m.ordina(ClicIntestazione(OrdinamentoColonne::Numerico, s, 1));
        EXPECT_EQ(column(0), "2 21 11 1 10") << lazy;
        EXPECT_EQ(m.testo(selected.row(), 0), "11");
        s = ClicIntestazione(OrdinamentoColonne::Testo, {}, 0);
        m.ordina(ClicIntestazione(OrdinamentoColonne::Testo, s, 0)); // never reversed
        EXPECT_EQ(column(0), "1 10 11 2 21") << lazy;
    }
}

TEST(Selection, EachMemberFiltersOnItsBoxes) {
    const Selezione full{G, "TIME", "JUNIOR", "SMALL"};
    Selezione noClass = full;
    noClass.Classe.clear();
    EXPECT_TRUE(FiltroPerSelezione(MembroClassifica(), full));
    EXPECT_FALSE(FiltroPerSelezione(MembroClassifica(), noClass));
    const auto partenza = FiltroPerSelezione(MembroReportPartenza(), noClass);
    ASSERT_TRUE(partenza);
    EXPECT_EQ(partenza->Categoria, "TIME");
    EXPECT_FALSE(partenza->Classe);
    EXPECT_FALSE(FiltroPerSelezione(MembroReportPartenza(), Selezione{}));
    EXPECT_FALSE(FiltroPerSelezione(MembroReportIscritti(), full)->Categoria);
}

TEST(Scores, CombinedPointsAreTheRoundedSumOnlyWhenBothRunsScored) {
    const double t013050 = 1 + 30.5 / 60, t012000 = 1 + 20.0 / 60;
    const struct {
        int run;
        const char *p1, *t1, *p2, *t2;
        double punteggio, tempo;
        std::optional<double> combinata, tempoCombinata;
    } cases[] = {
        {1, "85", "013050", "90", "012000", 85, t013050, 175, t013050 + t012000},
        {1, "60.5", "", "70", "", 60.5, 0, 130, 0},             // 130.5 goes to the even neighbour
        {2, "60", "010000", "71.5", "010000", 71.5, 1, 132, 2}, // 131.5 goes up to 132
        {1, "85", "013050", "", "", 85, t013050, std::nullopt, std::nullopt}, // run 2 empty: combined kept
        {1, "0", "013050", "90", "012000", 0, 0, 0, 0},                       // points not above 0
        {2, "85", "013050", "-1", "012000", 0, 0, 0, 0},
        {1, "0.1", "", "0.1", "", 0.1, 0, 0, 0},            // both above 0, the sum rounds to 0
        {1, "85", "013050", "90", "", 85, t013050, 175, 0}, // one time missing: combined time 0
    };
    for (const auto& c : cases) {
        const auto v = CalcolaPunteggio({c.run, c.p1, c.t1, c.p2, c.t2});
        SCOPED_TRACE(std::string(c.p1) + " / " + c.p2);
        EXPECT_EQ(v.run, c.run);
        EXPECT_DOUBLE_EQ(v.punteggio, c.punteggio);
        EXPECT_DOUBLE_EQ(v.tempo, c.tempo);
        EXPECT_EQ(v.punteggioCombinata, c.combinata);
        if (c.combinata) {
            EXPECT_DOUBLE_EQ(*v.tempoCombinata, *c.tempoCombinata);
        }
    }
}

TEST_F(Entries, ScoreSaveWritesOnlyTheChosenRunOfTheFoundEntry) {
    entry(G, 4, "A", "C4");
    db().exec("UPDATE TblIscrizioni SET PunteggioRun2 = 50, TempoRun2 = 2, PunteggioCombinata = 7");
    const GruppoClassifica g{G, "TIME", "JUNIOR", "SMALL"};
    const BoxPunteggi box{1, "85", "013050", QString(), QString()};
    EXPECT_FALSE(SalvaPunteggio(db(), G, "5", box, g, {}));
    EXPECT_FALSE(SalvaPunteggio(db(), G, QString(), box, g, {}));
    EXPECT_FALSE(SalvaPunteggio(db(), "OTHER", "4", box, g, {}));
    EXPECT_EQ(all("SELECT PunteggioRun1 IS NULL FROM TblIscrizioni"), "1");
    ASSERT_TRUE(SalvaPunteggio(db(), G, "4", box, g, TempoLimite{2, 2, 2, 2}));
    EXPECT_EQ(all("SELECT PunteggioRun1 || '/' || ROUND(TempoRun1 * 6000) || '/' || PunteggioRun2 || '/' || "
                  "PunteggioCombinata || '/' || ClassificaRun1 FROM TblIscrizioni"),
              "85.0/9050.0/50.0/7.0/1");
}

} // namespace

namespace {

double minuti(int m, int s, int c) {
    return m + (s + c / 100.0) / 60.0;
}

} // namespace

TEST(RunTime, TypedTextsAndShownTimes) {
    const struct {
        const char* typed;
        double expected;
    } typed[] = {
        {"012400", 1.4},
        {"012345", minuti(1, 23, 45)},
        {"", 0},
        {"995999", minuti(99, 59, 99)},
        {"1a2b3c", minuti(1, 2, 3)},  // leading digits of each part
        {"01305", minuti(1, 30, 5)},  // hundredths: the last two characters
        {"01.530", minuti(1, 0, 30)}, // ".5" rounds to the even 0, not to 1
        {"0190xx", minuti(1, 90, 0)}, // seconds are not checked against 60
    };
    for (const auto& c : typed)
        EXPECT_DOUBLE_EQ(TempoDaTesto(QString::fromLatin1(c.typed)), c.expected) << c.typed;

    const struct {
        double minutes;
        const char* shown;
    } shown[] = {
        {minuti(1, 30, 50), "01'30\"50"},
        {-0.0000001, "00'00\"00"}, // rounds to zero, shown without a sign
        {minuti(123, 4, 5), "123'04\"05"},
        {59.9996 / 60.0, "01'00\"00"}, // 59.9996 s is 6000 hundredths: a whole minute
        {59.9949 / 60.0, "00'59\"99"},
        {3.0 / 32.0, "00'05\"63"}, // exactly 562.5 hundredths: the half goes away from zero
        {1e12, "1000000000000'00\"00"},
    };
    for (const auto& c : shown)
        EXPECT_EQ(FormatTempo(c.minutes), QString::fromUtf8(c.shown)) << c.minutes;
    // Beyond the largest typed time, and negative minutes: the characters as they stand.
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("100'40\"00")), "10'400");
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("-10'20\"00")), "-1'200");
}

TEST(RunTime, RoundTripOfEveryTypedTime) {
    // Below sixty seconds the characters come back; above, at least the time does
    // (99 minutes and 60 seconds or more show as 100 minutes).
    int failures = 0;
    for (int m = 0; m < 100; ++m)
        for (int s = 0; s < 100; ++s)
            for (int c = 0; c < 100; c += s < 60 ? 1 : 11) {
                const QString t = QString::asprintf("%02d%02d%02d", m, s, c);
                const double tempo = TempoDaTesto(t);
                const QString back = TestoDaTempoMostrato(FormatTempo(tempo));
                const bool ok =
                    s < 60 ? back == t : back.size() == 6 && std::abs(TempoDaTesto(back) - tempo) < 1e-9;
                if (!ok && ++failures <= 5)
                    ADD_FAILURE() << t.toStdString() << " came back as " << back.toStdString();
            }
    EXPECT_EQ(failures, 0);
}

TEST(RunTime, TypedPointsReadTheirLeadingNumber) {
    const struct {
        const char* typed;
        double expected;
    } cases[] = {
        {"", 0}, {"85,5", 85}, {"12abc", 12}, {" 7", 7}, {"-3", -3}, {".5", 0.5}, {"1.2.3", 1.2}, {"-", 0},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ValoreNumerico(QString::fromLatin1(c.typed)), c.expected) << c.typed;
}
