#include "users.h"
#include "moduleresets.h"

#include <QFile>

#include "inivalue.h"
#include "log.h"
#include "platform/atomicfile.h"
#include "platform/datafolder.h"
#include "platform/failure.h"
#include "platform/inidocument.h"
#include "platform/numeric.h"
#include "platform/text.h"

namespace vek {

namespace {

QByteArray userSection(int i)
{
    return "User_" + QByteArray::number(i) + "_Settings";
}

QByteArray rightKey(int h)
{
    return "D_" + QByteArray::number(h);
}

// Items of the old users file: an item ends at a comma or at the end of a line; an item
// in double quotes may hold commas.
class ItemReader
{
public:
    explicit ItemReader(QByteArray content) : m_text(std::move(content)) {}

    QByteArray next()
    {
        if (m_pos >= m_text.size())
            throw Failure(ErrorKind::InputPastEnd);
        while (m_pos < m_text.size() && (m_text.at(m_pos) == ' ' || m_text.at(m_pos) == '\t'))
            ++m_pos;
        QByteArray item;
        if (m_pos < m_text.size() && m_text.at(m_pos) == '"') {
            const qsizetype close = m_text.indexOf('"', m_pos + 1);
            const qsizetype end = close < 0 ? m_text.size() : close;
            item = m_text.mid(m_pos + 1, end - m_pos - 1);
            m_pos = end + 1;
            while (m_pos < m_text.size() && !isDelimiter(m_text.at(m_pos)))
                ++m_pos;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_text.size() && !isDelimiter(m_text.at(m_pos)))
                ++m_pos;
            item = m_text.mid(start, m_pos - start);
        }
        skipDelimiter();
        return item;
    }

private:
    static bool isDelimiter(char c) { return c == ',' || c == '\r' || c == '\n'; }

    void skipDelimiter()
    {
        if (m_pos >= m_text.size())
            return;
        const char c = m_text.at(m_pos++);
        if (c == '\r' && m_pos < m_text.size() && m_text.at(m_pos) == '\n')
            ++m_pos;
    }

    QByteArray m_text;
    qsizetype m_pos = 0;
};

// Only the first 25 characters of an old-format item count.
QByteArray oldItem(ItemReader &reader)
{
    return trimBlanks(reader.next().left(25));
}

} // namespace

Users &users()
{
    static Users u;
    return u;
}

qint16 normalisedPrivilege(qint16 stored)
{
    if (stored == PrivilegeOperator || stored == PrivilegeAdmin)
        return stored;
    return PrivilegeNone;
}

qint16 currentPrivilege()
{
    const Users &u = users();
    if (u.CurrentUser < 1 || u.CurrentUser > MaxUsers)
        return PrivilegeNone;
    return normalisedPrivilege(u.UserPrivilege[size_t(u.CurrentUser)]);
}

void resetUsers()
{
    users() = Users();
}

QString usersFilePath()
{
    return dataFilePath(QStringLiteral("USER.INI"));
}

void LoadUsers()
{
    const IniDocument doc = IniDocument::load(usersFilePath());
    const qint16 version = toInt16(leadingValue(readIniValue(doc, "General", "Version", "0")));
    if (version == 0) {
        LoadUsersOld();
        return;
    }
    Users &u = users();
    for (int i = 1; i <= MaxUsers; ++i) {
        const QByteArray sec = userSection(i);
        u.UserName[i] = DecodeCharCodes(trimBlanks(readIniValue(doc, sec, "A", "")));
        u.UserPass[i] = DecodeCharCodes(trimBlanks(readIniValue(doc, sec, "B", "")));
        u.UserPrivilege[i] = toInt16(leadingValue(readIniValue(doc, sec, "C", "1")));
        for (int h = 1; h <= MaxHeadEnds; ++h)
            u.UserHEAccess[i][h] =
                leadingValue(trimBlanks(readIniValue(doc, sec, rightKey(h), "1"))) == 1;
    }
}

void LoadUsersOld()
{
    QFile f(usersFilePath());
    if (!f.exists())
        throw Failure(ErrorKind::FileNotFound);
    if (!f.open(QIODevice::ReadOnly))
        throw Failure(ErrorKind::PermissionDenied);
    ItemReader reader(f.readAll());
    Users &u = users();
    reader.next();
    for (int i = 1; i <= MaxUsers; ++i) {
        u.UserName[i] = fromBytes(oldItem(reader));
        u.UserPass[i] = fromBytes(oldItem(reader));
        u.UserPrivilege[i] = toInt16(leadingValue(oldItem(reader)));
    }
    for (int i = 1; i <= MaxUsers; ++i) {
        for (int h = 1; h <= 8; ++h)
            u.UserHEAccess[i][h] = toBoolean(oldItem(reader));
        for (int h = 9; h <= MaxHeadEnds; ++h)
            u.UserHEAccess[i][h] = false;
    }
}

bool SaveUsers(WriteFailure *failure)
{
    // A fresh document: an old-format file is replaced by the current format.
    IniDocument doc;
    writeIniValue(doc, "General", "Version", "1");
    const Users &u = users();
    for (int i = 1; i <= MaxUsers; ++i) {
        const QByteArray sec = userSection(i);
        writeIniValue(doc, sec, "A", EncodeCharCodes(u.UserName[i]));
        writeIniValue(doc, sec, "B", EncodeCharCodes(u.UserPass[i]));
        writeIniValue(doc, sec, "C", QByteArray::number(u.UserPrivilege[i]));
        for (int h = 1; h <= MaxHeadEnds; ++h)
            writeIniValue(doc, sec, rightKey(h), u.UserHEAccess[i][h] ? "1" : "0");
    }
    QString error;
    unsigned widerMode = 0;
    // The passwords' encoding is reversible: no other account may read the file.
    if (!writeFileAtomically(usersFilePath(), doc.toBytes(), &error, FileAccess::OwnerOnly,
                             &widerMode)) {
        // The old file stays as it was.
        logWriteFailure("Error SaveUsers)", usersFilePath(), error);
        if (failure)
            *failure = WriteFailure{usersFilePath(), error};
        return false;
    }
    if (widerMode != 0)
        WriteLog("USER.INI was readable by other accounts (mode " +
                 QByteArray::number(widerMode, 8) +
                 "); it is now readable by its owner only (mode 600)");
    return true;
}

} // namespace vek
