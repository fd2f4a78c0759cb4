#pragma once

#include "platform/Database.h"
#include "platform/MsgBox.h"

namespace zar {

// Runs an event handler; a database failure is shown and the program stays usable.
template <typename F> void guarded(F&& handler) {
    try {
        handler();
    } catch (const DbError& e) {
        MsgBox(e.message(), vbCritical);
    }
}

} // namespace zar
