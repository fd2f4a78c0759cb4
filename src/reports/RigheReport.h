#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace zar {

// One printed cell of a report row, in millimetres from the paper's left edge. The row's
// y comes from the page frame.
struct CellaStampa {
    enum class Allinea { Sinistra, Destra, Centro };
    Allinea allinea = Allinea::Sinistra;
    double x = 0;
    QString testo;
    double rientro = 0;   // mm, first line only
    int larghezzaMax = 0; // mm; 0 = no limit
    bool operator==(const CellaStampa&) const = default;
};
using RigaStampa = std::vector<CellaStampa>;

// The start order: running number, bib, handler, dog (the list's columns 1 to 3).
RigaStampa RigaPartenza(int numero, const QStringList& colonne);

// The rankings. `RunScelta` 0 run 1, 1 run 2, anything else combined; `colonne` the
// list's eleven texts.
RigaStampa RigaClassifica(int RunScelta, const QStringList& colonne);
// The place as printed: the text for 1 to 9989, "F.T." for 9990, "N.C." otherwise.
QString TestoPosto(const QString& posto);
// Whether a shown points or time cell prints at all.
bool StampaPunti(const QString& punti);
bool StampaTempo(const QString& tempo);

// The entrants: bib, handler, dog, then the abbreviated category, class and size.
RigaStampa RigaIscritti(const QStringList& colonne);

} // namespace zar
