#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

// Puts VEK_HOME back as it was when the object goes: the test program's own folder.
class KeepDataFolder
{
public:
    KeepDataFolder() : m_value(qgetenv("VEK_HOME")) {}
    ~KeepDataFolder() { qputenv("VEK_HOME", m_value); }
    KeepDataFolder(const KeepDataFolder &) = delete;
    KeepDataFolder &operator=(const KeepDataFolder &) = delete;

private:
    QByteArray m_value;
};

// A fresh data folder for one test: VEK_HOME points at it while the object lives.
class TestHome
{
public:
    TestHome()
    {
        QVERIFY2(m_dir.isValid(), "temporary folder");
        qputenv("VEK_HOME", m_dir.path().toLocal8Bit());
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void write(const QString &name, const QByteArray &content) const
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    // Every log file of the folder, joined.
    QByteArray readLog() const
    {
        QByteArray all;
        for (const QString &name : QDir(m_dir.path()).entryList({QStringLiteral("*.ENG")}))
            all += read(name);
        return all;
    }

private:
    KeepDataFolder m_keep;
    QTemporaryDir m_dir;
};

// Makes writes beyond a file size fail (even for root) while the object lives.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lim = m_old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};
