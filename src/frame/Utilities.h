#pragma once

#include <QDate>
#include <QString>

namespace zar {

// Rounds Valore to Decimali decimals: "Difetto" down, "Eccesso" up, "Matematico" to the
// nearest with halves away from zero. A value already on the step comes back unchanged;
// any other mode gives the value back (within double precision).
double Arrotonda(double Valore, int Decimali, const QString& Modo);

// Turns a typed date into dd/mm/yyyy: 1-2 digits are a day of today's month, 4 digits
// day and month of today's year, 6 digits a day, month and two-digit year of today's
// century, 8 digits a full date; 10 characters stay as typed. Other digit counts and
// dates not in the calendar give the empty text; other text stays as typed when it is
// a valid date, else it becomes empty.
QString NormalizzaData(const QString& Testo, const QDate& today);

// Trims Testo and pads it on the left with the first character of Carattere up to
// Lunghezza, or cuts it to its first Lunghezza characters.
QString PadString(const QString& Testo, int Lunghezza, const QString& Carattere);

// The runtime's numeric test: an optional sign, digits with at most one decimal
// separator ("." or ","), blanks around allowed.
bool isNumericText(const QString& text);

// The runtime's date test for day-month-year text: separators "/", "-" or ".", a two- or
// four-digit year, and a date that exists in the calendar.
bool isDateText(const QString& text);

} // namespace zar
