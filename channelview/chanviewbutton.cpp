#include "chanviewbutton.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace vek {

QPixmap ChanViewButton::picture(Picture which, const QSize &size)
{
    QPixmap pix(size);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    // Head ends are grey keys, views blue-grey; the chosen one of each lights up.
    QColor face;
    switch (which) {
    case HeadEnd:
        face = QColor(0xC8, 0xC8, 0xC8);
        break;
    case HeadEndShown:
        face = QColor(0x5C, 0xD6, 0x5C);
        break;
    case View:
        face = QColor(0xA9, 0xBC, 0xD6);
        break;
    case ViewChosen:
        face = QColor(0xFF, 0xC2, 0x3D);
        break;
    }
    const QRectF r = QRectF(pix.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, face.lighter(135));
    g.setColorAt(1, face.darker(115));
    p.setBrush(g);
    p.setPen(QPen(face.darker(170), 1));
    p.drawRoundedRect(r, 3, 3);
    // A thin highlight along the top edge gives the key its raised look.
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.drawLine(QPointF(r.left() + 3, r.top() + 1.5), QPointF(r.right() - 3, r.top() + 1.5));
    return pix;
}

ChanViewButton::ChanViewButton(QWidget *parent) : QWidget(parent), m_label(new QLabel(this))
{
    m_label->setAlignment(Qt::AlignCenter);
    m_label->installEventFilter(this);
    QFont f = m_label->font();
    f.setBold(true);
    f.setPointSize(7);
    m_label->setFont(f);
    setCursor(Qt::PointingHandCursor);
}

void ChanViewButton::setPicture(Picture which)
{
    if (m_picture == which)
        return;
    m_picture = which;
    update();
}

void ChanViewButton::setCaption(const QString &text)
{
    if (m_label->text() != text)
        m_label->setText(text);
}

QString ChanViewButton::caption() const
{
    return m_label->text();
}

void ChanViewButton::setTips(const QString &labelTip, const QString &pictureTip)
{
    m_label->setToolTip(labelTip);
    setToolTip(pictureTip);
}

void ChanViewButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, picture(m_picture, size()));
}

void ChanViewButton::resizeEvent(QResizeEvent *)
{
    // The label covers the middle; the picture's rim remains its own.
    m_label->setGeometry(rect().adjusted(3, 3, -3, -3));
}

void ChanViewButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

bool ChanViewButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_label && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton &&
            m_label->rect().contains(mouse->position().toPoint())) {
            emit clicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vek
