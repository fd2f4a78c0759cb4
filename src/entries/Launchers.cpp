#include "entries/frmClassifica.h"
#include "entries/frmIscrizione.h"
#include "frame/Forms.h"
#include "frame/SharedValues.h"
#include "platform/Modal.h"
#include "platform/MsgBox.h"
#include "reports/ReportForms.h"

namespace zar {

namespace {

// Creates the form on first use, holds it in its slot while it is open, shows it
// modally and releases it when it closes.
template <typename Form> void mostra(QPointer<QObject>& slot, SharedValues& shared, QWidget* parent) {
    try {
        if (!slot)
            slot = new Form(shared, parent);
        auto* form = qobject_cast<Form*>(slot.data());
        if (!form)
            return;
        showModal(shared, *form);
        delete form;
    } catch (const DbError& e) {
        delete slot.data();
        MsgBox(e.message(), vbCritical);
    }
}

} // namespace

void showFrmIscrizione(SharedValues& shared, QWidget* parent) {
    mostra<frmIscrizione>(shared.frmIscrizione, shared, parent);
}

void showFrmClassifica(SharedValues& shared, QWidget* parent) {
    mostra<frmClassifica>(shared.frmClassifica, shared, parent);
}

void showFrmReportPartenza(SharedValues& shared, QWidget* parent) {
    mostra<frmReportPartenza>(shared.frmReportPartenza, shared, parent);
}

void showFrmReportClassifica(SharedValues& shared, QWidget* parent) {
    mostra<frmReportClassifica>(shared.frmReportClassifica, shared, parent);
}

void showFrmReportIscritti(SharedValues& shared, QWidget* parent) {
    mostra<frmReportIscritti>(shared.frmReportIscritti, shared, parent);
}

} // namespace zar
