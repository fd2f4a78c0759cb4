// Font rewrite on arbitrary bytes: no crash and no overflow, whatever the file claims of itself.
#include "platform/PdfFonts.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)zar::withSimpleFonts(bytes);
    return 0;
}
