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
#include <tuple>

using namespace zar;

namespace {

const QString G = QStringLiteral("20240501ROMA");

class Entries : public ::testing::Test {
protected:
    void SetUp() override { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    QString all(const QString& sql) { return db().scalar(sql).toString(); }
    QString counts() {
        return all("SELECT (SELECT COUNT(*) FROM TblConduttori) || '/' || (SELECT COUNT(*) FROM TblCani) "
                   "|| '/' || (SELECT COUNT(*) FROM TblIscrizioni)");
    }
    static NuovaIscrizione nuova(int bib, const QString& cf, const QString& chip) {
        return {G,        bib,    {cf, "rossi", "mario", "t1"}, {chip, "fido", "meticcio", "small"}, "time",
                "JUNIOR", "small"};
    }
    test::TestFolder folder;
    SharedValues shared;
};

TEST_F(Entries, SaveStoresHandlerDogAndEntryAllOrNone) {
    SalvaIscrizione(db(), nuova(5, "rssmra", "chip1"));
    EXPECT_EQ(
        all("SELECT group_concat(x, '|') FROM (SELECT CodiceFiscale || Cognome || Nome || TesseraCIS AS x "
            "FROM TblConduttori UNION ALL SELECT Microchip || NomeCane || Razza || Taglia FROM TblCani "
            "UNION ALL SELECT CodiceFiscale || Microchip || Categoria || Taglia || Pettorale FROM "
            "TblIscrizioni)"),
        "RSSMRAROSSIMARIOT1|CHIP1FIDOMETICCIOSMALL|rssmrachip1timesmall5");
    db().exec("CREATE TRIGGER Boom BEFORE INSERT ON TblIscrizioni WHEN NEW.Pettorale = 9 BEGIN "
              "SELECT RAISE(ABORT, 'disk full'); END");
    // The bib, the chip and the refusal (empty: the engine fails).
    const std::tuple<int, const char*, QString> refused[] = {{5, "C2", kPettoraleUsato},
                                                             {6, "CHIP1", kCaneIscritto},
                                                             {32768, "C3", kPettoraleFuoriLimiti},
                                                             {-1, "C3", kPettoraleFuoriLimiti},
                                                             {9, "C3", QString()}};
    for (const auto& [bib, chip, refusal] : refused) {
        try {
            SalvaIscrizione(db(), nuova(bib, "NEWCF", QString::fromUtf8(chip)));
            ADD_FAILURE() << "bib " << bib << " accepted";
        } catch (const IscrizioneRifiutata& e) {
            EXPECT_EQ(e.text(), refusal) << bib;
        } catch (const DbError&) {
            EXPECT_TRUE(refusal.isEmpty()) << bib;
        }
        EXPECT_EQ(counts(), "1/1/1") << bib;
        EXPECT_FALSE(db().inTransaction());
    }
    // The top bib, and a known handler kept unchanged in another entry.
    SalvaIscrizione(db(), nuova(32767, "B", "C4"));
    auto other = nuova(0, "RSSMRA", "C5");
    other.conduttore.Cognome = "bianchi";
    SalvaIscrizione(db(), other);
    EXPECT_EQ(counts() + all("SELECT Cognome FROM TblConduttori WHERE CodiceFiscale = 'RSSMRA'"),
              "2/3/3ROSSI");
    EXPECT_EQ(EliminaIscrizione(db(), G, "5"), 1);
    EXPECT_EQ(EliminaIscrizione(db(), G, "5"), 0);
    EXPECT_EQ(counts(), "2/3/2") << "handler and dog stay";
}

TEST(ListModel, SortsByNumberOrTextAndKeepsTheSelectedRow) {
    ListaIscrittiModel m({QStringLiteral("Pettorale"), QStringLiteral("Nome Cane")});
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
    std::vector<QStringList> rows;
    for (const QString bib : {"10", "2", "11", "1", "21"})
        rows.push_back({bib, "CANE" + bib.right(1)});
    m.setRighe(std::move(rows));
    const QPersistentModelIndex selected = m.index(2, 1); // bib 11
    // The rule, whether the heading is clicked on a list never sorted, the column, the bibs shown.
    const std::tuple<OrdinamentoColonne, bool, int, const char*> steps[] = {
        {OrdinamentoColonne::Numerico, true, 0, "1 2 10 11 21"},
        {OrdinamentoColonne::Numerico, false, 0, "21 11 10 2 1"}, // the same heading reverses
        {OrdinamentoColonne::Numerico, false, 1, "2 21 11 1 10"}, // direction kept, stable
        {OrdinamentoColonne::Testo, true, 0, "1 10 11 2 21"},
        {OrdinamentoColonne::Testo, false, 0, "1 10 11 2 21"}}; // never reversed
    StatoOrdinamento s;
    for (const auto& [kind, fresh, column, expected] : steps) {
        s = ClicIntestazione(kind, fresh ? StatoOrdinamento{} : s, column);
        m.ordina(s);
        QStringList shown;
        for (int r = 0; r < m.rowCount(); ++r)
            shown << m.testo(r, 0);
        EXPECT_EQ(shown.join(' '), expected);
        EXPECT_EQ(m.testo(selected.row(), 0), "11");
    }
}

TEST(Scores, CombinedPointsAreTheRoundedSumOnlyWhenBothRunsScored) {
    const double t013050 = 1 + 30.5 / 60, t012000 = 1 + 20.0 / 60;
    using Values = std::tuple<double, double, std::optional<double>, std::optional<double>>; // run, combined
    const std::pair<BoxPunteggi, Values> cases[] = {
        {{1, "85", "013050", "90", "012000"}, {85, t013050, 175, t013050 + t012000}},
        {{1, "60.5", "", "70", ""}, {60.5, 0, 130, 0}},             // 130.5 goes to the even neighbour
        {{2, "60", "010000", "71.5", "010000"}, {71.5, 1, 132, 2}}, // 131.5 goes up to 132
        {{1, "85", "013050", "", ""},
         {85, t013050, std::nullopt, std::nullopt}},        // run 2 empty: combined kept
        {{1, "0", "013050", "90", "012000"}, {0, 0, 0, 0}}, // points not above 0
        {{2, "85", "013050", "-1", "012000"}, {0, 0, 0, 0}},
        {{1, "85", "013050", "90", ""}, {85, t013050, 175, 0}}, // one time missing: combined time 0
    };
    for (const auto& [box, expected] : cases) {
        const auto v = CalcolaPunteggio(box);
        EXPECT_EQ(std::tuple(v.punteggio, v.tempo, v.punteggioCombinata, v.tempoCombinata), expected)
            << qPrintable(box.punti1 + " / " + box.punti2);
    }
}

} // namespace

TEST(RunTime, TypedTextsShownTimesAndPoints) {
    const auto minuti = [](int m, int s, int c) { return m + (s + c / 100.0) / 60.0; };
    const std::pair<const char*, double> typed[] = {
        {"012345", minuti(1, 23, 45)}, {"", 0}, {"1a2b3c", minuti(1, 2, 3)}, // leading digits of each part
        {"01305", minuti(1, 30, 5)},   // hundredths: the last two characters
        {"01.530", minuti(1, 0, 30)},  // ".5" rounds to the even 0, not to 1
        {"0190xx", minuti(1, 90, 0)}}; // seconds are not checked against 60
    for (const auto& [text, expected] : typed)
        EXPECT_DOUBLE_EQ(TempoDaTesto(QString::fromLatin1(text)), expected) << text;
    const std::pair<double, const char*> shown[] = {
        {-0.0000001, "00'00\"00"}, // rounds to zero, shown without a sign
        {minuti(123, 4, 5), "123'04\"05"},
        {59.9996 / 60.0, "01'00\"00"}, // 59.9996 s is 6000 hundredths: a whole minute
        {3.0 / 32.0, "00'05\"63"}};    // exactly 562.5 hundredths: the half goes away from zero
    for (const auto& [minutes, text] : shown)
        EXPECT_EQ(FormatTempo(minutes), QString::fromUtf8(text)) << minutes;
    // Beyond the largest typed time, and negative minutes: the characters as they stand.
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("100'40\"00")), "10'400");
    EXPECT_EQ(TestoDaTempoMostrato(QString::fromUtf8("-10'20\"00")), "-1'200");
    const std::pair<const char*, double> points[] = {{"85,5", 85}, {"12abc", 12},  {" 7", 7},
                                                     {".5", 0.5},  {"1.2.3", 1.2}, {"-", 0}};
    for (const auto& [text, expected] : points)
        EXPECT_DOUBLE_EQ(ValoreNumerico(QString::fromLatin1(text)), expected) << text;
}

// Every typed time comes back through what the list shows.
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
