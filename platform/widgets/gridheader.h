#pragma once

#include <QHeaderView>

namespace vek {

// The column titles of a grid. Qt measures every title again for the header's height
// after each reset of the rows; a list of 100,000 rows is reset at every rebuild while its
// titles stay as they are, so the measure is kept until the titles, their number, their
// widths or the font change.
class GridHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit GridHeader(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    void setModel(QAbstractItemModel *model) override;

protected:
    bool event(QEvent *e) override;

private:
    void forgetHint() { m_hint = QSize(); }

    mutable QSize m_hint;
};

} // namespace vek
