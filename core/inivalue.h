#pragma once

#include <QByteArray>
#include <QString>

namespace vek {

class IniDocument;

// One key of an INI file read into a document: the value (at most 254 characters) or
// the default when the section or the key is missing.
QByteArray readIniValue(const IniDocument &doc, const QByteArray &section, const QByteArray &key,
                        const QByteArray &defaultValue);

// Writes one key; CR and LF in the value become blanks so a value never spans lines.
// Returns false, and logs the file and the cause, when the file could not be written.
bool WriteINIValue(const QString &path, const QByteArray &section, const QByteArray &key,
                   const QByteArray &value);
void writeIniValue(IniDocument &doc, const QByteArray &section, const QByteArray &key,
                   const QByteArray &value);

// Every NUL becomes a blank, then blanks around the text are removed.
QByteArray StripNulls(const QByteArray &text);

// User names and passwords in the users file: the UTF-16LE bytes of the text as decimal
// numbers joined by "-" ("abc" is "97-0-98-0-99-0").
QByteArray EncodeCharCodes(const QString &text);
QString DecodeCharCodes(const QByteArray &codes);

} // namespace vek
