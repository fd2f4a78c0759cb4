#include "entries/Iscrizioni.h"
#include "entries/ListaIscritti.h"
#include "entries/Punteggi.h"
#include "entries/Selezione.h"
#include "support/TestFolder.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

using namespace zar;

namespace {

class Entries : public ::testing::Test {
protected:
    void SetUp() override { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    void entry(const QString& gara, int bib, const QString& cf = QString(), const QString& chip = QString(),
               const QString& cat = QStringLiteral("TIME")) {
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia) VALUES (?, ?, ?, ?, ?, 'JUNIOR', 'SMALL')"),
            {gara, bib, cf.isNull() ? QStringLiteral("CF%1").arg(bib) : cf,
             chip.isNull() ? QStringLiteral("CHIP%1").arg(bib) : chip, cat});
    }
    int count(const QString& sql) { return db().scalar(sql).toInt(); }
    NuovaIscrizione nuova(int bib, const QString& cf, const QString& chip) {
        NuovaIscrizione d;
        d.CodiceGara = QStringLiteral("20240501ROMA");
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

const QString G = QStringLiteral("20240501ROMA");

TEST_F(Entries, NextBibIsOneAboveTheHighestStoredOrTheCounter) {
    EXPECT_EQ(ProssimoPettorale(db(), G, 0), 1);
    entry(G, 3);
    entry(G, 7);
    entry(QStringLiteral("OTHER"), 50);
    EXPECT_EQ(ProssimoPettorale(db(), G, 2), 8);   // two listed entries: the stored 7 wins
    EXPECT_EQ(ProssimoPettorale(db(), G, 8), 9);   // a second proposal without saving
    EXPECT_EQ(ProssimoPettorale(db(), G, 10), 11); // after a typed bib of 10
    EXPECT_EQ(ProssimoPettorale(db(), G, 7), 8);
}

TEST_F(Entries, BibAndDogChecksCompareWithinTheCompetitionOnly) {
    entry(G, 10, QStringLiteral("cf"), QStringLiteral("abc123"));
    EXPECT_TRUE(PettoraleUsato(db(), G, 10));
    EXPECT_FALSE(PettoraleUsato(db(), G, 11));
    EXPECT_FALSE(PettoraleUsato(db(), QStringLiteral("OTHER"), 10));
    // A chip stored in lower case still counts as the dog's entry.
    EXPECT_TRUE(CaneIscritto(db(), G, QStringLiteral("ABC123")));
    EXPECT_FALSE(CaneIscritto(db(), QStringLiteral("OTHER"), QStringLiteral("ABC123")));
    // A quote in a value is a value, not SQL.
    EXPECT_FALSE(CaneIscritto(db(), G, QStringLiteral("x' OR '1'='1")));
}

TEST_F(Entries, SaveAddsMissingHandlerAndDogUpperCasedAndTheEntryAsTyped) {
    SalvaIscrizione(db(), nuova(1, QStringLiteral("rssmra"), QStringLiteral("chip1")));
    EXPECT_EQ(
        db().scalar(QStringLiteral("SELECT Cognome || '/' || Nome || '/' || TesseraCIS FROM TblConduttori "
                                   "WHERE CodiceFiscale = 'RSSMRA'")),
        QStringLiteral("ROSSI/MARIO/T1"));
    EXPECT_EQ(
        db().scalar(QStringLiteral("SELECT Microchip || '/' || NomeCane || '/' || Razza || '/' || Taglia "
                                   "FROM TblCani")),
        QStringLiteral("CHIP1/FIDO/METICCIO/SMALL"));
    EXPECT_EQ(
        db().scalar(QStringLiteral("SELECT CodiceFiscale || '/' || Microchip || '/' || Categoria || '/' || "
                                   "Taglia || '/' || Pettorale FROM TblIscrizioni")),
        QStringLiteral("rssmra/chip1/time/small/1"));
    EXPECT_TRUE(db().scalar(QStringLiteral("SELECT PunteggioRun1 FROM TblIscrizioni")).isNull());

    // Existing handler and dog are not changed; a second entry in another competition is fine.
    auto d = nuova(1, QStringLiteral("RSSMRA"), QStringLiteral("CHIP1"));
    d.CodiceGara = QStringLiteral("OTHER");
    d.conduttore.Cognome = QStringLiteral("bianchi");
    SalvaIscrizione(db(), d);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblConduttori")), 1);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT Cognome FROM TblConduttori")), QStringLiteral("ROSSI"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblIscrizioni")), 2);
}

TEST_F(Entries, RefusedSaveStoresNothing) {
    SalvaIscrizione(db(), nuova(5, QStringLiteral("A"), QStringLiteral("C1")));
    const struct {
        int bib;
        const char* chip;
        QString message;
    } cases[] = {
        {5, "C2", kPettoraleUsato},
        {6, "c1", kCaneIscritto},
        {32768, "C3", kPettoraleFuoriLimiti},
        {-1, "C3", kPettoraleFuoriLimiti},
    };
    for (const auto& c : cases) {
        try {
            SalvaIscrizione(db(), nuova(c.bib, QStringLiteral("NEWCF"), QString::fromUtf8(c.chip)));
            ADD_FAILURE() << "bib " << c.bib << " accepted";
        } catch (const IscrizioneRifiutata& e) {
            EXPECT_EQ(e.text(), c.message) << c.bib;
        }
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblConduttori")), 1) << c.bib;
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblCani")), 1) << c.bib;
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblIscrizioni")), 1) << c.bib;
    }
    SalvaIscrizione(db(), nuova(32767, QStringLiteral("B"), QStringLiteral("C4")));
    EXPECT_EQ(count(QStringLiteral("SELECT MAX(Pettorale) FROM TblIscrizioni")), 32767);
    SalvaIscrizione(db(), nuova(0, QStringLiteral("B"), QStringLiteral("C5")));
    EXPECT_EQ(count(QStringLiteral("SELECT MIN(Pettorale) FROM TblIscrizioni")), 0);
}

TEST_F(Entries, EngineFailureOnTheEntryLeavesNoNewHandlerOrDog) {
    db().exec(QStringLiteral("CREATE TRIGGER boom BEFORE INSERT ON TblIscrizioni BEGIN SELECT RAISE(ABORT, "
                             "'disk full'); END"));
    EXPECT_THROW(SalvaIscrizione(db(), nuova(1, QStringLiteral("A"), QStringLiteral("C1"))), DbError);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblConduttori")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblCani")), 0);
    EXPECT_FALSE(db().inTransaction());
}

TEST_F(Entries, ListJoinsNamesAndOrders) {
    db().exec(QStringLiteral(
        "INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES ('CF1', 'ROSSI', 'MARIO')"));
    db().exec(QStringLiteral("INSERT INTO TblCani (Microchip, NomeCane) VALUES ('CHIP1', 'FIDO')"));
    entry(G, 10, QStringLiteral("cf1"), QStringLiteral("chip1"));
    entry(G, 2, QStringLiteral("NOBODY"), QStringLiteral("NODOG"), QStringLiteral("NO TIME"));
    entry(QStringLiteral("OTHER"), 1);

    FiltroIscritti f;
    f.CodiceGara = G;
    auto rows = LeggiIscritti(db(), f);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Pettorale, QStringLiteral("2"));
    EXPECT_EQ(rows[0].Conduttore, QString()); // not in the register: empty, still listed
    EXPECT_EQ(rows[0].NomeCane, QString());
    EXPECT_EQ(rows[1].Conduttore, QStringLiteral("ROSSI MARIO"));
    EXPECT_EQ(rows[1].NomeCane, QStringLiteral("FIDO"));
    EXPECT_EQ(rows[1].CodiceFiscale, QStringLiteral("cf1"));

    f.ordine = OrdineIscritti::Database;
    rows = LeggiIscritti(db(), f);
    EXPECT_EQ(rows[0].Pettorale, QStringLiteral("10"));

    f.Categoria = QStringLiteral("no time");
    EXPECT_EQ(LeggiIscritti(db(), f).size(), 1u);
    EXPECT_EQ(LeggiIscritti(db(), FiltroIscritti{}).size(), 3u); // no competition: all of them
}

TEST_F(Entries, DeleteRemovesOneEntryAndKeepsHandlerAndDog) {
    SalvaIscrizione(db(), nuova(1, QStringLiteral("A"), QStringLiteral("C1")));
    SalvaIscrizione(db(), nuova(2, QStringLiteral("A"), QStringLiteral("C2")));
    EXPECT_EQ(EliminaIscrizione(db(), G, QStringLiteral("1")), 1);
    EXPECT_EQ(EliminaIscrizione(db(), G, QStringLiteral("1")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblIscrizioni")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblConduttori")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblCani")), 2);
}

TEST(ListSort, HeaderClicksFollowTheListsRule) {
    StatoOrdinamento s;
    s = ClicIntestazione(OrdinamentoColonne::Numerico, s, 0);
    EXPECT_EQ(s.colonna, 0);
    EXPECT_FALSE(s.discendente);
    EXPECT_TRUE(s.numerico);
    s = ClicIntestazione(OrdinamentoColonne::Numerico, s, 0); // same column: reversed
    EXPECT_TRUE(s.discendente);
    s = ClicIntestazione(OrdinamentoColonne::Numerico, s, 1); // another column keeps the order
    EXPECT_TRUE(s.discendente);
    EXPECT_FALSE(s.numerico);
    EXPECT_TRUE(ClicIntestazione(OrdinamentoColonne::Numerico, s, 6).numerico);
    EXPECT_FALSE(ClicIntestazione(OrdinamentoColonne::Numerico, s, 5).numerico);

    StatoOrdinamento t;
    t = ClicIntestazione(OrdinamentoColonne::Testo, t, 0);
    t = ClicIntestazione(OrdinamentoColonne::Testo, t, 0); // never reversed, never numeric
    EXPECT_FALSE(t.discendente);
    EXPECT_FALSE(t.numerico);
    EXPECT_EQ(ClicIntestazione(OrdinamentoColonne::Nessuno, StatoOrdinamento{}, 3).colonna, -1);
}

TEST(ListSort, NumericKeyRightAlignsInTenCharacters) {
    EXPECT_EQ(ChiaveNumerica(QStringLiteral("7")), QStringLiteral("         7"));
    EXPECT_EQ(ChiaveNumerica(QStringLiteral("1234567890")), QStringLiteral("1234567890"));
    EXPECT_EQ(ChiaveNumerica(QStringLiteral("12345678901")), QStringLiteral("1234567890"));
    EXPECT_LT(ConfrontaTesti(ChiaveNumerica(QStringLiteral("2")), ChiaveNumerica(QStringLiteral("10"))), 0);
    EXPECT_GT(ConfrontaTesti(QStringLiteral("2"), QStringLiteral("10")), 0);
}

QStringList colonna(const ListaIscrittiModel& m, int c) {
    QStringList out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.testo(r, c);
    return out;
}

TEST(ListSort, BibsSortByNumberOrAsText) {
    ListaIscrittiModel m({QStringLiteral("Pettorale"), QStringLiteral("Nome")});
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    m.setRighe({{"10", "b"}, {"2", "B"}, {"11", "a"}, {"1", "c"}});
    m.ordina(ClicIntestazione(OrdinamentoColonne::Numerico, {}, 0));
    EXPECT_EQ(colonna(m, 0), QStringList({"1", "2", "10", "11"}));
    m.ordina(ClicIntestazione(OrdinamentoColonne::Numerico, {0, false, true}, 0));
    EXPECT_EQ(colonna(m, 0), QStringList({"11", "10", "2", "1"}));
    m.ordina(ClicIntestazione(OrdinamentoColonne::Testo, {}, 0));
    EXPECT_EQ(colonna(m, 0), QStringList({"1", "10", "11", "2"}));
    // Text without regard to case, ties keep their order.
    m.ordina(ClicIntestazione(OrdinamentoColonne::Testo, {}, 1));
    EXPECT_EQ(colonna(m, 1), QStringList({"a", "b", "B", "c"}));
}

TEST(Selection, FiltersPerMember) {
    const Selezione full{G, QStringLiteral("TIME"), QStringLiteral("JUNIOR"), QStringLiteral("SMALL")};
    Selezione partial = full;
    partial.Classe.clear();

    ASSERT_TRUE(FiltroPerSelezione(MembroClassifica(), full));
    EXPECT_FALSE(FiltroPerSelezione(MembroClassifica(), partial));
    for (QString Selezione::*field : {&Selezione::CodiceGara, &Selezione::Categoria, &Selezione::Taglia}) {
        Selezione s = full;
        s.*field = QString();
        EXPECT_FALSE(FiltroPerSelezione(MembroClassifica(), s));
    }

    const auto partenza = FiltroPerSelezione(MembroReportPartenza(), partial);
    ASSERT_TRUE(partenza);
    EXPECT_EQ(partenza->Categoria, QStringLiteral("TIME"));
    EXPECT_FALSE(partenza->Classe);
    EXPECT_FALSE(FiltroPerSelezione(MembroReportPartenza(), Selezione{}));

    const auto iscritti = FiltroPerSelezione(MembroReportIscritti(), full);
    ASSERT_TRUE(iscritti);
    EXPECT_FALSE(iscritti->Categoria);

    const auto classifica =
        FiltroPerSelezione(MembroReportClassifica([] { return OrdineIscritti::ClassificaRun2; }), full);
    EXPECT_EQ(classifica->ordine, OrdineIscritti::ClassificaRun2);
}

TEST(Selection, PrintingEnabledPerMember) {
    const Selezione full{G, QStringLiteral("TIME"), QStringLiteral("JUNIOR"), QStringLiteral("SMALL")};
    Selezione partial = full;
    partial.Taglia.clear();
    EXPECT_FALSE(StampaAbilitata(MembroClassifica(), full, 0));
    EXPECT_EQ(StampaAbilitata(MembroReportPartenza(), full, 3), true);
    EXPECT_EQ(StampaAbilitata(MembroReportPartenza(), partial, 0), false);
    EXPECT_EQ(StampaAbilitata(MembroPrintPettorali(), Selezione{}, 2), true);
    EXPECT_EQ(StampaAbilitata(MembroReportIscritti(), full, 0), true);
    EXPECT_EQ(StampaAbilitata(MembroReportIscritti(), full, 1), std::nullopt);
}

TEST(Selection, OfferTexts) {
    EXPECT_EQ(DomandaUltimaGara(G, MembroClassifica().domanda),
              QStringLiteral("Ultime iscrizioni fatte per la gara : 20240501ROMA\n\r"
                             "Inserire la CLASSIFICA per questa gara?"));
    EXPECT_EQ(GaraNonTrovata(G),
              QStringLiteral("Gara : 20240501ROMA\n\rNon trovata tra le registrazioni delle gare!"));
}

struct CasoPunteggio {
    int run;
    const char *p1, *t1, *p2, *t2;
    double punteggio, tempo;
    std::optional<double> combinata, tempoCombinata;
};

TEST(Scores, CombinedRules) {
    const double t013050 = 1 + 30.5 / 60, t012000 = 1 + 20.0 / 60;
    const CasoPunteggio cases[] = {
        {1, "85", "013050", "90", "012000", 85, t013050, 175, t013050 + t012000},
        {1, "60.5", "", "70.5", "", 60.5, 0, 131, 0},
        {1, "60.5", "", "70", "", 60.5, 0, 130, 0},             // 130.5 goes to the even neighbour
        {2, "60", "010000", "71.5", "010000", 71.5, 1, 132, 2}, // 131.5 goes up to 132
        {1, "85", "013050", "", "", 85, t013050, std::nullopt, std::nullopt}, // run 2 empty: combined kept
        {1, "0", "013050", "90", "012000", 0, 0, 0, 0},                       // points not above 0
        {2, "85", "013050", "-1", "012000", 0, 0, 0, 0},
        {1, "85", "013050", "90", "", 85, t013050, 175, 0}, // one time missing: combined time 0
        {1, "200", "013050", "", "", 200, t013050, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto v = CalcolaPunteggio({c.run, QString::fromUtf8(c.p1), QString::fromUtf8(c.t1),
                                         QString::fromUtf8(c.p2), QString::fromUtf8(c.t2)});
        SCOPED_TRACE(std::string(c.p1) + " / " + c.p2);
        EXPECT_EQ(v.run, c.run);
        EXPECT_DOUBLE_EQ(v.punteggio, c.punteggio);
        EXPECT_DOUBLE_EQ(v.tempo, c.tempo);
        ASSERT_EQ(v.punteggioCombinata.has_value(), c.combinata.has_value());
        if (c.combinata) {
            EXPECT_DOUBLE_EQ(*v.punteggioCombinata, *c.combinata);
            EXPECT_DOUBLE_EQ(*v.tempoCombinata, *c.tempoCombinata);
        }
    }
}

TEST_F(Entries, ScoreSaveWritesOnlyTheChosenRunOfTheFoundEntry) {
    entry(G, 4);
    db().exec(
        QStringLiteral("UPDATE TblIscrizioni SET PunteggioRun2 = 50, TempoRun2 = 2, PunteggioCombinata = 7"));
    const GruppoClassifica g{G, QStringLiteral("TIME"), QStringLiteral("JUNIOR"), QStringLiteral("SMALL")};
    BoxPunteggi box{1, QStringLiteral("85"), QStringLiteral("013050"), QString(), QString()};
    EXPECT_FALSE(SalvaPunteggio(db(), G, QStringLiteral("5"), box, g, {}));
    EXPECT_FALSE(SalvaPunteggio(db(), G, QString(), box, g, {}));
    EXPECT_FALSE(SalvaPunteggio(db(), QStringLiteral("OTHER"), QStringLiteral("4"), box, g, {}));
    EXPECT_TRUE(db().scalar(QStringLiteral("SELECT PunteggioRun1 FROM TblIscrizioni")).isNull());

    ASSERT_TRUE(SalvaPunteggio(db(), G, QStringLiteral("4"), box, g, {}));
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT PunteggioRun1 FROM TblIscrizioni")).toDouble(), 85);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT TempoRun1 FROM TblIscrizioni")).toDouble(),
                     1 + 30.5 / 60);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT PunteggioRun2 FROM TblIscrizioni")).toDouble(), 50);
    EXPECT_DOUBLE_EQ(db().scalar(QStringLiteral("SELECT PunteggioCombinata FROM TblIscrizioni")).toDouble(),
                     7);
}

} // namespace
