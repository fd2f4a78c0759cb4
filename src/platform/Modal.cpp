#include "platform/Modal.h"

#include "frame/SharedValues.h"

#include <QDialog>

namespace zar {

int showModal(SharedValues& shared, QDialog& form) {
    if (shared.modalHook)
        return shared.modalHook(form);
    return form.exec();
}

} // namespace zar
