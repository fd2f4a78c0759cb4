#pragma once

#include <QString>

class QWidget;

namespace zar {

class SingleInstance;

// The single-instance guard. Mode 0 returns at once; modes 1 and 2 return when no other
// copy runs. Otherwise mode 1 shows Msg, and mode 2 renames Frm to its window id in
// upper-case hexadecimal and brings the running copy's main window to the front; any
// other mode does nothing more. Returns false when the program must end now.
bool LimitaAvvio(int Mode, QWidget& Frm, const QString& Msg, const SingleInstance& instance);

} // namespace zar
