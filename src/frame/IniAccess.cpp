#include "frame/IniAccess.h"

#include "frame/IniReadWrite.h"
#include "platform/IniFile.h"
#include "platform/MsgBox.h"

namespace zar {

bool IniShown(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const IniError& e) {
        MsgBox(e.message());
        return false;
    }
}

QString IniReadWriteShown(const QString& Mode, const QString& SecName, const QString& KeyName,
                          const QString& FileName, const QVariant& KeyValue) {
    QString answer;
    IniShown([&] { answer = IniReadWrite(Mode, SecName, KeyName, FileName, KeyValue); });
    return answer;
}

} // namespace zar
