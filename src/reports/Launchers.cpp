#include "frame/Forms.h"
#include "frame/MostraForm.h"
#include "reports/ReportForms.h"

namespace zar {

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
