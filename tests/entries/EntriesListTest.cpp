// The entries lists' reading and their model: lazily made texts must show and sort
// exactly as ready texts did.
#include "entries/Iscrizioni.h"
#include "entries/ListaIscritti.h"
#include "entries/Selezione.h"
#include "support/TestFolder.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>

#include <gtest/gtest.h>

using namespace zar;

namespace {

const QString G = QStringLiteral("20240501ROMA");

class EntriesList : public ::testing::Test {
protected:
    void SetUp() override { folder.openShared(shared); }
    Database& db() { return *shared.dbGare; }
    test::TestFolder folder;
    SharedValues shared;
};

QStringList shown(const std::vector<RigaIscritto>& rows) {
    QStringList out;
    for (const RigaIscritto& r : rows) {
        QStringList cells{r.Pettorale, r.Conduttore, r.NomeCane};
        for (const QVariant& v : r.risultati)
            cells << v.toString();
        out << cells.join(u'|');
    }
    return out;
}

TEST_F(EntriesList, ReadingOnlyTheShownFieldsGivesTheSameRows) {
    db().exec(QStringLiteral("INSERT INTO TblConduttori (CodiceFiscale, Cognome, Nome) VALUES "
                             "('CF1', 'ROSSI', 'MARIO'), ('CF2', 'VERDI', NULL)"));
    db().exec(QStringLiteral(
        "INSERT INTO TblCani (Microchip, NomeCane) VALUES ('CHIP1', 'FIDO'), ('CHIP3', 'REX')"));
    const auto add = [&](int bib, const char* cf, const char* chip, const char* cat, QVariant p1,
                         QVariant t1) {
        db().exec(
            QStringLiteral("INSERT INTO TblIscrizioni (CodiceGara, Pettorale, CodiceFiscale, Microchip, "
                           "Categoria, Classe, Taglia, PunteggioRun1, TempoRun1, ClassificaRun1) "
                           "VALUES (?, ?, ?, ?, ?, 'JUNIOR', 'SMALL', ?, ?, ?)"),
            {G, bib, QString::fromUtf8(cf), QString::fromUtf8(chip), QString::fromUtf8(cat), p1, t1,
             p1.isNull() ? QVariant() : QVariant(bib)});
    };
    add(10, "cf1", "chip1", "TIME", 85.5, 1.5);
    add(2, "CF2", "NODOG", "TIME", {}, {});
    add(7, "NOBODY", "CHIP7", "time", 0, 0);
    add(3, "CF1", "CHIP3", "NO TIME", 90, 2.25);

    for (const bool risultati : {true, false}) {
        for (const std::optional<QString>& categoria :
             {std::optional<QString>(), std::optional(QStringLiteral("TIME"))}) {
            FiltroIscritti full;
            full.CodiceGara = G;
            full.Categoria = categoria;
            full.risultati = risultati;
            FiltroIscritti lean = full;
            lean.campiIscrizione = false;
            const auto a = LeggiIscritti(db(), full);
            const auto b = LeggiIscritti(db(), lean);
            EXPECT_EQ(shown(a), shown(b)) << risultati;
            ASSERT_EQ(a.size(), categoria ? 3u : 4u);
            for (const RigaIscritto& r : b) {
                EXPECT_TRUE(r.CodiceFiscale.isEmpty() && r.Microchip.isEmpty() && r.Categoria.isEmpty() &&
                            r.Classe.isEmpty() && r.Taglia.isEmpty());
            }
            EXPECT_EQ(a[0].Pettorale, QStringLiteral("2"));
            EXPECT_EQ(a[0].Conduttore, QStringLiteral("VERDI ")); // a handler without a first name
            EXPECT_EQ(a.back().Conduttore, QStringLiteral("ROSSI MARIO"));
            EXPECT_EQ(a[1].Conduttore, categoria ? QString() : QStringLiteral("ROSSI MARIO"));
            EXPECT_EQ(a.back().CodiceFiscale, QStringLiteral("cf1"));
            EXPECT_EQ(a.back().Categoria, risultati ? QStringLiteral("TIME") : QString());
        }
    }

    // The scores member reads the lean rows and still shows every column.
    const auto rows = LeggiIscritti(
        db(), *FiltroPerSelezione(MembroClassifica(), {G, QStringLiteral("time"), QStringLiteral("junior"),
                                                       QStringLiteral("small")}));
    ASSERT_EQ(rows.size(), 3u);
    const TestoCella cella = CellaDelMembro(MembroClassifica());
    const QStringList row10 = [&] {
        QStringList out;
        for (int c = 0; c < 12; ++c)
            out << cella(rows[2], c);
        return out;
    }();
    EXPECT_EQ(row10,
              QStringList({"10", "ROSSI MARIO", "FIDO", "85.5", "01'30\"00", "10", "", "", "", "", "", ""}));
    EXPECT_EQ(cella(rows[1], 4), QStringLiteral("00'00\"00")); // a stored 0 is not Null
    EXPECT_EQ(cella(rows[0], 3), QString());
}

TEST(Selection, MemberCellsShowTheRowTexts) {
    RigaIscritto r;
    r.Pettorale = QStringLiteral("12");
    r.Conduttore = QStringLiteral("ROSSI MARIO");
    r.NomeCane = QStringLiteral("FIDO");
    const double values[] = {85, 1.2575, 1, 90.5, 59.99999 / 60, 9990, 176, 2.5, 9999};
    for (int k = 0; k < RigaIscritto::NumeroRisultati; ++k)
        r.risultati[k] = values[k];

    const MembroSelezione& m = MembroClassifica();
    const QStringList celle = m.celle(r);
    const TestoCella cella = CellaDelMembro(m);
    EXPECT_EQ(celle, QStringList({"12", "ROSSI MARIO", "FIDO", "85", "01'15\"45", "1", "90.5", "01'00\"00",
                                  "9990", "176", "02'30\"00", "9999"}));
    for (int c = 0; c < celle.size(); ++c)
        EXPECT_EQ(cella(r, c), celle[c]) << c;
    EXPECT_EQ(cella(r, 12), QString());

    // A member that gives whole rows, and one that gives nothing but the bib.
    MembroSelezione righe = MembroPrintPettorali();
    righe.celle = [](const RigaIscritto& x) { return QStringList{x.Pettorale, x.NomeCane}; };
    EXPECT_EQ(CellaDelMembro(righe)(r, 1), QStringLiteral("FIDO"));
    EXPECT_EQ(CellaDelMembro(righe)(r, 2), QString());
    EXPECT_EQ(CellaDelMembro(MembroReportIscritti())(r, 0), QStringLiteral("12"));
    EXPECT_EQ(CellaDelMembro(MembroReportIscritti())(r, 1), QString());
}

std::vector<RigaIscritto> bibs(std::initializer_list<const char*> list) {
    std::vector<RigaIscritto> out;
    for (const char* b : list) {
        RigaIscritto r;
        r.Pettorale = QString::fromUtf8(b);
        r.NomeCane = QStringLiteral("CANE") + r.Pettorale.right(1);
        out.push_back(r);
    }
    return out;
}

TEST(ListModel, EntriesAreFormattedOnlyWhenShownOrSorted) {
    ListaIscrittiModel m({QStringLiteral("Pettorale"), QStringLiteral("Nome Cane")});
    int calls = 0;
    const TestoCella cella = [&calls](const RigaIscritto& r, int c) {
        ++calls;
        return c == 0 ? r.Pettorale : r.NomeCane;
    };
    std::vector<RigaIscritto> many(2000);
    for (size_t i = 0; i < many.size(); ++i)
        many[i].Pettorale = QString::number(2000 - i);
    m.setIscritti(std::move(many), cella);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(m.data(m.index(5, 0)).toString(), QStringLiteral("1995"));
    EXPECT_EQ(calls, 1);
    calls = 0;
    m.ordina(ClicIntestazione(OrdinamentoColonne::Numerico, {}, 0));
    EXPECT_EQ(calls, 2000); // each key once, not once per comparison
    EXPECT_EQ(m.testo(0, 0), QStringLiteral("1"));
    EXPECT_EQ(m.testo(1999, 0), QStringLiteral("2000"));
    EXPECT_EQ(m.iscritti().front().Pettorale, QStringLiteral("2000")); // the query's order stays
    EXPECT_EQ(m.testo(0, 2), QString());                               // outside the columns
    EXPECT_EQ(m.testo(2000, 0), QString());
}

TEST(ListModel, SortsEntriesAsTextRowsAndKeepsTheSelectedRow) {
    for (const bool lazy : {false, true}) {
        ListaIscrittiModel m({QStringLiteral("Pettorale"), QStringLiteral("Nome Cane")});
        QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::Fatal);
        auto rows = bibs({"10", "2", "11", "1", "21"});
        if (lazy) {
            m.setIscritti(std::move(rows),
                          [](const RigaIscritto& r, int c) { return c == 0 ? r.Pettorale : r.NomeCane; });
        } else {
            std::vector<QStringList> texts;
            for (const RigaIscritto& r : rows)
                texts.push_back({r.Pettorale, r.NomeCane});
            m.setRighe(std::move(texts));
        }
        const QPersistentModelIndex selected = m.index(2, 1); // bib 11
        const auto column = [&](int c) {
            QStringList out;
            for (int r = 0; r < m.rowCount(); ++r)
                out << m.testo(r, c);
            return out;
        };
        StatoOrdinamento s = ClicIntestazione(OrdinamentoColonne::Numerico, {}, 0);
        m.ordina(s);
        EXPECT_EQ(column(0), QStringList({"1", "2", "10", "11", "21"})) << lazy;
        EXPECT_EQ(selected.row(), 3);
        EXPECT_EQ(selected.column(), 1);
        s = ClicIntestazione(OrdinamentoColonne::Numerico, s, 0);
        m.ordina(s);
        EXPECT_EQ(column(0), QStringList({"21", "11", "10", "2", "1"})) << lazy;
        EXPECT_EQ(selected.row(), 1);
        // Equal dog names keep their current order (descending here).
        m.ordina(ClicIntestazione(OrdinamentoColonne::Numerico, s, 1));
        EXPECT_EQ(column(0), QStringList({"2", "21", "11", "1", "10"})) << lazy;
        EXPECT_EQ(column(1), QStringList({"CANE2", "CANE1", "CANE1", "CANE1", "CANE0"})) << lazy;
        EXPECT_EQ(m.data(selected).toString(), QStringLiteral("CANE1"));
        EXPECT_EQ(m.testo(selected.row(), 0), QStringLiteral("11"));
        m.ordina(ClicIntestazione(OrdinamentoColonne::Testo, {}, 0));
        EXPECT_EQ(column(0), QStringList({"1", "10", "11", "2", "21"})) << lazy;
    }
}

} // namespace
