#include "frame/Forms.h"

#include "frame/SharedValues.h"
#include "platform/Modal.h"
#include "registers/FrmCane.h"
#include "registers/FrmConduttore.h"
#include "registers/FrmGare.h"
#include "registers/PickLaunchers.h"

namespace zar {

namespace {

// Modal; the form sits in its slot while open and is released when it closes, so the
// next opening starts afresh. In pick mode (PassVar 1) it writes into the target.
template <typename Form>
void showRegister(SharedValues& shared, QPointer<QObject>& slot, QWidget* parent, int passVar,
                  PickTarget* target = nullptr, const std::function<void(Form&)>& prepare = {}) {
    auto* form = dynamic_cast<Form*>(slot.data());
    if (!form) {
        form = new Form(shared, parent);
        slot = form;
    }
    form->setPassVar(passVar);
    form->setPickTarget(target);
    if (prepare)
        prepare(*form);
    showModal(shared, *form);
    delete form;
}

} // namespace

void showFrmGare(SharedValues& shared, QWidget* parent) {
    showRegister<FrmGare>(shared, shared.frmGare, parent, 0);
}

void showFrmConduttore(SharedValues& shared, QWidget* parent) {
    showRegister<FrmConduttore>(shared, shared.frmConduttore, parent, 0);
}

void showFrmCane(SharedValues& shared, QWidget* parent) {
    showRegister<FrmCane>(shared, shared.frmCane, parent, 0);
}

void pickFrmGare(SharedValues& shared, PickTarget& target, QWidget* parent) {
    showRegister<FrmGare>(shared, shared.frmGare, parent, 1, &target);
}

void pickFrmConduttore(SharedValues& shared, PickTarget& target, QWidget* parent) {
    showRegister<FrmConduttore>(shared, shared.frmConduttore, parent, 1, &target);
}

void pickFrmCane(SharedValues& shared, PickTarget& target, QWidget* parent, const QString& microchip) {
    showRegister<FrmCane>(shared, shared.frmCane, parent, 1, &target,
                          [&microchip](FrmCane& form) { form.setMicrochip(microchip); });
}

} // namespace zar
