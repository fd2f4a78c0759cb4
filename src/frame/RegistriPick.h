#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zar {

class PickTarget;
struct SharedValues;

// How the entries form opens a register in pick mode (PassVar = 1), modally: the register
// writes what the user picks or saves into the target and closes. The main window installs
// the registers; tests install their own.
struct RegistriPick {
    std::function<void(SharedValues&, PickTarget&, QWidget* parent)> gare;
    std::function<void(SharedValues&, PickTarget&, QWidget* parent)> conduttori;
    // The dogs register opens with the (upper-cased) microchip in its key box.
    std::function<void(SharedValues&, PickTarget&, QWidget* parent, const QString& microchip)> cani;
};

} // namespace zar
