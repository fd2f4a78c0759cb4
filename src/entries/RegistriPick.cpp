#include "entries/RegistriPick.h"

#include "registers/PickLaunchers.h"

namespace zar {

RegistriPick& registriPick() {
    static RegistriPick r{pickFrmGare, pickFrmConduttore, pickFrmCane};
    return r;
}

} // namespace zar
