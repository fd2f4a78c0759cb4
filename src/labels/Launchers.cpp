#include "frame/Forms.h"
#include "frame/MostraForm.h"
#include "labels/FrmEtichette.h"
#include "labels/frmPrintPettorali.h"

namespace zar {

void showFrmEtichette(SharedValues& shared, QWidget* parent) {
    mostra<FrmEtichette>(shared.frmEtichette, shared, parent);
}

void showFrmPrintPettorali(SharedValues& shared, QWidget* parent) {
    mostra<frmPrintPettorali>(shared.frmPrintPettorali, shared, parent);
}

} // namespace zar
