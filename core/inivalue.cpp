#include "inivalue.h"

#include <algorithm>
#include <cmath>

#include "log.h"
#include "platform/atomicfile.h"
#include "platform/inidocument.h"
#include "platform/numeric.h"
#include "platform/text.h"

namespace vek {

namespace {
// The profile functions return at most this many characters of a value.
constexpr int MaxValueLength = 254;
} // namespace

QByteArray readIniValue(const IniDocument &doc, const QByteArray &section, const QByteArray &key,
                        const QByteArray &defaultValue)
{
    const auto v = doc.value(section, key);
    return (v ? *v : defaultValue).left(MaxValueLength);
}

void writeIniValue(IniDocument &doc, const QByteArray &section, const QByteArray &key,
                   const QByteArray &value)
{
    QByteArray v = value;
    v.replace('\r', ' ').replace('\n', ' ');
    doc.setValue(section, key, v);
}

bool WriteINIValue(const QString &path, const QByteArray &section, const QByteArray &key,
                   const QByteArray &value)
{
    IniDocument doc = IniDocument::load(path);
    writeIniValue(doc, section, key, value);
    QString error;
    if (!writeFileAtomically(path, doc.toBytes(), &error)) {
        logWriteFailure("Error WriteINIValue)", path, error);
        return false;
    }
    return true;
}

QByteArray StripNulls(const QByteArray &text)
{
    QByteArray t = text;
    t.replace('\0', ' ');
    return trimBlanks(t);
}

QByteArray EncodeCharCodes(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!out.isEmpty())
            out += '-';
        out += QByteArray::number(u & 0xFF) + '-' + QByteArray::number(u >> 8);
    }
    return out;
}

QString DecodeCharCodes(const QByteArray &codes)
{
    if (codes.isEmpty())
        return QString();
    QByteArray bytes;
    for (const QByteArray &part : codes.split('-')) {
        // A part above 255 keeps its low byte, as a byte-sized store would. A part too
        // large for a 64-bit integer ("1e23") is clamped first: its low byte is then 0.
        constexpr double Limit = 9.0e18;
        const double v = std::nearbyint(leadingValue(part));
        const double clamped = std::isfinite(v) ? std::clamp(v, -Limit, Limit) : 0.0;
        bytes += static_cast<char>(static_cast<qint64>(clamped) & 0xFF);
    }
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes.at(i));
        const auto hi = static_cast<unsigned char>(bytes.at(i + 1));
        out += QChar(static_cast<char16_t>(lo | (hi << 8)));
    }
    return out;
}

} // namespace vek
