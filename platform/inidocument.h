#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

namespace vek {

// An INI file in memory with the rules of the classic profile functions: section and
// key names match regardless of letter case and the first match wins; a value is the
// text after "=" with blanks and tabs around it removed; a write replaces the value in
// place, appends a missing key at the end of its section and a missing section at the
// end of the file, and keeps every other line and comment. Written with CR LF.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(const QByteArray &content);

    std::optional<QByteArray> value(const QByteArray &section, const QByteArray &key) const;
    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);

    QByteArray toBytes() const;
    bool isEmpty() const { return m_lines.isEmpty(); }

    // Reads a file; a missing or unreadable file gives an empty document.
    static IniDocument load(const QString &path);

    // How a read went: a file that exists but cannot be read, or holds nothing of the
    // INI form (binary, UTF-16), gives an empty document and the system's cause.
    enum class ReadState { Read, Missing, Unreadable, NotIni };
    static IniDocument load(const QString &path, ReadState *state, QByteArray *cause);

    // Text with no NUL byte, and a section line unless it holds only blank and comment lines.
    bool looksLikeIni(const QByteArray &content) const;

private:
    qsizetype findSection(const QByteArray &section) const;
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype findKey(qsizetype header, const QByteArray &key) const;

    QList<QByteArray> m_lines;
};

} // namespace vek
