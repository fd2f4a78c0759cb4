#include "frame/Forms.h"

// Placeholders until the entries and scores forms exist.
namespace zar {
void showFrmIscrizione(SharedValues&, QWidget*) {}
void showFrmClassifica(SharedValues&, QWidget*) {}
} // namespace zar
