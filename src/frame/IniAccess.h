#pragma once

#include <QString>
#include <QVariant>

#include <functional>

namespace zar {

// Runs settings work; a failure of the settings file (IniError) is shown in a plain message
// box (the file and the system's reason) and answers false, so the program goes on without
// the value. Every form reaches the settings file through here.
bool IniShown(const std::function<void()>& work);

// The settings accessor as the forms call it: on a failure of the file, shown as above, the
// answer is the empty text.
QString IniReadWriteShown(const QString& Mode, const QString& SecName, const QString& KeyName,
                          const QString& FileName, const QVariant& KeyValue = QVariant());

} // namespace zar
