#include "text.h"

#include <QLocale>
#include <QStringDecoder>

namespace vek {

namespace {
QByteArray numberText(double n)
{
    // Up to 15 significant digits, without an exponent for whole numbers of that size.
    if (n == static_cast<double>(static_cast<qint64>(n)) && n < 1e15 && n > -1e15)
        return QByteArray::number(static_cast<qint64>(n));
    return QByteArray::number(n, 'g', 15);
}
} // namespace

QByteArray Str(qint64 n)
{
    return n >= 0 ? ' ' + QByteArray::number(n) : QByteArray::number(n);
}

QByteArray Str(double n)
{
    return n >= 0 ? ' ' + numberText(n) : numberText(n);
}

QByteArray CStr(qint64 n)
{
    return QByteArray::number(n);
}

QByteArray CStr(double n)
{
    return numberText(n);
}

QByteArray trimBlanks(const QByteArray &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b) == ' ')
        ++b;
    while (e > b && text.at(e - 1) == ' ')
        --e;
    return text.mid(b, e - b);
}

QString trimBlanks(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && text.at(b) == u' ')
        ++b;
    while (e > b && text.at(e - 1) == u' ')
        --e;
    return text.mid(b, e - b);
}

QByteArray toBytes(const QString &text)
{
    QByteArray out(text.size(), '?');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c <= 0xFF)
            out[i] = static_cast<char>(c);
    }
    return out;
}

QByteArray zeroPadded(qint64 n, int width)
{
    QByteArray t = QByteArray::number(n < 0 ? -n : n);
    if (t.size() < width)
        t.prepend(QByteArray(width - t.size(), '0'));
    return n < 0 ? '-' + t : t;
}

QByteArray shortDate(const QDate &date)
{
    return toBytes(QLocale::system().toString(date, QLocale::ShortFormat));
}
QByteArray visibleBytes(QByteArrayView bytes, bool highBytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127 || (highBytes && code > 126)) {
            out += '<';
            out += QByteArray::number(code);
            out += '>';
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray readableFileName(const QByteArray &raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString name = utf8.decode(raw);
    return utf8.hasError() ? raw : toBytes(name);
}

} // namespace vek
