#include "frame/IniReadWrite.h"

#include "platform/IniFile.h"

namespace zar {

namespace {
// The profile reader fills a buffer of 50 characters, the last one its end mark.
constexpr int kValueLength = 49;
} // namespace

QString IniReadWrite(const QString& Mode, const QString& SecName, const QString& KeyName,
                     const QString& FileName, const QVariant& KeyValue) {
    if (Mode.isEmpty())
        return QStringLiteral("ERROR MODE");
    if (SecName.isEmpty())
        return QStringLiteral("ERROR SecName");
    if (KeyName.isEmpty())
        return QStringLiteral("ERROR KeyName");

    const QString mode = Mode.toUpper();
    if (mode == QLatin1String("WRITE")) {
        const QString value = KeyValue.toString();
        if (value.isEmpty())
            return QStringLiteral("ERROR KeyValue");
        IniFile::write(FileName, SecName, KeyName, value);
        return QStringLiteral("OK");
    }
    if (mode == QLatin1String("GET")) {
        // A missing key reads as the default "Failed", and so does any value that
        // begins with those six letters.
        const QString value = IniFile::read(FileName, SecName, KeyName).value_or(QStringLiteral("Failed"));
        const QString cut = value.left(kValueLength);
        if (cut.startsWith(QLatin1String("Failed")))
            return QString();
        return cut;
    }
    return QStringLiteral("OK");
}

} // namespace zar
