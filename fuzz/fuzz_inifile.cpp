// Settings-file reader and writer on arbitrary bytes: no crash, a written key reads back, and
// a write that changes nothing reports so.
#include "platform/IniFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString section = QStringLiteral("Ultima Gara");
    const QString key = QStringLiteral("Codice_Gara");
    const QString value = QStringLiteral("20260315X");
    const auto before = zar::IniFile::readFromBytes(bytes, section, key);
    const auto written = zar::IniFile::writeToBytes(bytes, section, key, value);
    if (!written) {
        if (before != value)
            std::abort();
        return 0;
    }
    const auto back = zar::IniFile::readFromBytes(*written, section, key);
    if (!back || *back != value || zar::IniFile::writeToBytes(*written, section, key, value))
        std::abort();
    return 0;
}
