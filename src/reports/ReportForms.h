#pragma once

#include "reports/FormReport.h"

namespace zar {

// The start order of a group for run 1 or 2, in the list's order, numbered from 1.
class frmReportPartenza : public FormReport {
    Q_OBJECT
public:
    explicit frmReportPartenza(SharedValues& shared, QWidget* parent = nullptr);
};

// The ranking sheet of a group for run 1, run 2 or the combination, from the stored places.
class frmReportClassifica : public FormReport {
    Q_OBJECT
public:
    explicit frmReportClassifica(SharedValues& shared, QWidget* parent = nullptr);
};

// The entrants of a competition with abbreviated category, class and size.
class frmReportIscritti : public FormReport {
    Q_OBJECT
public:
    explicit frmReportIscritti(SharedValues& shared, QWidget* parent = nullptr);
};

// The list's cells of each report (column from 0).
QString CellaPartenza(const RigaIscritto& r, int colonna);
QString CellaClassifica(const RigaIscritto& r, int colonna, int RunScelta);
QString CellaIscritti(const RigaIscritto& r, int colonna);
// A stored number of points in the user's number format (12,5 in Italian); empty when Null.
QString TestoPunti(const QVariant& punti);

} // namespace zar
