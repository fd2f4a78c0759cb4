#pragma once

#include <QString>

namespace zar {

// The competition key: the date box's last four characters, its characters 4 and 5 and
// its first two (yyyymmdd for dd/mm/yyyy), then the place without surrounding blanks.
QString CodiceGaraDa(const QString& data, const QString& localita);

// The date part of the key alone.
QString ParteDataCodiceGara(const QString& data);

} // namespace zar
