#pragma once

class QTreeView;

namespace zar {

// The look of every list of records: whole rows, one at a time, read-only, the last
// column taking the rest of the width.
void PreparaLista(QTreeView* view);

// Column widths are given in twips: 15 twips to a pixel at 96 dpi.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

} // namespace zar
