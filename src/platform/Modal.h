#pragma once

class QDialog;

namespace zar {

struct PlatformContext;

// Shows a form modally and returns its result. Every modal form of the program goes
// through here; a test's context.modalHook runs the form instead of exec().
int showModal(PlatformContext& context, QDialog& form);

} // namespace zar
