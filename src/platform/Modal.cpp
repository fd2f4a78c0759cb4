#include "platform/Modal.h"

#include <QDialog>

namespace zar {

namespace {
ModalHook& hook() {
    static ModalHook h;
    return h;
}
} // namespace

int showModal(QDialog& form) {
    if (hook())
        return hook()(form);
    return form.exec();
}

void setModalHook(ModalHook h) {
    hook() = std::move(h);
}

} // namespace zar
