#include "reports/ReportFrame.h"

#include "reports/EasyPrint.h"

#include <QLocale>

namespace zar {

const VarianteReport& VariantePartenza() {
    static const VarianteReport v{1,
                                  false,
                                  QStringLiteral("STAMPA ORDINE PARTENZA "),
                                  80,
                                  {QStringLiteral("1° RUN"), QStringLiteral("2° RUN")},
                                  true,
                                  220,
                                  {30, 45, 130},
                                  65,
                                  1,
                                  {{22.5, QStringLiteral("Ord."), QStringLiteral("Part.")},
                                   {37.5, QStringLiteral("Pett."), {}},
                                   {87.5, QStringLiteral("Cognome Nome  - Conducente"), {}},
                                   {162.5, QStringLiteral("Nome Cane"), {}}},
                                  200,
                                  285,
                                  0,
                                  8,
                                  false,
                                  10};
    return v;
}

const VarianteReport& VarianteClassifica() {
    static const VarianteReport v{
        2,
        true,
        QStringLiteral("CLASSIFICA "),
        60,
        {QStringLiteral("1° RUN"), QStringLiteral("2° RUN"), QStringLiteral("COMBINATA")},
        true,
        135,
        {29, 43, 118, 184, 240, 252},
        66,
        2,
        {{22, QStringLiteral("Clas."), {}},
         {36, QStringLiteral("Pett."), {}},
         {80.5, QStringLiteral("Cognome Nome  - Conducente"), {}},
         {151, QStringLiteral("Nome Cane"), {}},
         {212, QStringLiteral("Razza"), {}},
         {246, QStringLiteral("Punti"), {}},
         {265, QStringLiteral("Tempo"), {}}},
        115,
        0,
        9,
        10,
        true,
        9};
    return v;
}

const VarianteReport& VarianteIscritti() {
    static const VarianteReport v{1,
                                  false,
                                  QStringLiteral("STAMPA LISTA ISCRITTI"),
                                  80,
                                  {},
                                  false,
                                  220,
                                  {29, 92, 147, 159, 171, 184},
                                  65,
                                  1,
                                  {{22, QStringLiteral("Pett."), {}},
                                   {60.5, QStringLiteral("Cognome Nome  - Conducente"), {}},
                                   {119.5, QStringLiteral("Nome Cane"), {}},
                                   {153, QStringLiteral("Cat."), {}},
                                   {165, QStringLiteral("Classe"), {}},
                                   {177.5, QStringLiteral("Taglia"), {}},
                                   {189.5, QStringLiteral("Annot."), {}}},
                                  200,
                                  285,
                                  0,
                                  8,
                                  false,
                                  10};
    return v;
}

QStringList RigheGara(const VarianteReport& v, const DatiIntestazione& d) {
    QStringList righe{
        QStringLiteral("Data    : ") + d.Data + QString(10, u' ') + QStringLiteral("Gara : ") + d.Gara,
        QStringLiteral("Località  : ") + d.Localita, QStringLiteral("Giudice   : ") + d.Giudice};
    if (v.rigaCategoria)
        righe << QStringLiteral("Categoria : ") + d.Categoria + QStringLiteral("    Classe : ") + d.Classe +
                     QStringLiteral("    Taglia : ") + d.Taglia;
    return righe;
}

QString EtichettaRun(const VarianteReport& v, int RunScelta) {
    if (v.etichetteRun.isEmpty())
        return {};
    return v.etichetteRun.value(RunScelta, v.etichetteRun.last());
}

QString DataIntestazione(const QDate& oggi) {
    // Italian day and month names whatever the desktop's language.
    return QLocale(QLocale::Italian, QLocale::Italy).toString(oggi, QStringLiteral("dddd, dd MMMM yyyy"));
}

PaginaReport::PaginaReport(EasyPrint& stampa, const VarianteReport& variante, DatiIntestazione dati)
    : objEasyPrint(stampa), m_variante(variante), m_dati(std::move(dati)) {}

void PaginaReport::ImpostaPagina() {
    objEasyPrint.setPrintQuality(-4);
    objEasyPrint.setColorMode(2);
    objEasyPrint.setPaperSize(9);
    objEasyPrint.setOrientation(m_variante.Orientation);
    MargineSx = 15;
    // Read after the orientation: the width of the chosen side.
    LarghezzaStampa = objEasyPrint.PageWidth() - 15 - MargineSx;
}

void PaginaReport::ImpostaInterlinea(int fontSize) {
    objEasyPrint.setFontBold(true);
    objEasyPrint.setFontItalic(false);
    objEasyPrint.setFontSize(fontSize);
    // The advance is the width of three letters, which leaves air between 10 pt rows.
    Interlinea = objEasyPrint.TextWidth(QStringLiteral("Abc"));
}

void PaginaReport::IntestazionePagina() {
    EasyPrint& ep = objEasyPrint;
    const VarianteReport& v = m_variante;
    const float destra = MargineSx + LarghezzaStampa;
    ep.PrintPicture(MargineSx, 5, m_dati.logo, 0, 0);
    ep.setFontItalic(false);
    ep.setFontBold(true);
    ep.setFontName(QStringLiteral("Times New Roman"));
    ep.setDrawStyle(0);
    ep.setDrawWidth(1);
    ep.PrintShape(MargineSx, 23, LarghezzaStampa, 0, 0);
    ep.PrintShape(MargineSx, 24, LarghezzaStampa, 0, 0);
    ep.setFontItalic(true);
    ep.setFontSize(10);
    ep.PrintRight(destra, 25, DataIntestazione(m_dati.oggi), 0, 0);
    ep.setFontSize(16);
    ep.PrintLeft(MargineSx, 28, v.titolo, 0, v.larghezzaTitolo);
    if (!v.etichetteRun.isEmpty())
        ep.PrintLeft(MargineSx + 80, 28, EtichettaRun(v, m_dati.RunScelta), 0, 40);

    PosY = 0;
    ImpostaInterlinea(12);
    ep.setFontSize(12);
    const QStringList righe = RigheGara(v, m_dati);
    for (int i = 0; i < righe.size(); ++i) {
        if (i > 0)
            PosY += Interlinea;
        ep.PrintLeft(MargineSx, 36 + PosY, righe[i], 0, 180);
    }

    ep.setDrawStyle(0);
    ep.setDrawWidth(1);
    ep.PrintShape(MargineSx, 65, LarghezzaStampa, 0, 0);
    ep.PrintShape(MargineSx, 66, LarghezzaStampa, 0, 0);
    ep.setDrawWidth(3);
    ep.PrintShape(MargineSx, 65, LarghezzaStampa, v.altezzaCornice, 1);
    ep.setDrawWidth(2);
    ep.PrintShape(MargineSx, 78, LarghezzaStampa, 0, 0);
    ep.setDrawWidth(v.spessoreRighe);
    ep.setDrawStyle(2);
    for (double x : v.righeColonne)
        ep.PrintShape(x, v.cimaRighe, 0, v.altezzaCornice, 0);

    PosY = 0;
    ImpostaInterlinea(10);
    ep.setFontBold(true);
    ep.setFontItalic(true);
    ep.setFontSize(10);
    for (const TitoloColonna& t : v.titoli) {
        if (t.secondaRiga.isEmpty()) {
            ep.PrintCentre(t.x, 70, t.testo, 0);
            continue;
        }
        ep.PrintCentre(t.x, 67, t.testo, 0);
        PosY += Interlinea;
        ep.PrintCentre(t.x, 67 + PosY, t.secondaRiga, 0);
    }
}

void PaginaReport::piede(float y) {
    objEasyPrint.PrintRight(MargineSx + LarghezzaStampa, y,
                            QStringLiteral("pag.") + QString::number(objEasyPrint.Page()), 0, 0);
}

void PaginaReport::Stampa(int righe, const std::function<RigaStampa(int riga)>& cella) {
    EasyPrint& ep = objEasyPrint;
    const VarianteReport& v = m_variante;
    IntestazionePagina();
    ImpostaInterlinea(10);
    PosY = 0;
    ep.setFontSize(10);
    ep.setFontBold(true);
    for (int r = 0; r < righe; ++r) {
        const float y = 80 + PosY;
        for (const CellaStampa& c : cella(r)) {
            switch (c.allinea) {
            case CellaStampa::Allinea::Sinistra:
                ep.PrintLeft(c.x, y, c.testo, c.rientro, c.larghezzaMax);
                break;
            case CellaStampa::Allinea::Destra:
                ep.PrintRight(c.x, y, c.testo, c.rientro, c.larghezzaMax);
                break;
            case CellaStampa::Allinea::Centro:
                ep.PrintCentre(c.x, y, c.testo, c.larghezzaMax);
                break;
            }
        }
        PosY += Interlinea;
        // Equal does not break; the advance after the last row breaks too.
        if (PosY > v.limitePagina) {
            piede(v.piedeFisso > 0 ? v.piedeFisso : ep.PageHeight() - v.piedeDalFondo);
            ep.NewPage();
            IntestazionePagina();
            PosY = 0;
            ImpostaInterlinea(10);
        }
    }
    ep.setFontSize(v.piedeFinaleFontSize);
    ep.setFontBold(v.piedeFinaleBold);
    piede(ep.PageHeight() - v.piedeFinaleDalFondo);
    ep.EndDoc();
    if (v.tornaVerticale)
        ep.setOrientation(1);
}

} // namespace zar
