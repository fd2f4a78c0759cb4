#include "frame/Forms.h"

// Placeholders until the registers exist.
namespace zar {
void showFrmGare(SharedValues&, QWidget*) {}
void showFrmConduttore(SharedValues&, QWidget*) {}
void showFrmCane(SharedValues&, QWidget*) {}
} // namespace zar
