#include "frame/LimitaAvvio.h"

#include "platform/MsgBox.h"
#include "platform/SingleInstance.h"

#include <QWidget>

namespace zar {

bool LimitaAvvio(int Mode, QWidget& Frm, const QString& Msg, const SingleInstance& instance) {
    switch (Mode) {
    case 0:
        return true;
    case 1:
        if (!instance.previousInstance())
            return true;
        MsgBox(Msg, vbOKOnly);
        return false;
    case 2:
        if (!instance.previousInstance())
            return true;
        // Rename first, so that this window no longer bears the shared caption, then hand
        // over. A failed hand-over ends this copy all the same.
        Frm.setWindowTitle(QString::number(quint64(Frm.winId()), 16).toUpper());
        instance.activateOther();
        return false;
    default:
        return false;
    }
}

} // namespace zar
