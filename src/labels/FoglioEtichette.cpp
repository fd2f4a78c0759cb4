#include "labels/FoglioEtichette.h"

#include "entries/RunTime.h"

#include <cmath>

namespace zar {

namespace {

int intero(const QString& testo) {
    const double v = std::trunc(ValoreNumerico(testo.trimmed()));
    // Absurd counts are as useless as none; keep them inside int.
    return v < 0 ? -1 : int(std::min(v, 1.0e6));
}

double mm(const QString& testo) {
    return ValoreNumerico(testo.trimmed());
}

} // namespace

MisureEtichetta MisureEtichetta::da(const ParametriStampaEtichetta& p) {
    MisureEtichetta m;
    m.perRiga = intero(p[Etichette_Linea]);
    m.righePerPagina = intero(p[Etichette_Colonna]);
    m.perCodice = intero(p[Etichette_Campione]);
    m.altezza = mm(p[Label_Height]);
    m.larghezza = mm(p[Label_Width]);
    m.daSopra = mm(p[Label_From_Top]);
    m.daSinistra = mm(p[Label_From_Left]);
    m.aDestra = mm(p[Label_To_Right_Label]);
    m.sotto = mm(p[Label_To_Down_Label]);
    return m;
}

int MisureEtichetta::righeCheStanno(double altezzaStampabile) const {
    const double passo = pitchY();
    if (passo <= 0)
        return 1;
    const double libero = altezzaStampabile - top0() - altezza * kTwipsPerMmY;
    return libero < 0 ? 1 : 1 + int(std::min(libero / passo, 1.0e6));
}

std::optional<QString> ErroreMisure(const MisureEtichetta& m) {
    if (m.perRiga < 1)
        return QStringLiteral("Numero etichette linea non valido: impostare almeno 1 etichetta per linea "
                              "in \"Impostazione Etichetta Pettorale\".\nNessuna etichetta stampata.");
    if (m.perCodice < 1)
        return QStringLiteral("Numero di etichette per codice non valido: impostare almeno 1 etichetta per "
                              "codice in \"Impostazione Etichetta Pettorale\".\nNessuna etichetta stampata.");
    // The bib's font size comes from the height; no printer takes a size of 0.
    if (m.puntiPettorale() <= 0 || m.puntiPettorale() > 2160)
        return QStringLiteral(
            "Altezza dell'etichetta non valida: impostare \"Label Height\" in \"Impostazione "
            "Etichetta Pettorale\".\nNessuna etichetta stampata.");
    // No width puts every label on the same spot with its texts centred on its left edge.
    if (m.larghezza <= 0)
        return QStringLiteral(
            "Larghezza dell'etichetta non valida: impostare \"Label Width\" in \"Impostazione "
            "Etichetta Pettorale\".\nNessuna etichetta stampata.");
    return std::nullopt;
}

std::vector<PostoEtichetta> PercorsoFoglio(int numero, const MisureEtichetta& m, TipoEtichetta parziale,
                                           double altezzaStampabile) {
    std::vector<PostoEtichetta> posti;
    if (m.perRiga < 1 || numero <= 0)
        return posti;
    const int righePagina = m.righePerPagina >= 1 ? m.righePerPagina : m.righeCheStanno(altezzaStampabile);
    const int righePiene = numero / m.perRiga;
    const int resto = numero - m.perRiga * righePiene;
    posti.reserve(size_t(numero));
    int pagina = 1;
    int righeSullaPagina = 0;
    double y = m.top0();
    int k = 0;
    for (int r = 0; r < righePiene; ++r) {
        for (int c = 1; c <= m.perRiga; ++c)
            posti.push_back({k + c - 1, pagina, m.sinistraColonna(c), y, TipoEtichetta::RigaPiena});
        k += m.perRiga;
        ++righeSullaPagina;
        y = m.top0() + righeSullaPagina * m.pitchY();
        if (righeSullaPagina == righePagina) {
            righeSullaPagina = 0;
            y = m.top0();
            if (k < numero)
                ++pagina;
        }
    }
    for (int c = 1; c <= resto; ++c)
        posti.push_back({k + c - 1, pagina, m.sinistraColonna(c), y, parziale});
    return posti;
}

std::vector<Etichetta> EtichetteIscritto(const QString& pettorale, const QString& conduttore,
                                         const QString& cane, int copie) {
    return std::vector<Etichetta>(size_t(std::max(copie, 0)), Etichetta{pettorale, conduttore, cane});
}

std::vector<Etichetta> EtichetteTest(const QString& testo, int numeroTest, int perCodice, bool incremento) {
    std::vector<Etichetta> etichette;
    const double inizio = std::trunc(ValoreNumerico(testo.trimmed()));
    for (int i = 0; i < numeroTest; ++i) {
        const double codice = incremento ? inizio + i : inizio;
        const QString bib = QString::number(codice, 'g', 15);
        for (int j = 0; j < perCodice; ++j)
            etichette.push_back({bib, QStringLiteral("CONDUTTORE"), QStringLiteral("CANE")});
    }
    return etichette;
}

QString TestoPettorale(const QString& testo) {
    bool ok = false;
    const qlonglong v = testo.trimmed().toLongLong(&ok);
    return ok ? QString::number(v) : testo.trimmed();
}

DisegnoEtichetta DisegnaEtichetta(double x, double y, const Etichetta& e, const QString& gara,
                                  TipoEtichetta tipo, const MisureEtichetta& m, double altezzaLogo,
                                  const QString& data, const MisuraTesto& misura) {
    DisegnoEtichetta d;
    d.logo = QPointF(x, y);
    const double centro = x + m.mezzaLarghezza();
    auto centrato = [&](const QString& testo, double punti, double top) {
        const QSizeF s = misura(testo, punti);
        d.testi.push_back({testo, punti, centro - s.width() / 2, top});
        return s;
    };
    const bool completa = tipo != TipoEtichetta::TestRigaParziale;
    // The full rows print the competition a little higher than the last row.
    const double yNome = y + altezzaLogo - (tipo == TipoEtichetta::RigaPiena ? 200 : 0);
    const QSizeF sGara = centrato(gara, 12, yNome);
    if (completa)
        centrato(e.conduttore, 12, yNome + sGara.height() + 100);
    const QSizeF sBib = centrato(e.pettorale, m.puntiPettorale(), y + kBibTop);
    if (completa)
        centrato(e.cane, 12, y + kBibTop + std::round(sBib.height()));
    d.testi.push_back({data, 10, x, y + m.altezza * kTwipsPerMmY - kDateAboveBottom});
    return d;
}

} // namespace zar
