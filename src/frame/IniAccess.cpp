#include "frame/IniAccess.h"

#include "frame/IniReadWrite.h"
#include "platform/IniFile.h"
#include "platform/MsgBox.h"

namespace zar {

QString IniReadWriteShown(const QString& Mode, const QString& SecName, const QString& KeyName,
                          const QString& FileName, const QVariant& KeyValue) {
    try {
        return IniReadWrite(Mode, SecName, KeyName, FileName, KeyValue);
    } catch (const IniError& e) {
        MsgBox(e.message());
        return QString();
    }
}

} // namespace zar
