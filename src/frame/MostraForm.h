#pragma once

#include "frame/SharedValues.h"
#include "platform/Database.h"
#include "platform/Modal.h"
#include "platform/MsgBox.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <type_traits>

class QWidget;

namespace zar {

// How every task form opens: created on first use and held in its slot while it is open,
// shown modally, released when it closes, so the next opening starts afresh. `prepare`
// runs before it shows. A form that cannot load its data shows the engine's message and
// stays closed; the program goes on.
template <typename Form>
void mostra(QPointer<QObject>& slot, SharedValues& shared, QWidget* parent,
            const std::function<void(Form&)>& prepare = {}) {
    std::unique_ptr<Form> form;
    try {
        form.reset(dynamic_cast<Form*>(slot.data()));
        if (!form) {
            if constexpr (std::is_constructible_v<Form, SharedValues&, QWidget*>)
                form = std::make_unique<Form>(shared, parent);
            else
                form = std::make_unique<Form>(parent);
            slot = form.get();
        }
        if (prepare)
            prepare(*form);
        showModal(shared, *form);
    } catch (const DbError& e) {
        form.reset();
        MsgBox(e.message(), vbCritical);
    }
}

} // namespace zar
