#include "registers/CodiceGara.h"

namespace zar {

QString ParteDataCodiceGara(const QString& data) {
    return data.right(4) + data.mid(3, 2) + data.left(2);
}

QString CodiceGaraDa(const QString& data, const QString& localita) {
    return ParteDataCodiceGara(data) + localita.trimmed();
}

} // namespace zar
