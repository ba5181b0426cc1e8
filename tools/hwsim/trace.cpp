// The trace of everything the simulator receives, sends and notes, and its byte escapes.

#include <QFile>

#include "hwsim.h"
#include "hwsimstate.h"

namespace vek::sim {

QByteArray TraceLine::text() const
{
    return QByteArray::number(ms) + " HE" + QByteArray::number(headEnd) + ' ' + direction + ' ' +
           escapeBytes(bytes);
}

QByteArray escapeBytes(const QByteArray &bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out.append("\\\\");
        } else if (c >= 32 && c <= 126) {
            out.append(ch);
        } else {
            out.append("\\x");
            out.append(hex[c >> 4]);
            out.append(hex[c & 15]);
        }
    }
    return out;
}

QByteArray unescapeBytes(const QByteArray &text)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch != '\\' || i + 1 >= text.size()) {
            out.append(ch);
            continue;
        }
        const char next = text[i + 1];
        if (next == 'x' && i + 3 < text.size()) {
            bool ok = false;
            const int code = text.mid(i + 2, 2).toInt(&ok, 16);
            if (ok) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        if (next == 'n' || next == 'r' || next == 't' || next == '\\') {
            out.append(next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : '\\');
            ++i;
            continue;
        }
        out.append(ch);
    }
    return out;
}

bool HwSim::setTraceFile(const QString &path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    m_traceFile = std::move(file);
    return true;
}

void HwSim::addTrace(int he, const QByteArray &direction, const QByteArray &bytes)
{
    TraceLine line{m_started.elapsed(), he, direction, bytes};
    if (m_traceLimit > 0) {
        // Dropping the older half at once keeps the cost per line constant.
        if (m_trace.size() >= m_traceLimit)
            m_trace.remove(0, m_trace.size() - m_traceLimit / 2);
        m_trace.append(line);
    }
    if (m_traceFile) {
        m_traceFile->write(line.text() + '\n');
        m_traceFile->flush();
    }
    emit traced(line);
}

void HwSim::note(int he, const QByteArray &text)
{
    addTrace(he, "note", text);
}

} // namespace vek::sim
