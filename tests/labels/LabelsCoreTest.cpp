#include "labels/FoglioEtichette.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace zar;

using Tipo = TipoEtichetta;

namespace {

// 60 mm wide, 10 mm from the top, 5 from the left, 2 mm across and 3 mm down between labels.
MisureEtichetta misure(const QString& linea, const QString& colonna, const QString& altezza = "40",
                       const QString& campione = "1", const QString& larghezza = "60") {
    return MisureEtichetta::da({linea, altezza, larghezza, "10", "5", "2", "3", colonna, campione, "0"});
}

// The walk as "label:page.row.column" plus the kind (P full row, Q last row, T test sheet's
// last row), each place checked to sit on the grid of 40 x 60 mm labels.
QString percorso(int numero, const QString& linea, const QString& colonna, Tipo parziale) {
    const double treRighe = (10 + 2 * 43 + 40) * kTwipsPerMmY; // a printable height for three rows
    QStringList out;
    for (const PostoEtichetta& p : PercorsoFoglio(numero, misure(linea, colonna), parziale, treRighe)) {
        const double c = (p.x - 5 * kTwipsPerMmX) / (62 * kTwipsPerMmX),
                     r = (p.y - 10 * kTwipsPerMmY) / (43 * kTwipsPerMmY);
        EXPECT_LT(std::abs(c - std::round(c)) + std::abs(r - std::round(r)), 1e-9) << p.etichetta;
        out << QString::asprintf("%d:%d.%ld.%ld%c", p.etichetta, p.pagina, std::lround(r), std::lround(c) + 1,
                                 "PQT"[int(p.tipo)]);
    }
    return out.join(u' ');
}

} // namespace

TEST(LabelSheet, WalkFillsRowsThenPagesAndPlacesTheLastRowAfterThem) {
    // Labels, a row, rows a page, the last row's kind; the walk.
    const std::tuple<int, const char*, const char*, Tipo, const char*> casi[] = {
        {7, "3", "2", Tipo::RigaParziale, "0:1.0.1P 1:1.0.2P 2:1.0.3P 3:1.1.1P 4:1.1.2P 5:1.1.3P 6:2.0.1Q"},
        {6, "3", "2", Tipo::RigaParziale, "0:1.0.1P 1:1.0.2P 2:1.0.3P 3:1.1.1P 4:1.1.2P 5:1.1.3P"},
        {4, "3", "5", Tipo::RigaParziale, "0:1.0.1P 1:1.0.2P 2:1.0.3P 3:1.1.1Q"},
        {7, "1", "3", Tipo::RigaParziale, "0:1.0.1P 1:1.1.1P 2:1.2.1P 3:2.0.1P 4:2.1.1P 5:2.2.1P 6:3.0.1P"},
        {2, "3", "2", Tipo::TestRigaParziale, "0:1.0.1T 1:1.0.2T"},
        {8, "2", "0", Tipo::RigaParziale,
         "0:1.0.1P 1:1.0.2P 2:1.1.1P 3:1.1.2P 4:1.2.1P 5:1.2.2P 6:2.0.1P 7:2.0.2P"},
        {5, "0", "2", Tipo::RigaParziale, ""},
    };
    for (const auto& [numero, linea, colonna, parziale, atteso] : casi)
        EXPECT_EQ(percorso(numero, linea, colonna, parziale), QString::fromLatin1(atteso));
}

TEST(LabelSheet, ValuesReadFromTheirLeadingNumberAndStopWhatCannotPrint) {
    // A row, height, copies; the bib's font size, whether it prints.
    const std::tuple<QString, QString, QString, double, bool> casi[] = {
        {"1", "40", "1", 48, true},  {"3", "12,5", "2", 14.4, true}, {"3", "25.5", "1", 30.6, true},
        {"0", "40", "2", 48, false}, {"3", "40", "0", 48, false},    {"3", "40", "", 48, false},
        {"", "40", "2", 48, false},  {"3", "", "2", 0, false},       {"3", "mm", "2", 0, false},
    };
    for (const auto& [linea, altezza, campione, punti, stampa] : casi) {
        const auto m = misure(linea, "2", altezza, campione);
        const std::string caso = (linea + " / " + altezza + " / " + campione).toStdString();
        EXPECT_NEAR(m.puntiPettorale(), punti, 1e-9) << caso;
        EXPECT_EQ(!ErroreMisure(m).has_value(), stampa) << caso;
    }
    // No width, or less: refused and told why; any width prints.
    for (const auto& [larghezza, detto] : {std::pair{"0", "Larghezza"}, {"-60", "Larghezza"}, {"0.5", ""}})
        EXPECT_EQ(ErroreMisure(misure("3", "2", "40", "1", larghezza)).value_or("").left(9).toStdString(),
                  detto)
            << larghezza;
}

TEST(LabelSheet, OneLabelsLinesByKind) {
    // 1 pt = 20 twips high (the bib 23.46, to see it rounded); 50 twips a character.
    const MisuraTesto misura = [](const QString& t, double punti) {
        return QSizeF(t.size() * 50.0, punti == 12 ? 240.0 : punti == 10 ? 200.0 : 1126.08);
    };
    auto riga = [](const QString& t, double punti, double x, double y) {
        return QStringLiteral("%1 %2 %3 %4").arg(t).arg(punti).arg(x, 0, 'f', 1).arg(y, 0, 'f', 1);
    };
    const double x = 1000, y = 2000, centro = x + 30 * 56.6857, bib = y + 30 * 56.5657, hl = 1296;
    // Full rows lift the top two lines; the test sheet drops the handler and the dog.
    const std::tuple<Tipo, int, bool> casi[] = {
        {Tipo::RigaPiena, 200, true}, {Tipo::RigaParziale, 0, true}, {Tipo::TestRigaParziale, 0, false}};
    for (const auto& [tipo, alza, completa] : casi) {
        const double top = y + hl - alza;
        QStringList fatto, atteso = {riga("GARA", 12, centro - 100, top), riga("12", 48, centro - 50, bib),
                                     riga("01/05/2024", 10, x, y + 26 * 56.5657)}; // 40 mm label
        if (completa) {
            atteso.insert(1, riga("ROSSI MARIO", 12, centro - 275, top + 340));
            atteso.insert(3, riga("FIDO", 12, centro - 100, bib + 1126));
        }
        for (const auto& t : DisegnaEtichetta(x, y, {"12", "ROSSI MARIO", "FIDO"}, "GARA", tipo,
                                              misure("3", "2"), hl, "01/05/2024", misura)
                                 .testi)
            fatto << riga(t.testo, t.punti, t.x, t.y);
        EXPECT_EQ(fatto, atteso) << int(tipo);
    }
}
