#include "frame/Forms.h"

#include "frame/MostraForm.h"
#include "registers/FrmCane.h"
#include "registers/FrmConduttore.h"
#include "registers/FrmGare.h"
#include "registers/PickLaunchers.h"

namespace zar {

namespace {

// Browsing (PassVar 0) or picking into the target (PassVar 1).
template <typename Form>
void showRegister(SharedValues& shared, QPointer<QObject>& slot, QWidget* parent, int passVar,
                  PickTarget* target = nullptr, const std::function<void(Form&)>& prepare = {}) {
    mostra<Form>(slot, shared, parent, [&](Form& form) {
        form.setPassVar(passVar);
        form.setPickTarget(target);
        if (prepare)
            prepare(form);
    });
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
