#pragma once

#include <QLayout>
#include <QList>

namespace vek {

// Lays its items out left to right at their preferred sizes and starts a new line where
// the width ends, so no item is ever cut or pushed out of sight: the layout grows in
// height instead (height for width).
class FlowLayout : public QLayout
{
public:
    explicit FlowLayout(QWidget *parent = nullptr, int spacing = 2);
    ~FlowLayout() override;

    void addItem(QLayoutItem *item) override;
    int count() const override;
    QLayoutItem *itemAt(int index) const override;
    QLayoutItem *takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect &rect) override;

    // The width that shows every item on one line.
    int oneLineWidth() const;

private:
    // Places the items (or only measures them); returns the height used.
    int arrange(const QRect &rect, bool place) const;

    QList<QLayoutItem *> m_items;
};

} // namespace vek
