#include "frame/Forms.h"

#include "frame/SharedValues.h"
#include "platform/Modal.h"
#include "registers/FrmCane.h"
#include "registers/FrmConduttore.h"
#include "registers/FrmGare.h"

namespace zar {

namespace {

// Register mode (PassVar 0), modal; the form sits in its slot while open and is
// released when it closes, so the next opening starts afresh.
template <typename Form> void showRegister(SharedValues& shared, QPointer<QObject>& slot, QWidget* parent) {
    auto* form = dynamic_cast<Form*>(slot.data());
    if (!form) {
        form = new Form(shared, parent);
        slot = form;
    }
    form->setPassVar(0);
    showModal(*form);
    delete form;
}

} // namespace

void showFrmGare(SharedValues& shared, QWidget* parent) {
    showRegister<FrmGare>(shared, shared.frmGare, parent);
}

void showFrmConduttore(SharedValues& shared, QWidget* parent) {
    showRegister<FrmConduttore>(shared, shared.frmConduttore, parent);
}

void showFrmCane(SharedValues& shared, QWidget* parent) {
    showRegister<FrmCane>(shared, shared.frmCane, parent);
}

} // namespace zar
