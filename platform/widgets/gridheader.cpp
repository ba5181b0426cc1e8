#include "gridheader.h"

#include <QEvent>

namespace vek {

GridHeader::GridHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    connect(this, &QHeaderView::sectionCountChanged, this, [this] { forgetHint(); });
    connect(this, &QHeaderView::sectionResized, this, [this] { forgetHint(); });
}

QSize GridHeader::sizeHint() const
{
    if (!m_hint.isValid())
        m_hint = QHeaderView::sizeHint();
    return m_hint;
}

void GridHeader::setModel(QAbstractItemModel *model)
{
    if (QAbstractItemModel *old = this->model())
        disconnect(old, &QAbstractItemModel::headerDataChanged, this, nullptr);
    QHeaderView::setModel(model);
    if (model)
        connect(model, &QAbstractItemModel::headerDataChanged, this, [this] { forgetHint(); });
    forgetHint();
}

bool GridHeader::event(QEvent *e)
{
    switch (e->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::PaletteChange:
        forgetHint();
        break;
    default:
        break;
    }
    return QHeaderView::event(e);
}

} // namespace vek
