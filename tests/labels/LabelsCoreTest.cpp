#include "labels/FoglioEtichette.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zar;

namespace {

using Tipo = TipoEtichetta;

ParametriStampaEtichetta parametri(const QString& linea, const QString& colonna,
                                   const QString& altezza = "40", const QString& campione = "1") {
    // height, width, top, left, right gap, down gap in mm
    return {linea, altezza, "60", "10", "5", "2", "3", colonna, campione, "0"};
}

// Where row r (from 0) and column c (from 1) of a sheet of 40 x 60 mm labels stand.
PostoEtichetta posto(int etichetta, int pagina, int r, int c, Tipo tipo) {
    return {etichetta, pagina, 5 * 56.6857 + (c - 1) * 62 * 56.6857, 10 * 56.5657 + r * 43 * 56.5657, tipo};
}

} // namespace

TEST(LabelSheet, WalkFillsRowsThenPagesAndPlacesTheLastRowAfterThem) {
    const Tipo P = Tipo::RigaPiena, Q = Tipo::RigaParziale;
    const double tuttoIlFoglio = 10 * 56.5657 + 2 * 43 * 56.5657 + 40 * 56.5657; // three rows fit exactly
    const struct {
        const char* caso;
        int numero;
        QString linea, colonna;
        Tipo parziale;
        std::vector<PostoEtichetta> atteso;
    } casi[] = {
        {"7 labels, 3 x 2: the seventh alone on page 2",
         7,
         "3",
         "2",
         Q,
         {posto(0, 1, 0, 1, P), posto(1, 1, 0, 2, P), posto(2, 1, 0, 3, P), posto(3, 1, 1, 1, P),
          posto(4, 1, 1, 2, P), posto(5, 1, 1, 3, P), posto(6, 2, 0, 1, Q)}},
        {"6 labels, 3 x 2: one page, none started after it",
         6,
         "3",
         "2",
         Q,
         {posto(0, 1, 0, 1, P), posto(1, 1, 0, 2, P), posto(2, 1, 0, 3, P), posto(3, 1, 1, 1, P),
          posto(4, 1, 1, 2, P), posto(5, 1, 1, 3, P)}},
        {"4 labels, 3 x 5: the fourth opens row 2",
         4,
         "3",
         "5",
         Q,
         {posto(0, 1, 0, 1, P), posto(1, 1, 0, 2, P), posto(2, 1, 0, 3, P), posto(3, 1, 1, 1, Q)}},
        {"2 labels, 3 a row: no full row",
         2,
         "3",
         "2",
         Tipo::TestRigaParziale,
         {posto(0, 1, 0, 1, Tipo::TestRigaParziale), posto(1, 1, 0, 2, Tipo::TestRigaParziale)}},
        {"rows per page 0: as many rows as the paper holds",
         8,
         "2",
         "0",
         Q,
         {posto(0, 1, 0, 1, P), posto(1, 1, 0, 2, P), posto(2, 1, 1, 1, P), posto(3, 1, 1, 2, P),
          posto(4, 1, 2, 1, P), posto(5, 1, 2, 2, P), posto(6, 2, 0, 1, P), posto(7, 2, 0, 2, P)}},
        {"labels per row 0: nothing", 5, "0", "2", Q, {}},
        {"labels per row empty: nothing", 5, "", "2", Q, {}},
    };
    for (const auto& k : casi) {
        const auto m = MisureEtichetta::da(parametri(k.linea, k.colonna));
        const auto posti = PercorsoFoglio(k.numero, m, k.parziale, tuttoIlFoglio);
        ASSERT_EQ(posti.size(), k.atteso.size()) << k.caso;
        for (size_t i = 0; i < posti.size(); ++i) {
            EXPECT_EQ(posti[i].etichetta, k.atteso[i].etichetta) << k.caso << " #" << i;
            EXPECT_EQ(posti[i].pagina, k.atteso[i].pagina) << k.caso << " #" << i;
            EXPECT_EQ(posti[i].tipo, k.atteso[i].tipo) << k.caso << " #" << i;
            EXPECT_NEAR(posti[i].x, k.atteso[i].x, 1e-6) << k.caso << " #" << i;
            EXPECT_NEAR(posti[i].y, k.atteso[i].y, 1e-6) << k.caso << " #" << i;
        }
    }
}

TEST(LabelSheet, ValuesReadFromTheirLeadingNumberAndStopWhatCannotPrint) {
    const struct {
        QString linea, altezza, campione;
        double punti;
        bool stampa;
    } casi[] = {
        {"3", "40", "2", 48, true}, {"3", "12,5", "2", 14.4, true}, {"3", "25.5", "1", 30.6, true},
        {"1", "40", "1", 48, true}, {"0", "40", "2", 48, false},    {"3", "40", "0", 48, false},
        {"3", "40", "", 48, false}, {"", "40", "2", 48, false},     {"3", "", "2", 0, false},
        {"3", "mm", "2", 0, false},
    };
    for (const auto& k : casi) {
        const auto m = MisureEtichetta::da(parametri(k.linea, "2", k.altezza, k.campione));
        EXPECT_NEAR(m.puntiPettorale(), k.punti, 1e-9) << k.altezza.toStdString();
        EXPECT_EQ(!ErroreMisure(m).has_value(), k.stampa)
            << k.linea.toStdString() << " / " << k.altezza.toStdString() << " / " << k.campione.toStdString();
    }
}

TEST(LabelSheet, OneLabelsLinesByKind) {
    // 1 pt = 20 twips high (23.46 for the bib, to see it rounded); 50 twips a character.
    const MisuraTesto misura = [](const QString& t, double punti) {
        return QSizeF(t.size() * 50.0, punti == 12 ? 240.0 : punti == 10 ? 200.0 : 1126.08);
    };
    const auto m = MisureEtichetta::da(parametri("3", "2"));
    const Etichetta e{"12", "ROSSI MARIO", "FIDO"};
    const double x = 1000, y = 2000, centro = 1000 + 60 * 56.6857 / 2, hl = 1296;
    const double bibTop = y + 1696.971, dataTop = y + 1470.7082; // a 40 mm label
    const struct {
        Tipo tipo;
        std::vector<TestoEtichetta> atteso;
    } casi[] = {
        {Tipo::RigaPiena,
         {{"GARA", 12, centro - 100, y + hl - 200},
          {"ROSSI MARIO", 12, centro - 275, y + hl - 200 + 240 + 100},
          {"12", 48, centro - 50, bibTop},
          {"FIDO", 12, centro - 100, bibTop + 1126},
          {"01/05/2024", 10, x, dataTop}}},
        {Tipo::RigaParziale,
         {{"GARA", 12, centro - 100, y + hl},
          {"ROSSI MARIO", 12, centro - 275, y + hl + 240 + 100},
          {"12", 48, centro - 50, bibTop},
          {"FIDO", 12, centro - 100, bibTop + 1126},
          {"01/05/2024", 10, x, dataTop}}},
        {Tipo::TestRigaParziale,
         {{"GARA", 12, centro - 100, y + hl},
          {"12", 48, centro - 50, bibTop},
          {"01/05/2024", 10, x, dataTop}}},
    };
    for (const auto& k : casi) {
        const auto d = DisegnaEtichetta(x, y, e, "GARA", k.tipo, m, hl, "01/05/2024", misura);
        EXPECT_EQ(d.logo, QPointF(x, y));
        ASSERT_EQ(d.testi.size(), k.atteso.size()) << int(k.tipo);
        for (size_t i = 0; i < d.testi.size(); ++i) {
            const auto& t = d.testi[i];
            const auto& a = k.atteso[i];
            EXPECT_EQ(t.testo, a.testo) << int(k.tipo) << " #" << i;
            EXPECT_NEAR(t.punti, a.punti, 1e-9) << int(k.tipo) << " #" << i;
            EXPECT_NEAR(t.x, a.x, 1e-6) << int(k.tipo) << " #" << i;
            EXPECT_NEAR(t.y, a.y, 1e-4) << int(k.tipo) << " #" << i;
        }
    }
}

TEST(LabelSheet, SettingsReadByPosition) {
    const QString header = "[Parametri di Stampa Etichetta]\r\n";
    const QString dieci =
        "Etichette_Linea=2\r\nLabel_Height=25.5\r\nLabel_Width=99.1\r\nLabel_From_Top=8.8\r\n"
        "Label_From_Left=4.6\r\nLabel_To_Right_Label=2.5\r\nLabel_To_Down_Label=0\r\n"
        "Etichette_Colonna=3\r\nEtichette_Campione=2\r\nSkip_Vuote=1\r\n";
    const ParametriStampaEtichetta pieni{"2", "25.5", "99.1", "8.8", "4.6", "2.5", "0", "3", "2", "1"};
    const struct {
        const char* caso;
        std::optional<QString> file; // none: no file at all
        ParametriStampaEtichetta atteso;
    } casi[] = {
        {"in key order", "[Ultima Gara]\r\nCodice_Gara=G1\r\n" + header + dieci, pieni},
        {"blanks around the header", "  [Parametri di Stampa Etichetta]  \n" + dieci, pieni},
        {"lower-case header", "[parametri di stampa etichetta]\r\n" + dieci, {}},
        {"no file", std::nullopt, {}},
        {"eight keys, then another section",
         header + dieci.section("\r\n", 0, 7) + "\r\n[Ultima Gara]\r\nCodice_Gara=G7\r\n",
         {"2", "25.5", "99.1", "8.8", "4.6", "2.5", "0", "3", "[Ultima Gara]", "G7"}},
        {"keys by position, not by name",
         header + "Label_Height=40\r\n; nota\r\n\r\nA=B=C\r\n",
         {"40", "; nota", "", "B=C", "", "", "", "", "", ""}},
        {"a later header starts over",
         header + dieci + header + "Etichette_Linea=4\r\nLabel_Height=30",
         {"4", "30", "99.1", "8.8", "4.6", "2.5", "0", "3", "2", "1"}},
    };
    for (const auto& k : casi) {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZAR.ini");
        if (k.file) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(k.file->toUtf8());
        }
        const auto letti = LeggiParametriEtichetta(path);
        for (int i = 0; i < NumeroParametriEtichetta; ++i)
            EXPECT_EQ(letti[size_t(i)], k.atteso[size_t(i)]) << k.caso << " #" << i + 1;
    }
}
