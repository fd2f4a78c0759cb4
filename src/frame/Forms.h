#pragma once

class QWidget;

namespace zar {

struct SharedValues;

// The task forms that the main window opens from its menus and shortcut panels. Each
// shows its form modally (creating it on first use) and returns when it closes.
void showFrmGare(SharedValues& shared, QWidget* parent);
void showFrmConduttore(SharedValues& shared, QWidget* parent);
void showFrmCane(SharedValues& shared, QWidget* parent);
void showFrmIscrizione(SharedValues& shared, QWidget* parent);
void showFrmClassifica(SharedValues& shared, QWidget* parent);
void showFrmReportPartenza(SharedValues& shared, QWidget* parent);
void showFrmReportClassifica(SharedValues& shared, QWidget* parent);
void showFrmReportIscritti(SharedValues& shared, QWidget* parent);
void showFrmEtichette(SharedValues& shared, QWidget* parent);
void showFrmPrintPettorali(SharedValues& shared, QWidget* parent);

} // namespace zar
