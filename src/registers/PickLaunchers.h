#pragma once

#include <QString>

class QWidget;

namespace zar {

class PickTarget;
struct SharedValues;

// The registers in pick mode (PassVar 1), modally: what the user picks or saves is
// written into the target before the register closes.
void pickFrmGare(SharedValues& shared, PickTarget& target, QWidget* parent);
void pickFrmConduttore(SharedValues& shared, PickTarget& target, QWidget* parent);
// The dogs register opens with the chip in its key box.
void pickFrmCane(SharedValues& shared, PickTarget& target, QWidget* parent, const QString& microchip);

} // namespace zar
