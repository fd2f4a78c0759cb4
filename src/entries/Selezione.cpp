#include "entries/Selezione.h"

#include "entries/RunTime.h"

#include <cmath>

namespace zar {

StatoOrdinamento ClicIntestazione(OrdinamentoColonne regola, StatoOrdinamento stato, int colonna) {
    switch (regola) {
    case OrdinamentoColonne::Nessuno:
        return stato;
    case OrdinamentoColonne::Testo:
        // The sort order is never reversed.
        return {colonna, stato.discendente, false};
    case OrdinamentoColonne::Numerico:
        if (stato.colonna == colonna)
            stato.discendente = !stato.discendente;
        stato.colonna = colonna;
        stato.numerico = colonna == 0 || colonna == 6;
        return stato;
    }
    return stato;
}

QString ChiaveNumerica(const QString& text) {
    return text.left(10).rightJustified(10, u' ');
}

int ConfrontaTesti(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive);
}

std::optional<FiltroIscritti> FiltroPerSelezione(const MembroSelezione& membro, const Selezione& sel) {
    FiltroIscritti f;
    f.ordine = membro.ordine ? membro.ordine() : OrdineIscritti::Pettorale;
    f.campiIscrizione = membro.campiIscrizione;
    f.razza = membro.razza;
    switch (membro.filtri) {
    case MembroSelezione::Filtri::Tutti:
        if (sel.CodiceGara.isEmpty() || sel.Categoria.isEmpty() || sel.Classe.isEmpty() ||
            sel.Taglia.isEmpty())
            return std::nullopt;
        f.CodiceGara = sel.CodiceGara;
        f.Categoria = sel.Categoria;
        f.Classe = sel.Classe;
        f.Taglia = sel.Taglia;
        return f;
    case MembroSelezione::Filtri::GaraPoiAltri:
        if (sel.CodiceGara.isEmpty())
            return std::nullopt;
        f.CodiceGara = sel.CodiceGara;
        if (!sel.Categoria.isEmpty())
            f.Categoria = sel.Categoria;
        if (!sel.Classe.isEmpty())
            f.Classe = sel.Classe;
        if (!sel.Taglia.isEmpty())
            f.Taglia = sel.Taglia;
        return f;
    case MembroSelezione::Filtri::SoloGara:
        if (sel.CodiceGara.isEmpty())
            return std::nullopt;
        f.CodiceGara = sel.CodiceGara;
        return f;
    }
    return std::nullopt;
}

std::optional<bool> StampaAbilitata(const MembroSelezione& membro, const Selezione& sel, int indice) {
    switch (membro.stampa) {
    case MembroSelezione::Stampa::Nessuna:
        return std::nullopt;
    case MembroSelezione::Stampa::TreScelti:
        return !sel.Categoria.isEmpty() && !sel.Classe.isEmpty() && !sel.Taglia.isEmpty();
    case MembroSelezione::Stampa::OgniUscita:
        return true;
    case MembroSelezione::Stampa::UscitaGara:
        if (indice == 0)
            return true;
        return std::nullopt;
    }
    return std::nullopt;
}

QString DomandaUltimaGara(const QString& codice, const QString& domanda) {
    return QStringLiteral("Ultime iscrizioni fatte per la gara : ") + codice + QStringLiteral("\n\r") +
           domanda;
}

QString GaraNonTrovata(const QString& codice) {
    return QStringLiteral("Gara : ") + codice +
           QStringLiteral("\n\rNon trovata tra le registrazioni delle gare!");
}

QString CellaIscritto(const RigaIscritto& r, int colonna) {
    switch (colonna) {
    case 0:
        return r.Pettorale;
    case 1:
        return r.Conduttore;
    case 2:
        return r.NomeCane;
    case 3:
        return r.Categoria;
    case 4:
        return r.Classe;
    case 5:
        return r.Taglia;
    }
    return {};
}

QString TestoRisultato(const RigaIscritto& r, int risultato) {
    if (risultato < 0 || risultato >= RigaIscritto::NumeroRisultati)
        return {};
    const QVariant& v = r.risultati[risultato];
    if (v.isNull())
        return {};
    const double d = v.toDouble();
    if (risultato == RigaIscritto::TempoRun1 || risultato == RigaIscritto::TempoRun2 ||
        risultato == RigaIscritto::TempoCombinata)
        return FormatTempo(d);
    if (d == double(qint64(d)) && std::abs(d) < 1e15) // places and whole points: the quick way
        return QString::number(qint64(d));
    return QString::number(d, 'g', 15);
}

QStringList CelleRisultati(const RigaIscritto& r) {
    QStringList out;
    out.reserve(RigaIscritto::NumeroRisultati);
    for (int k = 0; k < RigaIscritto::NumeroRisultati; ++k)
        out << TestoRisultato(r, k);
    return out;
}

TestoCella CellaDelMembro(const MembroSelezione& membro) {
    if (membro.cella)
        return membro.cella;
    if (membro.celle)
        return [celle = membro.celle](const RigaIscritto& r, int colonna) { return celle(r).value(colonna); };
    return [](const RigaIscritto& r, int colonna) { return colonna == 0 ? r.Pettorale : QString(); };
}

namespace {

MembroSelezione membro(const QString& nome, MembroSelezione::Filtri filtri, const QString& domanda,
                       MembroSelezione::Stampa stampa, OrdinamentoColonne ordinamento) {
    MembroSelezione m;
    m.nome = nome;
    m.filtri = filtri;
    m.domanda = domanda;
    m.stampa = stampa;
    m.ordinamento = ordinamento;
    return m;
}

} // namespace

const MembroSelezione& MembroClassifica() {
    static const MembroSelezione m = [] {
        MembroSelezione c = membro(QStringLiteral("frmClassifica"), MembroSelezione::Filtri::Tutti,
                                   QStringLiteral("Inserire la CLASSIFICA per questa gara?"),
                                   MembroSelezione::Stampa::Nessuna, OrdinamentoColonne::Testo);
        c.saltaIntestazioneVuota = true;
        c.campiIscrizione = false;
        c.colonne = {{QStringLiteral("Pettorale"), 900},  {QStringLiteral("Cognome_Nome Cond."), 2700},
                     {QStringLiteral("Nome Cane"), 1700}, {QStringLiteral("P. 1°Run"), 900},
                     {QStringLiteral("T. 1°Run"), 900},   {QStringLiteral("C. 1°Run"), 900},
                     {QStringLiteral("P. 2°Run"), 900},   {QStringLiteral("T. 2°Run"), 900},
                     {QStringLiteral("C. 2°Run"), 900},   {QStringLiteral("Punti C."), 900},
                     {QStringLiteral("Tempo C."), 900},   {QStringLiteral("Class.C."), 0}};
        // Bib, handler, dog, then the nine results.
        c.cella = [](const RigaIscritto& r, int colonna) {
            return colonna < 3 ? CellaIscritto(r, colonna) : TestoRisultato(r, colonna - 3);
        };
        c.celle = [](const RigaIscritto& r) {
            return QStringList{r.Pettorale, r.Conduttore, r.NomeCane} + CelleRisultati(r);
        };
        return c;
    }();
    return m;
}

MembroSelezione MembroReportPartenza() {
    return membro(QStringLiteral("frmReportPartenza"), MembroSelezione::Filtri::GaraPoiAltri,
                  QStringLiteral("Stampare le PARTENZE per questa gara?"), MembroSelezione::Stampa::TreScelti,
                  OrdinamentoColonne::Numerico);
}

MembroSelezione MembroReportClassifica(std::function<OrdineIscritti()> ordine) {
    MembroSelezione m = membro(QStringLiteral("frmReportClassifica"), MembroSelezione::Filtri::GaraPoiAltri,
                               QStringLiteral("Stampare le CLASSIFICHE per questa gara?"),
                               MembroSelezione::Stampa::TreScelti, OrdinamentoColonne::Nessuno);
    m.ordine = std::move(ordine);
    return m;
}

MembroSelezione MembroPrintPettorali() {
    return membro(QStringLiteral("frmPrintPettorali"), MembroSelezione::Filtri::GaraPoiAltri,
                  QStringLiteral("Stampare i PETTORALI per questa gara?"),
                  MembroSelezione::Stampa::OgniUscita, OrdinamentoColonne::Numerico);
}

MembroSelezione MembroReportIscritti() {
    return membro(QStringLiteral("frmReportIscritti"), MembroSelezione::Filtri::SoloGara,
                  QStringLiteral("Stampare la LISTA DEGLI ISCRITTI per questa gara?"),
                  MembroSelezione::Stampa::UscitaGara, OrdinamentoColonne::Numerico);
}

} // namespace zar
