#include "frame/Forms.h"
#include "frame/SharedValues.h"
#include "labels/FrmEtichette.h"
#include "labels/frmPrintPettorali.h"
#include "platform/Database.h"
#include "platform/Modal.h"
#include "platform/MsgBox.h"

namespace zar {

namespace {

// Created on first use, held in its slot while open, shown modally, released on closing.
template <typename Form> void mostra(QPointer<QObject>& slot, SharedValues& shared, QWidget* parent) {
    try {
        if (!slot)
            slot = new Form(shared, parent);
        auto* form = qobject_cast<Form*>(slot.data());
        if (!form)
            return;
        showModal(*form);
        delete form;
    } catch (const DbError& e) {
        delete slot.data();
        MsgBox(e.message(), vbCritical);
    }
}

} // namespace

void showFrmEtichette(SharedValues& shared, QWidget* parent) {
    mostra<FrmEtichette>(shared.frmEtichette, shared, parent);
}

void showFrmPrintPettorali(SharedValues& shared, QWidget* parent) {
    mostra<frmPrintPettorali>(shared.frmPrintPettorali, shared, parent);
}

} // namespace zar
