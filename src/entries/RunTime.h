#pragma once

#include <QString>
#include <QStringList>

namespace zar {

// A run time typed as six characters (minutes, seconds, hundredths, two each) in
// minutes: minutes + (seconds + hundredths / 100) / 60. Each part is read from its
// leading numeric characters (empty or non-numeric: 0) and rounded to a 16-bit whole
// number, halves to the even neighbour.
double TempoDaTesto(const QString& typed);

// The shown form of a stored time: mm'ss"cc, to the nearest hundredth of a second.
QString FormatTempo(double minutes);

// The shown form back to the six typed characters (mm'ss"cc -> mmsscc).
// 100 to 100'39"99 give minutes 99 and the rest in the seconds (100'20"50 -> 998050).
QString TestoDaTempoMostrato(const QString& shown);

// Typed points: the leading numeric characters with "." as the decimal point; empty: 0.
double ValoreNumerico(const QString& typed);

// The offered values, in the offered order.
const QStringList& ListaCategorie(); // "NO TIME", "TIME"
const QStringList& ListaClassi();    // "DEBUTTANTI", "JUNIOR", "SENIOR", "BIG"
const QStringList& ListaTaglie();    // "SMALL", "LARGE"

// The settings key of a class's time limit ("Tempo_Limite_1" .. "Tempo_Limite_4"), or
// the empty text for a class not in the list (compared exactly, case included).
QString ChiaveTempoLimite(const QString& classe);

} // namespace zar
