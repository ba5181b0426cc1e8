#include "filetext.h"

#include "platform/numeric.h"

namespace vek {

namespace {

bool blankOrControl(char c)
{
    return c == ' ' || isControl(c);
}

QByteArray cleaned(QByteArrayView raw, bool trimLeading)
{
    qsizetype begin = 0;
    qsizetype end = raw.size();
    if (trimLeading) {
        while (begin < end && blankOrControl(raw[begin]))
            ++begin;
    }
    while (end > begin && blankOrControl(raw[end - 1]))
        --end;
    QByteArray out(raw.data() + begin, end - begin);
    for (char &c : out) {
        if (isControl(c))
            c = ' ';
    }
    return out;
}

} // namespace

void checkSingleByteText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.contains('\0'))
        throw Failure(ErrorKind::InvalidFileFormat);
}

QByteArray fieldText(QByteArrayView raw)
{
    return cleaned(raw, true);
}

QByteArray untrimmedText(QByteArrayView raw)
{
    return cleaned(raw, false);
}

qint16 fieldNumber(QByteArrayView raw)
{
    // The field's text read in place: the number ends at a blank or a control character
    // alike, so only the leading ones need skipping.
    qsizetype begin = 0;
    while (begin < raw.size() && blankOrControl(raw[begin]))
        ++begin;
    return toInt16(leadingValue(raw.sliced(begin)));
}

} // namespace vek
