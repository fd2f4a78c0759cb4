#include "platform/Modal.h"

#include "platform/PlatformContext.h"

#include <QDialog>

namespace zar {

int showModal(PlatformContext& context, QDialog& form) {
    if (context.modalHook)
        return context.modalHook(form);
    return form.exec();
}

} // namespace zar
