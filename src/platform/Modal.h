#pragma once

#include <functional>

class QDialog;

namespace zar {

// Shows a form modally and returns its result. Every modal form of the program goes
// through here.
int showModal(QDialog& form);

// Tests may run a nested form themselves instead of exec(): the hook gets the form and
// returns its result. An empty function restores exec().
using ModalHook = std::function<int(QDialog&)>;
void setModalHook(ModalHook hook);

} // namespace zar
