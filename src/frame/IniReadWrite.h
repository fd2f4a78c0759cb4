#pragma once

#include <QString>
#include <QVariant>

namespace zar {

// The program's settings accessor. Mode "GET" answers the stored value (at most 49
// characters, empty when missing); mode "WRITE" stores the value and answers "OK".
// An empty mode, section or key answers "ERROR MODE", "ERROR SecName" or
// "ERROR KeyName"; writing an empty value answers "ERROR KeyValue". Any other mode
// answers "OK" and does nothing.
//
// A failure of the file itself throws IniError; forms call it through IniReadWriteShown,
// which shows the failure and goes on.
QString IniReadWrite(const QString& Mode, const QString& SecName, const QString& KeyName,
                     const QString& FileName, const QVariant& KeyValue = QVariant());

} // namespace zar
