#include "inidocument.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vek {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

// Views, not copies: every lookup scans the lines, and the settings file has hundreds.
QByteArrayView trimmedView(QByteArrayView v)
{
    qsizetype b = 0, e = v.size();
    while (b < e && isSpace(v[b]))
        ++b;
    while (e > b && isSpace(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

QByteArray trimmed(QByteArrayView v)
{
    return trimmedView(v).toByteArray();
}

// The name inside "[name]" of a section line, or nothing.
std::optional<QByteArrayView> sectionName(const QByteArray &line)
{
    const QByteArrayView t = trimmedView(line);
    if (!t.startsWith('['))
        return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return trimmedView(t.sliced(1, close - 1));
}

bool isComment(const QByteArray &line)
{
    return trimmedView(line).startsWith(';');
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniDocument::IniDocument(const QByteArray &content)
{
    // Accept CR LF, LF and CR line endings.
    qsizetype start = 0;
    const qsizetype n = content.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = content.at(i);
        if (c == '\r' || c == '\n') {
            m_lines.append(content.mid(start, i - start));
            if (c == '\r' && i + 1 < n && content.at(i + 1) == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        m_lines.append(content.mid(start));
}

IniDocument IniDocument::load(const QString &path)
{
    ReadState state;
    QByteArray cause;
    return load(path, &state, &cause);
}

IniDocument IniDocument::load(const QString &path, ReadState *state, QByteArray *cause)
{
    *state = ReadState::Unreadable;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *cause = std::strerror(errno);
        if (errno == ENOENT)
            *state = ReadState::Missing;
        return IniDocument();
    }
    struct stat st
    {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *cause = std::strerror(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        ::close(fd);
        return IniDocument();
    }
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *cause = f.errorString().toLocal8Bit();
        return IniDocument();
    }
    errno = 0;
    const QByteArray content = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        *cause = errno != 0 ? QByteArray(std::strerror(errno)) : f.errorString().toLocal8Bit();
        return IniDocument();
    }
    IniDocument doc(content);
    if (!doc.looksLikeIni(content)) {
        *state = ReadState::NotIni;
        *cause = "no line of the INI form";
        return IniDocument();
    }
    *state = ReadState::Read;
    cause->clear();
    return doc;
}

bool IniDocument::looksLikeIni(const QByteArray &content) const
{
    if (content.contains('\0'))
        return false;
    bool onlyBlankOrComments = true;
    for (const QByteArray &line : m_lines) {
        if (sectionName(line))
            return true;
        if (!trimmedView(line).isEmpty() && !isComment(line))
            onlyBlankOrComments = false;
    }
    return onlyBlankOrComments;
}

qsizetype IniDocument::findSection(const QByteArray &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const auto name = sectionName(m_lines.at(i));
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

qsizetype IniDocument::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && !sectionName(m_lines.at(i)))
        ++i;
    return i;
}

qsizetype IniDocument::findKey(qsizetype header, const QByteArray &key) const
{
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const QByteArray &line = m_lines.at(i);
        if (isComment(line))
            continue;
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        if (sameName(trimmedView(QByteArrayView(line).first(eq)), key))
            return i;
    }
    return -1;
}

std::optional<QByteArray> IniDocument::value(const QByteArray &section, const QByteArray &key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(header, key);
    if (at < 0)
        return std::nullopt;
    const QByteArray &line = m_lines.at(at);
    return trimmed(QByteArrayView(line).sliced(line.indexOf('=') + 1));
}

void IniDocument::setValue(const QByteArray &section, const QByteArray &key,
                           const QByteArray &value)
{
    qsizetype header = findSection(section);
    if (header < 0) {
        m_lines.append('[' + section + ']');
        m_lines.append(key + '=' + value);
        return;
    }
    const qsizetype at = findKey(header, key);
    if (at >= 0) {
        // Keep the key as this file spells it; only the value changes.
        QByteArray &line = m_lines[at];
        line = line.left(line.indexOf('=') + 1) + value;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    qsizetype insertAt = sectionEnd(header);
    while (insertAt > header + 1 && trimmedView(m_lines.at(insertAt - 1)).isEmpty())
        --insertAt;
    m_lines.insert(insertAt, key + '=' + value);
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    for (const QByteArray &line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace vek
