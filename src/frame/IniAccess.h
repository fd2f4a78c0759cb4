#pragma once

#include <QString>
#include <QVariant>

namespace zar {

// The settings accessor as the forms call it: a failure of the settings file is shown in a
// plain message box (the file and the system's reason) and answers an empty text, so the
// program goes on without the value stored.
QString IniReadWriteShown(const QString& Mode, const QString& SecName, const QString& KeyName,
                          const QString& FileName, const QVariant& KeyValue = QVariant());

} // namespace zar
