#include "reports/ReportForms.h"

#include <QLocale>

namespace zar {

namespace {

ColonnaLista col(const char* intestazione, int larghezza) {
    return {QString::fromUtf8(intestazione), larghezza};
}

OrdineIscritti ordinePerRun(int RunScelta) {
    switch (RunScelta) {
    case 0:
        return OrdineIscritti::ClassificaRun1;
    case 1:
        return OrdineIscritti::ClassificaRun2;
    default:
        return OrdineIscritti::ClassificaCombinata;
    }
}

const QStringList& dueRun() {
    static const QStringList l{QStringLiteral("1° Run"), QStringLiteral("2° Run")};
    return l;
}

} // namespace

QString TestoPunti(const QVariant& punti) {
    if (punti.isNull())
        return {};
    // The users are Italian whatever the desktop's language: 12,5.
    static const QLocale locale = [] {
        QLocale l(QLocale::Italian, QLocale::Italy);
        l.setNumberOptions(QLocale::OmitGroupSeparator);
        return l;
    }();
    return locale.toString(punti.toDouble(), 'g', 15);
}

QString CellaPartenza(const RigaIscritto& r, int colonna) {
    return colonna == 6 ? TestoRisultato(r, RigaIscritto::ClassificaRun1) : CellaIscritto(r, colonna);
}

QString CellaClassifica(const RigaIscritto& r, int colonna, int RunScelta) {
    switch (colonna) {
    case 0:
        return TestoRisultato(r, RunScelta == 0   ? RigaIscritto::ClassificaRun1
                                 : RunScelta == 1 ? RigaIscritto::ClassificaRun2
                                                  : RigaIscritto::ClassificaCombinata);
    case 1:
        return r.Pettorale;
    case 2:
        return r.Conduttore;
    case 3:
        return r.NomeCane;
    case 4:
        return r.Razza;
    case 5:
        return TestoPunti(r.risultati[RigaIscritto::PunteggioRun1]);
    case 6:
        return TestoRisultato(r, RigaIscritto::TempoRun1);
    case 7:
        return TestoPunti(r.risultati[RigaIscritto::PunteggioRun2]);
    case 8:
        return TestoRisultato(r, RigaIscritto::TempoRun2);
    case 9:
        return TestoPunti(r.risultati[RigaIscritto::PunteggioCombinata]);
    case 10:
        return TestoRisultato(r, RigaIscritto::TempoCombinata);
    }
    return {};
}

QString CellaIscritti(const RigaIscritto& r, int colonna) {
    return colonna < 6 ? CellaPartenza(r, colonna) : QString();
}

frmReportPartenza::frmReportPartenza(SharedValues& shared, QWidget* parent)
    : FormReport(
          shared,
          [] {
              Impostazione i;
              i.nome = QStringLiteral("frmReportPartenza");
              i.caption = QStringLiteral("Stampa Ordine Partenza");
              i.membro = MembroReportPartenza();
              i.membro.colonne = {col("Pett.", 900),      col("Cognome_Nome Cond.", 3500),
                                  col("Nome Cane", 2500), col("Categoria", 1000),
                                  col("Classe", 1200),    col("Taglia", 1000),
                                  col("Cl. 1°Run", 0)};
              i.membro.cella = CellaPartenza;
              i.opzioniRun = dueRun();
              i.variante = &VariantePartenza();
              i.riga = [](int riga, const QStringList& c) { return RigaPartenza(riga + 1, c); };
              return i;
          }(),
          parent) {}

frmReportClassifica::frmReportClassifica(SharedValues& shared, QWidget* parent)
    : FormReport(
          shared,
          [this] {
              Impostazione i;
              i.nome = QStringLiteral("frmReportClassifica");
              i.caption = QStringLiteral("Report Classifica");
              // The order and the first column follow the run chosen when the list loads.
              i.membro = MembroReportClassifica([this] { return ordinePerRun(RunScelta()); });
              i.membro.razza = true;
              i.membro.colonne = {
                  col("Classifica", 1075),  col("Pettorale", 1025),   col("Cognome_Nome Cond.", 2950),
                  col("Nome Cane", 2000),   col("Razza", 2000),       col("Punti 1°Run", 1075),
                  col("Tempo 1°Run", 1075), col("Punti 2°Run", 1075), col("Tempo 2°Run", 1075),
                  col("Punti Comb.", 1087), col("Tempo Comb.", 0)};
              i.membro.cella = [this](const RigaIscritto& r, int c) {
                  return CellaClassifica(r, c, RunScelta());
              };
              i.opzioniRun = dueRun() + QStringList{QStringLiteral("Combinata")};
              i.variante = &VarianteClassifica();
              i.riga = [this](int, const QStringList& c) { return RigaClassifica(RunScelta(), c); };
              return i;
          }(),
          parent) {}

frmReportIscritti::frmReportIscritti(SharedValues& shared, QWidget* parent)
    : FormReport(
          shared,
          [] {
              Impostazione i;
              i.nome = QStringLiteral("frmReportIscritti");
              i.caption = QStringLiteral("Stampa Lista Iscritti");
              i.membro = MembroReportIscritti();
              i.membro.colonne = {col("Pett.", 900),      col("Cognome_Nome Cond.", 3500),
                                  col("Nome Cane", 3500), col("Categoria", 1100),
                                  col("Classe", 1200),    col("Taglia", 0)};
              i.membro.cella = CellaIscritti;
              i.variante = &VarianteIscritti();
              i.riga = [](int, const QStringList& c) { return RigaIscritti(c); };
              return i;
          }(),
          parent) {}

} // namespace zar
