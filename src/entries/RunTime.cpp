#include "entries/RunTime.h"

#include "frame/Utilities.h"

#include <algorithm>
#include <cmath>

namespace zar {

double ValoreNumerico(const QString& typed) {
    // Leading blanks, an optional sign, digits with "." as the decimal point; the rest is ignored.
    qsizetype i = 0;
    const qsizetype n = typed.size();
    while (i < n && (typed[i] == u' ' || typed[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < n && (typed[i] == u'+' || typed[i] == u'-'))
        ++i;
    bool digits = false;
    while (i < n && typed[i] >= u'0' && typed[i] <= u'9') {
        ++i;
        digits = true;
    }
    if (i < n && typed[i] == u'.') {
        ++i;
        while (i < n && typed[i] >= u'0' && typed[i] <= u'9') {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    return typed.mid(start, i - start).toDouble();
}

namespace {

// A part of a typed time as a 16-bit whole number, halves to the even neighbour.
int parte(const QString& text) {
    const double v = std::nearbyint(ValoreNumerico(text)); // default rounding: to even
    return int(std::clamp(v, -32768.0, 32767.0));
}

QString dueCifre(double v) {
    // Formatted as a double: a stored value of any size never overflows an integer.
    // (+ 0.0 turns a negative zero into "0".)
    const QString s = QString::number(v + 0.0, 'f', 0);
    return s.size() < 2 ? QStringLiteral("0") + s : s;
}

} // namespace

double TempoDaTesto(const QString& typed) {
    const int minuti = parte(typed.left(2));
    const int secondi = parte(typed.mid(2, 2));
    const int centesimi = parte(typed.right(2));
    return minuti + (secondi + centesimi / 100.0) / 60.0;
}

QString FormatTempo(double minutes) {
    const double h = std::round(minutes * 60.0 * 100.0); // hundredths of a second, halves away from zero
    const double m = Arrotonda(h / 6000.0, 0, QStringLiteral("Difetto"));
    const double s = Arrotonda((h - m * 6000.0) / 100.0, 0, QStringLiteral("Difetto"));
    const double c = Arrotonda(h - m * 6000.0 - s * 100.0, 0, QStringLiteral("Difetto"));
    return dueCifre(m) + u'\'' + dueCifre(s) + u'"' + dueCifre(c);
}

QString TestoDaTempoMostrato(const QString& shown) {
    if (shown.isEmpty())
        return QString();
    // 100 minutes or more do not fit two characters. Up to 100'39"99 (999999, the largest
    // typed time) the extra minutes go into the seconds, so a save without retyping keeps
    // the time.
    const qsizetype apice = shown.indexOf(u'\'');
    if (apice > 2 && shown.size() == apice + 6 && shown[apice + 3] == u'"') {
        bool okMinuti = false, okSecondi = false;
        const int minuti = shown.left(apice).toInt(&okMinuti);
        const int secondi = (minuti - 99) * 60 + shown.mid(apice + 1, 2).toInt(&okSecondi);
        if (okMinuti && okSecondi && minuti >= 100 && secondi <= 99)
            return QStringLiteral("99") + QString::number(secondi).rightJustified(2, u'0') + shown.right(2);
    }
    return shown.left(2) + shown.mid(3, 2) + shown.right(2);
}

const QStringList& ListaCategorie() {
    static const QStringList l{QStringLiteral("NO TIME"), QStringLiteral("TIME")};
    return l;
}

const QStringList& ListaClassi() {
    static const QStringList l{QStringLiteral("DEBUTTANTI"), QStringLiteral("JUNIOR"),
                               QStringLiteral("SENIOR"), QStringLiteral("BIG")};
    return l;
}

const QStringList& ListaTaglie() {
    static const QStringList l{QStringLiteral("SMALL"), QStringLiteral("LARGE")};
    return l;
}

QString ChiaveTempoLimite(const QString& classe) {
    const qsizetype i = ListaClassi().indexOf(classe);
    return i < 0 ? QString() : QStringLiteral("Tempo_Limite_%1").arg(i + 1);
}

} // namespace zar
