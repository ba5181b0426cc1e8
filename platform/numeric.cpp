#include "numeric.h"

#include <QByteArray>

namespace vek {

namespace {

template <typename Ch> double leadingValueOf(const Ch *p, qsizetype n)
{
    qsizetype i = 0;
    while (i < n && p[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (p[i] == '+' || p[i] == '-')) {
        negative = p[i] == '-';
        ++i;
    }
    double value = 0;
    bool any = false;
    while (i < n && p[i] >= '0' && p[i] <= '9') {
        value = value * 10 + (p[i] - '0');
        any = true;
        ++i;
    }
    if (i < n && p[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < n && p[i] >= '0' && p[i] <= '9') {
            value += (p[i] - '0') * scale;
            scale /= 10;
            any = true;
            ++i;
        }
    }
    if (!any)
        return 0;
    return negative ? -value : value;
}

} // namespace

double leadingValue(QByteArrayView text)
{
    return leadingValueOf(text.data(), text.size());
}

double leadingValue(QStringView text)
{
    return leadingValueOf(text.utf16(), text.size());
}

double strictNumber(QByteArrayView text)
{
    QByteArray t = text.toByteArray();
    while (t.startsWith(' '))
        t.remove(0, 1);
    while (t.endsWith(' '))
        t.chop(1);
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || t.isEmpty())
        throw Failure(ErrorKind::TypeMismatch);
    return v;
}

bool toBoolean(QByteArrayView text)
{
    QByteArray t = text.toByteArray();
    while (t.startsWith(' '))
        t.remove(0, 1);
    while (t.endsWith(' '))
        t.chop(1);
    if (t.compare("true", Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare("false", Qt::CaseInsensitive) == 0)
        return false;
    return strictNumber(t) != 0;
}

} // namespace vek
