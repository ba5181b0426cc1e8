#include "frmabout.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/text.h"
#include "platform/widgets/deactivationcloser.h"

namespace vek {

namespace {
// The product's mark: its name on a blue field.
QPixmap productMark()
{
    QPixmap pixmap(72, 72);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 64, 160));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 68, 68), 10, 10);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(26);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("VEK"));
    return pixmap;
}
} // namespace

QString versionLabel(int major, int minor)
{
    return fromBytes("Version" + Str(qint64(major)) + "." + trimBlanks(Str(qint64(minor))));
}

frmAbout::frmAbout(QWidget *parent) : QWidget(parent, Qt::Dialog)
{
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *picture = new QLabel(this);
    picture->setPixmap(productMark());
    top->addWidget(picture);
    auto *names = new QVBoxLayout;
    auto *product = new QLabel(QStringLiteral("VEK"), this);
    QFont big = product->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    product->setFont(big);
    m_version = new QLabel(versionLabel(VEK_VERSION_MAJOR, VEK_VERSION_MINOR), this);
    names->addWidget(product);
    names->addWidget(m_version);
    names->addStretch();
    top->addLayout(names, 1);
    layout->addLayout(top);

    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setPlainText(
        QStringLiteral("VEK, the operator's console of the program substitution system.\n\n"
                       "It shows the substitution events and channels of up to twelve head "
                       "ends, sends the operators' commands to their Hardware Servers and "
                       "keeps the computer's clock from the time server."));
    m_text->setMinimumSize(320, 110);
    layout->addWidget(m_text);

    auto *buttons = new QHBoxLayout;
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    layout->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this, &frmAbout::cmdOk_Click);
    DeactivationCloser::install(this);
}

void frmAbout::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        cmdOk_Click();
        return;
    }
    QWidget::keyPressEvent(e);
}

void frmAbout::cmdOk_Click()
{
    close();
}

} // namespace vek
