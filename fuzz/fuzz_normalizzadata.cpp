// Date normaliser on arbitrary text: the result is empty, or a valid date.
#include "frame/Utilities.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString out = zar::NormalizzaData(text, QDate(2026, 3, 15));
    if (!out.isEmpty() && !zar::isDateText(out))
        std::abort();
    return 0;
}
