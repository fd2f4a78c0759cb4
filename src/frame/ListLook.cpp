#include "frame/ListLook.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <QTreeView>

#include <cmath>

namespace zar {

namespace {

constexpr double kPuntiLista = 8; // the lists' text size in points
constexpr int kMargine = 2;       // pixels between a heading's text and its section's edges
constexpr int kFreccia = 4;       // the sort arrow's height in pixels
constexpr int kAriaFreccia = 2;   // room above and below the arrow

} // namespace

int twipsToPixels(int twips, int dpi) {
    return int(std::lround(double(twips) * dpi / 1440.0));
}

int twipsToPixels(int twips, const QWidget* widget) {
    return twipsToPixels(twips, widget->logicalDpiX());
}

QSize openingSize(const QWidget* form, int width, int height) {
    // 15 twips to the pixel at 96 dpi.
    return {twipsToPixels(width * 15, form), twipsToPixels(height * 15, form)};
}

void LarghezzeColonne(QTreeView* view, const QList<int>& twips) {
    for (int c = 0; c < twips.size(); ++c)
        view->header()->resizeSection(c, twipsToPixels(twips[c], view));
}

void PreparaLista(QTreeView* view) {
    view->setHeader(new IntestazioneLista(view));
    // Widths in twips and a font in points keep their proportion at any resolution: the
    // widths were chosen for 8-point text, so that a time or a fiscal code fills its column.
    QFont font = view->font();
    if (font.pointSizeF() > kPuntiLista) {
        font.setPointSizeF(kPuntiLista);
        view->setFont(font);
    }
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setStretchLastSection(true);
    // Widths as given, whatever the headings' lengths; the user may still drag them.
    view->header()->setSectionResizeMode(QHeaderView::Interactive);
    view->header()->setMinimumSectionSize(8);
}

IntestazioneLista::IntestazioneLista(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setDefaultAlignment(Qt::Alignment(kFlagTesto));
    // A narrower column may need another line.
    connect(this, &QHeaderView::sectionResized, this, [this] { updateGeometry(); });
}

int IntestazioneLista::spazioFreccia() const {
    // A list that never sorts keeps no room for the arrow.
    return sectionsClickable() ? kFreccia + 2 * kAriaFreccia : kMargine;
}

QRect IntestazioneLista::rettangoloTesto(const QRect& section) const {
    return section.adjusted(kMargine, spazioFreccia(), -kMargine, -kMargine);
}

QSize IntestazioneLista::sizeHint() const {
    QSize size = QHeaderView::sizeHint();
    const QFontMetrics fm = fontMetrics();
    int altezza = fm.height();
    for (int i = 0; i < count(); ++i) {
        if (isSectionHidden(i))
            continue;
        const QRect testo = rettangoloTesto(QRect(0, 0, sectionSize(i), 1000));
        const QString t = model() ? model()->headerData(i, orientation()).toString() : QString();
        altezza =
            std::max(altezza, fm.boundingRect(QRect(0, 0, testo.width(), 1000), kFlagTesto, t).height());
    }
    size.setHeight(std::max(size.height(), altezza + spazioFreccia() + kMargine));
    return size;
}

void IntestazioneLista::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (!rect.isValid())
        return;
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    initStyleOptionForIndex(&opt, logicalIndex);
    opt.rect = rect;
    const QString testo = opt.text;
    const bool ordinata = isSortIndicatorShown() && sortIndicatorSection() == logicalIndex;
    const bool discendente = sortIndicatorOrder() == Qt::DescendingOrder;
    // The section's face only: the text and the arrow are placed here, not by the style.
    opt.text.clear();
    opt.sortIndicator = QStyleOptionHeader::None;
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &opt, painter, this);
    painter->setClipRect(rect);
    style()->drawItemText(painter, rettangoloTesto(rect), kFlagTesto, opt.palette, isEnabled(), testo,
                          QPalette::ButtonText);
    if (ordinata) {
        // Centred over the heading; pointing up for ascending, as desktop lists draw it.
        const double cx = rect.center().x() + 0.5, top = rect.top() + kAriaFreccia;
        const double w = kFreccia * 2;
        QPainterPath freccia;
        if (discendente) {
            freccia.moveTo(cx - w / 2, top);
            freccia.lineTo(cx + w / 2, top);
            freccia.lineTo(cx, top + kFreccia);
        } else {
            freccia.moveTo(cx - w / 2, top + kFreccia);
            freccia.lineTo(cx + w / 2, top + kFreccia);
            freccia.lineTo(cx, top);
        }
        freccia.closeSubpath();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->fillPath(freccia, opt.palette.color(QPalette::ButtonText));
    }
    painter->restore();
}

void CelleLista::paint(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    if (!paintPlainText(painter, opt, style))
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
}

bool CelleLista::paintPlainText(QPainter* painter, const QStyleOptionViewItem& opt, const QStyle* style) {
    // Only the style whose item painting this follows, and only what it paints as plain text.
    if (qstrcmp(style->metaObject()->className(), "QFusionStyle") != 0)
        return false;
    if (opt.features & ~QStyleOptionViewItem::ViewItemFeatures(QStyleOptionViewItem::HasDisplay |
                                                               QStyleOptionViewItem::Alternate))
        return false;
    if (opt.state & (QStyle::State_HasFocus | QStyle::State_Editing))
        return false;
    // A line break (a new line in the data arrives as a line separator) makes more lines.
    if (opt.text.contains(QChar::LineSeparator) || opt.text.contains(QChar::ParagraphSeparator))
        return false;

    // The text's room: the cell less the focus frame's margin on either side.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
    QTextLayout layout(opt.text, opt.font);
    QPointF at;
    if (!opt.text.isEmpty()) {
        QTextOption textOption;
        textOption.setWrapMode(QTextOption::ManualWrap);
        textOption.setTextDirection(opt.direction);
        textOption.setAlignment(QStyle::visualAlignment(opt.direction, opt.displayAlignment));
        layout.setTextOption(textOption);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        if (!line.isValid())
            return false;
        line.setLineWidth(textRect.width());
        line.setPosition(QPointF(0, 0));
        layout.endLayout();
        // Text wider than its room is shortened with an ellipsis by the style.
        if (line.textLength() != opt.text.size() || line.naturalTextWidth() > textRect.width())
            return false;
        // Placed in the room by the cell's alignment, from the laid-out text's bounds.
        const QRect placed = QStyle::alignedRect(Qt::LayoutDirectionAuto, opt.displayAlignment,
                                                 layout.boundingRect().size().toSize(), textRect);
        if (line.height() + placed.top() <= textRect.top())
            return false;
        at = QPointF(textRect.x(), placed.top());
    }

    painter->save();
    painter->setClipRegion(QRegion(opt.rect));
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, opt.widget);
    if (!opt.text.isEmpty()) {
        QPalette::ColorGroup group =
            opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(opt.state & QStyle::State_Active))
            group = QPalette::Inactive;
        painter->setPen(opt.palette.color(
            group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        layout.draw(painter, at);
    }
    painter->restore();
    return true;
}

} // namespace zar
