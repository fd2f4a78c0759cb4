#include "frame/Utilities.h"

#include <QRegularExpression>

#include <cmath>

namespace zar {

double Arrotonda(double Valore, int Decimali, const QString& Modo) {
    const double step = 1.0 / std::pow(10.0, Decimali);
    double q = Valore / step;
    if (std::floor(q) == q)
        return Valore;
    if (Modo == QLatin1String("Difetto"))
        q = std::floor(q);
    else if (Modo == QLatin1String("Eccesso"))
        q = std::floor(q) + 1;
    else if (Modo == QLatin1String("Matematico"))
        q = std::round(q);
    return q * step;
}

QString PadString(const QString& Testo, int Lunghezza, const QString& Carattere) {
    // Trim removes blanks only, as the runtime's Trim does.
    qsizetype b = 0, e = Testo.size();
    while (b < e && Testo[b] == u' ')
        ++b;
    while (e > b && Testo[e - 1] == u' ')
        --e;
    const QString t = Testo.mid(b, e - b);
    if (Lunghezza >= t.size()) {
        if (Carattere.isEmpty())
            return t;
        return QString(Lunghezza - t.size(), Carattere.at(0)) + t;
    }
    return t.left(std::max(Lunghezza, 0));
}

bool isNumericText(const QString& text) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*[+-]?(\d+([.,]\d*)?|[.,]\d+)\s*$)"));
    return re.match(text).hasMatch();
}

bool isDateText(const QString& text) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\d{1,2})([/.-])(\d{1,2})\2(\d{2}|\d{4})\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    int year = m.captured(4).toInt();
    if (m.captured(4).size() == 2)
        year += year < 30 ? 2000 : 1900; // the runtime's two-digit year window
    if (year < 100)
        return false;
    return QDate(year, m.captured(3).toInt(), m.captured(1).toInt()).isValid();
}

QString NormalizzaData(const QString& Testo, const QDate& today) {
    const QString mm = PadString(QString::number(today.month()), 2, QStringLiteral("0"));
    const QString yyyy = QString::number(today.year());
    QString result = Testo;
    if (isNumericText(Testo)) {
        switch (Testo.size()) {
        case 1:
            result = PadString(Testo, 2, QStringLiteral("0")) + u'/' + mm + u'/' + yyyy;
            break;
        case 2:
            result = Testo + u'/' + mm + u'/' + yyyy;
            break;
        case 4:
            result = Testo.left(2) + u'/' + Testo.right(2) + u'/' + yyyy;
            break;
        case 6:
            result = Testo.left(2) + u'/' + Testo.mid(2, 2) + u'/' + QString::number(today.year() / 100) +
                     Testo.right(2);
            break;
        case 8:
            result = Testo.left(2) + u'/' + Testo.mid(2, 2) + u'/' + Testo.right(4);
            break;
        case 10:
            break;
        default:
            result.clear();
        }
    }
    if (!result.isEmpty() && !isDateText(result))
        result.clear();
    return result;
}

} // namespace zar
