#include "passwordbox.h"

#include <QLineEdit>
#include <QProxyStyle>

namespace vek {

namespace {
class StarPasswordStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};
} // namespace

void makePasswordBox(QLineEdit *box)
{
    auto *star = new StarPasswordStyle;
    star->setParent(box);
    box->setStyle(star);
    box->setEchoMode(QLineEdit::Password);
}

} // namespace vek
