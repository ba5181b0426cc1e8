#pragma once

#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "core/settings.h"
#include "platform/inidocument.h"
#include "testhome.h"

// Every key of an INI file as "section/key" (lower case) -> value, the first of each.
inline QMap<QByteArray, QByteArray> iniPairs(const QByteArray &content)
{
    QMap<QByteArray, QByteArray> out;
    QByteArray section;
    for (QByteArray line : content.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).toLower();
        } else if (const qsizetype eq = line.indexOf('='); eq > 0) {
            const QByteArray key = section + '/' + line.left(eq).trimmed().toLower();
            if (!out.contains(key))
                out.insert(key, line.mid(eq + 1).trimmed());
        }
    }
    return out;
}

// The settings file with every key at its default, as the console writes it.
inline QByteArray defaultSettingsFile()
{
    QFile f(QStringLiteral(VEK_TEST_DATA "/VEK.defaults.ini"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// Writes the default settings file with some keys changed and loads it.
inline void loadSettingsWith(const TestHome &home,
                             const QList<std::array<QByteArray, 3>> &changes = {})
{
    vek::IniDocument doc(defaultSettingsFile());
    for (const auto &[section, key, value] : changes)
        doc.setValue(section, key, value);
    home.write(QStringLiteral("VEK.INI"), doc.toBytes());
    vek::LoadSettings();
}

// Types text at the end of a box, key by key, as the operator would.
inline void typeAtEnd(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, text);
}
