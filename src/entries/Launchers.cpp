#include "entries/frmClassifica.h"
#include "entries/frmIscrizione.h"
#include "frame/Forms.h"
#include "frame/MostraForm.h"

namespace zar {

void showFrmIscrizione(SharedValues& shared, QWidget* parent) {
    mostra<frmIscrizione>(shared.frmIscrizione, shared, parent);
}

void showFrmClassifica(SharedValues& shared, QWidget* parent) {
    mostra<frmClassifica>(shared.frmClassifica, shared, parent);
}

} // namespace zar
