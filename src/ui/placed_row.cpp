// A row layout that puts each widget at its design offset, moving it right only as far as the
// widgets before it need.
#include "ui/placed_row.h"

#include <QWidget>
#include <algorithm>

namespace lintrel {

std::vector<int> placeAlongRow(const std::vector<RowPlace> &row)
{
    std::vector<int> lefts;
    lefts.reserve(row.size());
    int reached = 0; // the right edge of the widget before, 0 at the start
    for (const RowPlace &place : row) {
        const int left =
            lefts.empty() ? place.designX : std::max(place.designX, reached + place.gap);
        lefts.push_back(left);
        reached = left + place.width;
    }
    return lefts;
}

PlacedRowLayout::PlacedRowLayout()
{
    setContentsMargins(0, 0, 0, 0);
}

PlacedRowLayout::~PlacedRowLayout()
{
    for (const Item &i : items_)
        delete i.item;
}

void PlacedRowLayout::addPlacedWidget(QWidget *widget, int x, int gap)
{
    addChildWidget(widget);
    items_.push_back({new QWidgetItem(widget), x, gap});
    invalidate();
}

void PlacedRowLayout::addItem(QLayoutItem *item)
{
    items_.push_back({item, 0, 0});
    invalidate();
}

QLayoutItem *PlacedRowLayout::itemAt(int index) const
{
    return index >= 0 && index < items_.size() ? items_[index].item : nullptr;
}

QLayoutItem *PlacedRowLayout::takeAt(int index)
{
    if (index < 0 || index >= items_.size())
        return nullptr;
    QLayoutItem *item = items_.takeAt(index).item;
    invalidate();
    return item;
}

std::vector<int> PlacedRowLayout::lefts() const
{
    std::vector<RowPlace> row;
    for (const Item &i : items_)
        row.push_back({i.x, i.item->isEmpty() ? 0 : i.item->sizeHint().width(), i.gap});
    return placeAlongRow(row);
}

QSize PlacedRowLayout::sizeHint() const
{
    const std::vector<int> x = lefts();
    QSize size(0, 0);
    for (int i = 0; i < items_.size(); ++i) {
        const QSize hint = items_[i].item->sizeHint();
        size = size.expandedTo(QSize(x[size_t(i)] + hint.width(), hint.height()));
    }
    return size;
}

void PlacedRowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const std::vector<int> x = lefts();
    for (int i = 0; i < items_.size(); ++i) {
        const QSize hint = items_[i].item->sizeHint();
        items_[i].item->setGeometry(QRect(rect.x() + x[size_t(i)],
                                          rect.y() + (rect.height() - hint.height()) / 2,
                                          hint.width(), hint.height()));
    }
}

} // namespace lintrel
