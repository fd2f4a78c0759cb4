#pragma once

class QDialog;

namespace zar {

struct SharedValues;

// Shows a form modally and returns its result. Every modal form of the program goes
// through here; a test's shared.modalHook runs the form instead of exec().
int showModal(SharedValues& shared, QDialog& form);

} // namespace zar
