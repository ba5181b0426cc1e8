#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;

namespace vek {

// A button of the Channel View: a picture with a caption label over its middle. Both
// parts click the button; each has its own tool tip.
class ChanViewButton : public QWidget
{
    Q_OBJECT
public:
    // The four pictures: a head-end button, the shown head end's, a view button, the chosen
    // view's.
    enum Picture { HeadEnd = 1, HeadEndShown = 2, View = 3, ViewChosen = 4 };
    static QPixmap picture(Picture which, const QSize &size);

    explicit ChanViewButton(QWidget *parent = nullptr);

    void setPicture(Picture which);
    Picture currentPicture() const { return m_picture; }
    void setCaption(const QString &text);
    QString caption() const;
    void setTips(const QString &labelTip, const QString &pictureTip);
    QLabel *label() const { return m_label; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_label;
    Picture m_picture = HeadEnd;
};

} // namespace vek
