#pragma once

#include <QHeaderView>
#include <QList>
#include <QStyledItemDelegate>

class QTreeView;

namespace zar {

// The look of every list of records: whole rows, one at a time, read-only, the last
// column taking the rest of the width, headings that a sort leaves whole.
void PreparaLista(QTreeView* view);

// Pixels for a width in twips at a resolution in dots per inch (1440 twips to the inch).
int twipsToPixels(int twips, int dpi);
// The same at the resolution of the screen the widget shows on.
int twipsToPixels(int twips, const QWidget* widget);

// A form's opening size, given in pixels of a 96-dpi screen: on a denser screen the form grows
// with its text and its columns, so the lists still show every column.
QSize openingSize(const QWidget* form, int width, int height);

// Gives the columns their widths in twips, all but the last, which takes the rest.
void LarghezzeColonne(QTreeView* view, const QList<int>& twips);

// The heading row of a list. Sorting never shortens a heading: the sort indicator is a
// small arrow above the text, and a heading too long for its column wraps at a blank
// onto a second line rather than losing letters.
class IntestazioneLista : public QHeaderView {
    Q_OBJECT
public:
    explicit IntestazioneLista(QWidget* parent = nullptr);
    QSize sizeHint() const override;
    // Where the heading's text goes in a section's rectangle, below the arrow's room.
    QRect rettangoloTesto(const QRect& section) const;
    // The text flags a heading is drawn with.
    static constexpr int kFlagTesto = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    int spazioFreccia() const;
};

// Paints the cells of a list. A cell of one line of plain text that fits its column is laid
// out once and drawn as the style draws it (its background, colours and place), where the
// style would lay the text out four times; any other cell (ticks, icons, the focused cell,
// text to shorten or wrap) and any style but the default one are left to the style.
class CelleLista : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // Paints the cell if it is one line of plain text that fits; false leaves it unpainted.
    static bool paintPlainText(QPainter* painter, const QStyleOptionViewItem& opt, const QStyle* style);
};

} // namespace zar
