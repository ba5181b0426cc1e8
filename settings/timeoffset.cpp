#include "timeoffset.h"

namespace vek {

QByteArray offsetSign(const QByteArray &stored)
{
    return stored.startsWith('-') ? QByteArray("-") : QByteArray("+");
}

QByteArray offsetTime(const QByteArray &stored)
{
    return stored.size() == 9 ? stored.mid(1) : QByteArray();
}

QByteArray offsetToStore(const QByteArray &sign, const QByteArray &shown)
{
    QByteArray out = sign == "-" ? QByteArray("-") : QByteArray("+");
    for (int i = 0; i < 8; ++i) {
        if (i == 2 || i == 5) {
            out += ':';
            continue;
        }
        const char c = i < shown.size() ? shown.at(i) : '0';
        out += c >= '0' && c <= '9' ? c : '0';
    }
    return out;
}

} // namespace vek
