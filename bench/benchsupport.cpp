#include "benchsupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "core/consolestate.h"
#include "core/eventtable.h"
#include "core/ui/frmlogin.h"
#include "platform/widgets/dialogseam.h"

namespace vekbench {

bool spin(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer limit;
    limit.start();
    // Wakes the wait below at the limit (processEvents with a time limit would not wait).
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(limitMs);
    while (!done()) {
        if (limit.elapsed() > limitMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void spinFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

double residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) : 0;
}

vek::EventRec benchEvent(int headEnd, int slot)
{
    using namespace vek;
    // One generator per event, so any slot can be made on its own.
    std::mt19937 rng(quint32(headEnd * 100003 + slot));
    auto pick = [&rng](std::initializer_list<const char *> texts) {
        std::uniform_int_distribution<size_t> d(0, texts.size() - 1);
        return QByteArray(*(texts.begin() + d(rng)));
    };
    const int day = std::uniform_int_distribution<int>(0, 29)(rng);
    const int start = std::uniform_int_distribution<int>(0, 86399)(rng);
    const int s = std::uniform_int_distribution<int>(0, 99)(rng);

    EventRec e;
    e.InUse = true;
    e.HeadEnd = quint8(headEnd);
    e.EventKey = ("K" + QByteArray::number(headEnd * 100000 + slot) + "-0123456789ABCDEF")
                     .leftJustified(32, '0');
    e.Status = s < 60 ? 1 : s < 70 ? 3 : s < 75 ? 5 : s < 80 ? 0 : s < 88 ? 2 : s < 90 ? 4 : 8;
    e.GroupNo = quint8(slot % 9);
    e.GroupText = e.GroupNo ? "Group " + QByteArray::number(e.GroupNo) : "N/A";
    e.EventDate = QDate(2026, 12, 1).addDays(day);
    e.StartTime = "12:00:00";
    e.EndTime = "12:30:00";
    e.StartKey =
        qint64(e.EventDate.year() * 10000 + e.EventDate.month() * 100 + e.EventDate.day()) *
            100000 +
        start;
    e.EndKey = e.StartKey + 1800;
    e.SrcText = pick({"SAT 1 (11)", "SAT 2 (12)", "LOCAL (3)", "Feed B (14)"});
    e.DestText = pick({"CNN (101)", "ESPN (102)", "tsn (103)", "Weather (104)", "news 2 (105)"});
    e.HEText = "HE" + QByteArray::number(headEnd);
    e.Description = "Regional substitution for the evening block";
    e.Duration = "00:30:00";
    e.Comments = "none";
    e.ActualStart = "12:00:01";
    e.ActualEnd = "12:30:00";
    e.ActualDur = "00:29:59";
    return e;
}

void fillBenchEvents()
{
    for (int he = 1; he <= 12; ++he) {
        for (int slot = 0; slot < 10000; ++slot)
            vek::Events().edit(he, slot) = benchEvent(he, slot);
    }
}

QByteArray simEventKey(int n)
{
    return ("SYNC" + QByteArray::number(n).rightJustified(6, '0')).leftJustified(32, '0');
}

QByteArray simScenario(int headEnd, int events)
{
    const QByteArray n = QByteArray::number(headEnd);
    QByteArray s = "headend " + n + " name=Bench zone=4 minutes=30 list=1\n" + "channel " + n +
                   " 1 name=CH1 num=101 level=1 def=1 src=\"Feed\" out=1 dest=\"Channel 101\"\n" +
                   "channel " + n +
                   " 2 name=CH2 num=102 level=1 def=2 src=\"Sub\" out=2 dest=\"Channel 102\"\n";
    for (int e = 0; e < events; ++e)
        s += "event " + n + " key=" + simEventKey(e) + " dest=1 src=2 start=+" +
             QByteArray::number(60 + e) + "m dur=30m desc=\"Programme " + QByteArray::number(e) +
             "\" comments=\"Bench event\"\n";
    return s;
}

bool writeDataFolder(const QString &folder, const QList<quint16> &ports)
{
    QByteArray ini = "[General]\r\nVersion=1\r\n";
    for (int he = 1; he <= ports.size(); ++he) {
        const QByteArray n = QByteArray::number(he);
        ini += "[HeadEnd_" + n + "_Settings]\r\nLong_Name=Head End " + n + "\r\nShort_Name=HE" + n +
               "\r\nIP_Address=127.0.0.1\r\nIP_Address_Backup=127.0.0.1\r\nIP_Port=" +
               QByteArray::number(ports[he - 1]) +
               "\r\nList_Number=1\r\nNumber_Of_Channels=2\r\nRetry_MS=70\r\nHeadEnd_OnLine=1\r\n"
               "Alarm_Enable=1\r\n";
    }
    QFile f(folder + QStringLiteral("/VEK.INI"));
    if (!f.open(QIODevice::WriteOnly) || f.write(ini) != ini.size())
        return false;
    f.close();
    // One administrator, "Admin" / "admin1" (each character as its low and high byte).
    const QByteArray users =
        "[General]\r\nVersion=1\r\n[User_1_Settings]\r\n"
        "A=65-0-100-0-109-0-105-0-110-0\r\nB=97-0-100-0-109-0-105-0-110-0-49-0\r\n"
        "C=3\r\n";
    QFile u(folder + QStringLiteral("/USER.INI"));
    return u.open(QIODevice::WriteOnly) && u.write(users) == users.size();
}

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::start(const QByteArray &scenario, const QList<int> &headEnds,
                       const QStringList &moreArgs)
{
    const QString path = m_dir.filePath(QStringLiteral("bench.scn"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(scenario) != scenario.size())
        return false;
    f.close();
    QStringList args{QStringLiteral("--scenario"), path, QStringLiteral("--quiet")};
    for (const int he : headEnds)
        args << QStringLiteral("--port") << QStringLiteral("%1=0").arg(he);
    args << moreArgs;

    // Everything the child needs is made before the fork: after it, only system calls.
    const QByteArray program =
        (QCoreApplication::applicationDirPath() + QStringLiteral("/vek-hwsim")).toLocal8Bit();
    std::vector<QByteArray> argBytes{program};
    for (const QString &a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray outPath = m_dir.filePath(QStringLiteral("stdout.txt")).toLocal8Bit();
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return false;
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // A benchmark that dies takes its servers with it.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        const int out = ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || ::dup2(in[0], STDIN_FILENO) < 0 || ::dup2(out, STDOUT_FILENO) < 0)
            ::_exit(127);
        ::execv(program.constData(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    if (pid < 0) {
        ::close(in[1]);
        return false;
    }
    m_pid = pid;
    m_stdin = in[1];

    // It prints "HE<n> port <p>" for every head end once it listens; nothing wakes this
    // process when it does, so the file is read every few milliseconds.
    QByteArray out;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 60000) {
        out += output();
        m_ports.clear();
        for (const QByteArray &line : out.split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 3 && parts[0].startsWith("HE") && parts[1] == "port")
                m_ports[parts[0].mid(2).toInt()] = quint16(parts[2].toInt());
        }
        if (m_ports.size() >= size_t(headEnds.size()) || !running())
            break;
        ::usleep(2000);
    }
    return m_ports.size() >= size_t(headEnds.size());
}

quint16 SimProcess::port(int headEnd) const
{
    const auto it = m_ports.find(headEnd);
    return it == m_ports.end() ? 0 : it->second;
}

void SimProcess::command(const QByteArray &line)
{
    if (m_stdin < 0)
        return;
    const QByteArray text = line + '\n';
    qsizetype done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(m_stdin, text.constData() + done, size_t(text.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += n;
    }
}

QByteArray SimProcess::output()
{
    QFile f(m_dir.filePath(QStringLiteral("stdout.txt")));
    if (!f.open(QIODevice::ReadOnly) || !f.seek(m_outRead))
        return {};
    const QByteArray text = f.readAll();
    m_outRead += text.size();
    return text;
}

bool SimProcess::running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    const pid_t r = ::waitpid(m_pid, &status, WNOHANG);
    if (r == 0)
        return true;
    if (r == m_pid || (r < 0 && errno == ECHILD))
        m_pid = -1;
    return r < 0 && errno == EINTR;
}

void SimProcess::stop()
{
    if (running()) {
        command("quit");
        QElapsedTimer t;
        t.start();
        while (running() && t.elapsed() < 3000)
            ::usleep(10000);
        if (running()) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }
    if (m_stdin >= 0) {
        ::close(m_stdin);
        m_stdin = -1;
    }
}

void dialogsToStderr()
{
    // A message box would wait for an operator: show it on stderr instead.
    vek::DialogSeam::installHandler([](const vek::DialogRequest &r) {
        std::fprintf(stderr, "vek-bench: %s: %s\n", qPrintable(r.title), qPrintable(r.text));
        return vek::DialogAnswer();
    });
}

bool logIn()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        QList<vek::frmLogin *> logins = w->findChildren<vek::frmLogin *>();
        if (auto *own = qobject_cast<vek::frmLogin *>(w))
            logins.prepend(own);
        for (vek::frmLogin *login : logins) {
            if (!login->isVisible())
                continue;
            login->txtName()->setText(QStringLiteral("Admin"));
            login->txtPass()->setText(QStringLiteral("admin1"));
            login->cmdOK_Click();
            return true;
        }
    }
    std::fprintf(stderr, "vek-bench: no login window to log in with\n");
    return false;
}

} // namespace vekbench
