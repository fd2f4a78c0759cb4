// Settings-file reader and writer on arbitrary text: no crash, and a written key reads back.
#include "platform/IniFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)zar::IniFile::readFromText(text, QStringLiteral("Ultima Gara"), QStringLiteral("Codice_Gara"));
    const QString written = zar::IniFile::writeToText(text, QStringLiteral("Ultima Gara"),
                                                      QStringLiteral("Codice_Gara"), "20260315X");
    const auto back =
        zar::IniFile::readFromText(written, QStringLiteral("Ultima Gara"), QStringLiteral("Codice_Gara"));
    if (!back || *back != QStringLiteral("20260315X"))
        std::abort();
    return 0;
}
