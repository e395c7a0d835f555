// A row layout that puts each widget at its design offset, moving it right only as far as the
// widgets before it need.
#pragma once

#include <QLayout>
#include <QList>
#include <vector>

namespace lintrel {

// One widget of a row: its design offset from the row's left edge, its width, and the least
// gap it keeps after the widget before it.
struct RowPlace
{
    int designX = 0;
    int width = 0;
    int gap = 0;
};

// The left edge of each widget: its design offset, or further right when the widget before it
// (wider than designed, say in a larger font) would overlap or come closer than the gap. The
// order of the widgets never changes.
std::vector<int> placeAlongRow(const std::vector<RowPlace> &row);

// Widgets keep their size hints and are centred vertically in the row. The row asks for the
// width that its last widget reaches.
class PlacedRowLayout : public QLayout
{
public:
    PlacedRowLayout();
    ~PlacedRowLayout() override;

    // Adds widget at design offset x, at least gap pixels after the widget before it.
    void addPlacedWidget(QWidget *widget, int x, int gap);

    void addItem(QLayoutItem *item) override; // at offset 0, no gap
    int count() const override { return int(items_.size()); }
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override { return sizeHint(); }
    Qt::Orientations expandingDirections() const override { return {}; }
    void setGeometry(const QRect &rect) override;

private:
    struct Item
    {
        QLayoutItem *item;
        int x;
        int gap;
    };
    std::vector<int> lefts() const;

    QList<Item> items_;
};

} // namespace lintrel
