#include "hwsim.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <algorithm>
#include <functional>

#include "core/convert.h"
#include "core/eventtext.h"
#include "platform/clock.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek::sim {

namespace {

constexpr char FieldSeparator = char(206);
constexpr int KeyLength = 32;
constexpr int RouterParts = 5;
constexpr int TmxParts = 4;

QByteArray flagText(bool on)
{
    return on ? "True" : "False";
}

QByteArray hms(const QTime &t)
{
    return zeroPadded(t.hour(), 2) + ':' + zeroPadded(t.minute(), 2) + ':' +
           zeroPadded(t.second(), 2);
}

QByteArray hmsOfSeconds(qint64 secs)
{
    secs = qMax<qint64>(0, secs);
    return zeroPadded(secs / 3600, 2) + ':' + zeroPadded(secs / 60 % 60, 2) + ':' +
           zeroPadded(secs % 60, 2);
}

QDateTime keyToDateTime(qint64 key)
{
    const qint64 ymd = key / 100000;
    const QDate date(int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100));
    return QDateTime(date, QTime(0, 0)).addSecs(key % 100000);
}

QByteArray padKey(const QByteArray &key)
{
    QByteArray k = trimBlanks(key).left(KeyLength);
    return k + QByteArray(KeyLength - k.size(), '0');
}

QByteArray bigEndian4(quint32 n)
{
    QByteArray b(4, '\0');
    b[0] = char(n >> 24);
    b[1] = char(n >> 16);
    b[2] = char(n >> 8);
    b[3] = char(n);
    return b;
}

// Words separated by blanks; double quotes keep blanks inside one word and are removed.
QList<QByteArray> tokenize(const QByteArray &line)
{
    QList<QByteArray> words;
    QByteArray word;
    bool quoted = false;
    bool any = false;
    for (const char ch : line) {
        if (ch == '"') {
            quoted = !quoted;
            any = true;
        } else if ((ch == ' ' || ch == '\t') && !quoted) {
            if (any)
                words.append(word);
            word.clear();
            any = false;
        } else {
            word.append(ch);
            any = true;
        }
    }
    if (any)
        words.append(word);
    return words;
}

using Options = QMap<QByteArray, QByteArray>;

// key=value words from index first on; a word without "=" is an error.
bool readOptions(const QList<QByteArray> &words, int first, Options &out, QByteArray &error)
{
    for (int i = first; i < words.size(); ++i) {
        const qsizetype eq = words[i].indexOf('=');
        if (eq <= 0) {
            error = "expected key=value, got \"" + words[i] + "\"";
            return false;
        }
        out.insert(words[i].left(eq).toLower(), words[i].mid(eq + 1));
    }
    return true;
}

bool toNumber(const QByteArray &text, int &out)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    if (ok)
        out = n;
    return ok;
}

// "90s", "30m", "2h", "1h30m", or "hh:mm:ss"; false when it is neither.
bool parseSpan(QByteArray text, qint64 &secs)
{
    if (text.contains(':')) {
        const QList<QByteArray> parts = text.split(':');
        if (parts.size() != 3)
            return false;
        int h = 0, m = 0, s = 0;
        if (!toNumber(parts[0], h) || !toNumber(parts[1], m) || !toNumber(parts[2], s))
            return false;
        secs = h * 3600LL + m * 60 + s;
        return true;
    }
    secs = 0;
    QByteArray digits;
    for (const char ch : text) {
        if (ch >= '0' && ch <= '9') {
            digits.append(ch);
            continue;
        }
        int n = 0;
        if (!toNumber(digits, n))
            return false;
        if (ch == 'h')
            secs += n * 3600LL;
        else if (ch == 'm')
            secs += n * 60LL;
        else if (ch == 's')
            secs += n;
        else
            return false;
        digits.clear();
    }
    if (!digits.isEmpty()) {
        int n = 0;
        if (!toNumber(digits, n))
            return false;
        secs += n * 60LL; // a bare number counts minutes
    }
    return true;
}

// The text after the first n words of a line (blanks between words skipped).
QByteArray restAfterWords(const QByteArray &line, int n)
{
    qsizetype i = 0;
    for (int k = 0; k < n; ++k) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
    }
    if (i < line.size())
        ++i; // the one blank after the last word
    return line.mid(i);
}

bool parseBool(const QByteArray &text)
{
    const QByteArray t = text.toLower();
    return t == "1" || t == "true" || t == "yes";
}

int dashboardCount(const QList<EventRec> &events, const std::function<bool(const EventRec &)> &f)
{
    return int(std::count_if(events.begin(), events.end(), f));
}

} // namespace

// ---------------------------------------------------------------------------------------

QByteArray SimChannel::record() const
{
    const QList<QByteArray> fields = {name,
                                      QByteArray::number(num),
                                      QByteArray::number(level),
                                      QByteArray::number(defSrc),
                                      srcName,
                                      QByteArray::number(srcSig),
                                      QByteArray::number(output),
                                      destName,
                                      QByteArray::number(destSig),
                                      QByteArray::number(backupSrc),
                                      flagText(hidden),
                                      flagText(select),
                                      "0",
                                      "0",
                                      "0",
                                      flagText(srcExcluded),
                                      "0"};
    return fields.join(FieldSeparator);
}

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

// ---------------------------------------------------------------------------------------

struct HwSim::Connection
{
    QTcpSocket *socket = nullptr;
    int listNo = 0;
    QList<QByteArray> pending; // event keys whose change this console has not fetched
    bool tableChanged = true;
    bool statusChanged = false;
    quint8 rtrFlags = 0;
    quint16 tmxFlags = 0;
};

struct HwSim::HeadEnd
{
    int number = 0;
    QByteArray name;
    quint16 scenarioPort = 0;
    int zone = 4;
    int minutes = 30;
    int listNo = 1;
    QMap<int, SimChannel> channels;
    QMap<int, QMap<int, int>> router; // level (0..8, 80..96) -> output -> input
    QMap<int, int> statusDigit;       // device code 10..74 -> digit
    QMap<QByteArray, EventRec> events;
    QMap<QByteArray, EventRec> deleted;
    QList<QByteArray> alarms;
    QList<QByteArray> backups;
    QTcpServer *server = nullptr;
    std::vector<std::unique_ptr<Connection>> conns;
    Misbehaviour mode = Misbehaviour::None;
    int modeLeft = -1;
    int serial = 0;
};

HwSim::HwSim(QObject *parent) : QObject(parent)
{
    m_started.start();
    connect(&m_tickTimer, &QTimer::timeout, this, &HwSim::tick);
}

HwSim::~HwSim()
{
    for (auto &[n, h] : m_headEnds) {
        for (auto &c : h->conns)
            c->socket->disconnect(this);
    }
}

HwSim::HeadEnd *HwSim::headEnd(int he) const
{
    const auto it = m_headEnds.find(he);
    return it == m_headEnds.end() ? nullptr : it->second.get();
}

QList<int> HwSim::headEnds() const
{
    QList<int> list;
    for (const auto &[n, h] : m_headEnds)
        list.append(n);
    return list;
}

QDateTime HwSim::now() const
{
    return Clock::localNow().addMSecs(m_offsetMs);
}

void HwSim::setAutoTick(int intervalMs)
{
    if (intervalMs > 0)
        m_tickTimer.start(intervalMs);
    else
        m_tickTimer.stop();
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
    m_trace.append(line);
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

// ---------------------------------------------------------------------------------------
// Scenario and control commands

bool HwSim::loadScenario(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    return loadScenarioText(file.readAll(), error);
}

bool HwSim::loadScenarioText(const QByteArray &text, QString *error)
{
    QByteArray normalised = text;
    normalised.replace("\r\n", "\n");
    normalised.replace('\r', '\n');
    const QList<QByteArray> lines = normalised.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QByteArray problem;
        try {
            problem = scenarioLine(line, false);
        } catch (const Failure &f) {
            problem = "error " + QByteArray::number(f.number()) + " " + f.description();
        }
        if (!problem.isEmpty()) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(i + 1).arg(fromBytes(problem));
            return false;
        }
    }
    tick();
    return true;
}

QByteArray HwSim::command(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#'))
        return {};
    QByteArray problem;
    try {
        problem = scenarioLine(trimmed, true);
    } catch (const Failure &f) {
        problem = "error " + QByteArray::number(f.number()) + " " + f.description();
    }
    note(0, "command " + trimmed + (problem.isEmpty() ? QByteArray() : " -> " + problem));
    return problem;
}

QByteArray HwSim::scenarioLine(const QByteArray &line, bool running)
{
    const QList<QByteArray> w = tokenize(line);
    if (w.isEmpty())
        return {};
    const QByteArray verb = w[0].toLower();

    if (verb == "tick") {
        tick();
        return {};
    }
    if (verb == "advance") {
        // Plain seconds, or a span such as 5m or 1h30m.
        QByteArray span = w.value(1);
        if (!span.isEmpty() && span.back() >= '0' && span.back() <= '9')
            span += 's';
        qint64 secs = 0;
        if (span.isEmpty() || !parseSpan(span, secs))
            return "usage: advance <seconds>";
        m_offsetMs += secs * 1000;
        tick();
        return {};
    }

    static const QList<QByteArray> verbs = {
        "headend", "channel",   "event",  "router",  "take",   "alarm",
        "backup",  "delete",    "zone",   "minutes", "silent", "badheader",
        "twice",   "malformed", "normal", "close",   "send"};
    if (!verbs.contains(verb))
        return "unknown command \"" + verb + "\"";
    int he = 0;
    if (w.size() < 2 || !toNumber(w[1], he) || he < 1 || he > 12)
        return "expected a head end 1..12 after \"" + verb + "\"";

    if (verb == "headend")
        return running ? QByteArray("head ends are set by the scenario") : headEndLine(he, w);

    HeadEnd *h = headEnd(he);
    if (!h)
        return "head end " + QByteArray::number(he) + " is not in the scenario";

    if (verb == "channel")
        return channelLine(h, w, running);
    if (verb == "event")
        return eventLine(h, w, running);

    if (verb == "router" || verb == "take") {
        int level = 0, input = 0, output = 0;
        if (w.size() < 5 || !toNumber(w[2], level) || !toNumber(w[3], input) ||
            !toNumber(w[4], output))
            return "usage: " + verb + " <he> <level> <input> <output>";
        if (!take(h, level, input, output))
            return "level must be 0..8, 10..74 or 80..96";
        return {};
    }

    if (verb == "alarm") {
        const QByteArray text = trimBlanks(restAfterWords(line, 2));
        if (text.isEmpty())
            return "usage: alarm <he> <text>";
        h->alarms.append(text);
        return {};
    }

    if (verb == "backup") {
        int input = 0;
        if (w.size() < 4 || !toNumber(w[3], input) || input < 0 || input > 9999)
            return "usage: backup <he> <name> <input> [switch]";
        const bool now = w.size() > 4 && w[4].toLower() == "switch";
        QByteArray rec;
        rec.append(char(1));
        rec.append(char(now ? 3 : 2));
        rec.append("00");
        rec.append(w[2].toUpper().left(8).leftJustified(8, ' '));
        rec.append(QByteArray::number(input).rightJustified(4, '0'));
        h->backups.append(rec);
        return {};
    }

    if (verb == "delete") {
        if (w.size() < 3)
            return "usage: delete <he> <key>";
        const QByteArray key = padKey(w[2]);
        if (!h->events.contains(key))
            return "no event " + key;
        deleteEvent(h, nullptr, key);
        return {};
    }

    if (verb == "zone" || verb == "minutes") {
        int n = 0;
        if (w.size() < 3 || !toNumber(w[2], n) || n < 0 || n > (verb == "zone" ? 11 : 255))
            return "usage: " + verb + " <he> <value>";
        (verb == "zone" ? h->zone : h->minutes) = n;
        if (verb == "minutes")
            tick();
        return {};
    }

    if (verb == "silent" || verb == "badheader" || verb == "twice" || verb == "malformed" ||
        verb == "normal") {
        int count = -1;
        if (w.size() > 2 && (!toNumber(w[2], count) || count < 1))
            return "count must be 1 or more";
        h->mode = verb == "silent"      ? Misbehaviour::Silent
                  : verb == "badheader" ? Misbehaviour::BadHeader
                  : verb == "twice"     ? Misbehaviour::Twice
                  : verb == "malformed" ? Misbehaviour::Malformed
                                        : Misbehaviour::None;
        h->modeLeft = h->mode == Misbehaviour::None ? -1 : count;
        return {};
    }

    if (verb == "close") {
        std::vector<std::unique_ptr<Connection>> conns = std::move(h->conns);
        h->conns.clear();
        for (auto &c : conns) {
            c->socket->disconnect(this);
            c->socket->abort();
            c->socket->deleteLater();
        }
        note(he, "closed " + QByteArray::number(int(conns.size())) + " connection(s)");
        return {};
    }

    if (verb == "send") {
        const QByteArray bytes = unescapeBytes(restAfterWords(line, 2));
        if (bytes.isEmpty())
            return "usage: send <he> <escaped bytes>";
        for (auto &c : h->conns)
            write(h, c.get(), bytes);
        return {};
    }

    return "unknown command \"" + verb + "\"";
}

// headend <he> name= port= zone= minutes= list=
QByteArray HwSim::headEndLine(int he, const QList<QByteArray> &w)
{
    Options o;
    QByteArray error;
    if (!readOptions(w, 2, o, error))
        return error;
    auto &slot = m_headEnds[he];
    if (!slot) {
        slot = std::make_unique<HeadEnd>();
        slot->number = he;
        slot->name = "Head End " + QByteArray::number(he);
    }
    HeadEnd *h = slot.get();
    int n = 0;
    if (o.contains("name"))
        h->name = o.value("name");
    if (o.contains("port")) {
        if (!toNumber(o.value("port"), n) || n < 0 || n > 65535)
            return "bad port";
        h->scenarioPort = quint16(n);
    }
    if (o.contains("zone")) {
        if (!toNumber(o.value("zone"), n) || n < 0 || n > 11)
            return "zone must be 0..11";
        h->zone = n;
    }
    if (o.contains("minutes")) {
        if (!toNumber(o.value("minutes"), n) || n < 0 || n > 255)
            return "minutes must be 0..255";
        h->minutes = n;
    }
    if (o.contains("list")) {
        if (!toNumber(o.value("list"), n) || n < 0 || n > 255)
            return "list must be 0..255";
        h->listNo = n;
    }
    return {};
}

// channel <he> <index> key=value..
QByteArray HwSim::channelLine(HeadEnd *h, const QList<QByteArray> &w, bool running)
{
    int index = 0;
    if (w.size() < 3 || !toNumber(w[2], index) || index < 0 || index > 255)
        return "expected a channel index 0..255";
    Options o;
    QByteArray error;
    if (!readOptions(w, 3, o, error))
        return error;
    SimChannel ch = h->channels.value(index);
    const bool isNew = !h->channels.contains(index);
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QByteArray &k = it.key();
        const QByteArray &v = it.value();
        int n = 0;
        const bool numeric = toNumber(v, n);
        auto num16 = [&](qint16 &field) {
            if (!numeric || n < -32768 || n > 32767)
                return false;
            field = qint16(n);
            return true;
        };
        bool ok = true;
        if (k == "name")
            ch.name = v;
        else if (k == "src")
            ch.srcName = v;
        else if (k == "dest")
            ch.destName = v;
        else if (k == "num")
            ok = num16(ch.num);
        else if (k == "level")
            ok = numeric && n >= 0 && n <= 255 && ((ch.level = n), true);
        else if (k == "def")
            ok = num16(ch.defSrc);
        else if (k == "srcsig")
            ok = num16(ch.srcSig);
        else if (k == "out")
            ok = num16(ch.output);
        else if (k == "destsig")
            ok = num16(ch.destSig);
        else if (k == "backup")
            ok = num16(ch.backupSrc);
        else if (k == "hidden")
            ch.hidden = parseBool(v);
        else if (k == "select")
            ch.select = parseBool(v);
        else if (k == "excluded")
            ch.srcExcluded = parseBool(v);
        else
            return "unknown channel field \"" + k + "\"";
        if (!ok)
            return "bad value for " + k;
    }
    if (isNew && ch.num == 0)
        ch.num = qint16(index);
    h->channels.insert(index, ch);
    // The router starts with every output on its own default source.
    if (ch.level <= 8 || (ch.level >= 80 && ch.level <= 96)) {
        if (!h->router[ch.level].contains(ch.output))
            h->router[ch.level].insert(ch.output, ch.defSrc);
    } else if (ch.level >= 10 && ch.level <= 74 && !h->statusDigit.contains(ch.level)) {
        h->statusDigit.insert(ch.level, qBound(0, ch.defSrc - 1, 9));
    }
    if (running)
        setTableChanged(h);
    return {};
}

// event <he> key=value..
QByteArray HwSim::eventLine(HeadEnd *h, const QList<QByteArray> &w, bool running)
{
    Options o;
    QByteArray error;
    if (!readOptions(w, 2, o, error))
        return error;
    static const QList<QByteArray> known = {"dest",   "src",  "start",  "dur",     "date",
                                            "status", "auto", "group",  "key",     "desc",
                                            "detail", "mpid", "backup", "comments"};
    for (auto it = o.cbegin(); it != o.cend(); ++it) {
        if (!known.contains(it.key()))
            return "unknown event field \"" + it.key() + "\"";
    }
    int dest = 0;
    int src = 0;
    if (!toNumber(o.value("dest"), dest) || !h->channels.contains(dest))
        return "event needs dest=<channel index> of a known channel";
    if (!toNumber(o.value("src"), src) || !h->channels.contains(src))
        return "event needs src=<channel index> of a known channel";
    const SimChannel d = h->channels.value(dest);
    const SimChannel s = h->channels.value(src);
    QDateTime start = now();
    start = start.addMSecs(-start.time().msec());
    const QByteArray startText = o.value("start", "+0m");
    qint64 secs = 0;
    if (startText.startsWith('+') || startText.startsWith('-')) {
        if (!parseSpan(startText.mid(1), secs))
            return "bad start";
        start = start.addSecs(startText.startsWith('-') ? -secs : secs);
    } else {
        if (!parseSpan(startText, secs) || !startText.contains(':'))
            return "start must be +span, -span or hh:mm:ss";
        QDate day = start.date();
        if (o.contains("date")) {
            day = QDate::fromString(QString::fromLatin1(o.value("date")), "dd/MM/yyyy");
            if (!day.isValid())
                return "date must be DD/MM/YYYY";
        }
        start = QDateTime(day, QTime(0, 0)).addSecs(secs);
    }
    qint64 dur = 0;
    if (!parseSpan(o.value("dur", "30m"), dur) || dur <= 0)
        return "bad dur";
    const QDateTime end = start.addSecs(dur);
    int n = 0;
    EventRec e;
    e.EventKey = o.contains("key") ? padKey(o.value("key")) : nextKey(h);
    e.HeadEnd = quint8(h->number);
    e.Level = quint8(qBound(0, d.level, 255));
    e.SrcInput = s.defSrc;
    e.DestOutput = d.output;
    e.SrcCh = qint16(src);
    e.DestCh = qint16(dest);
    e.DestDefSrc = d.defSrc;
    e.DestBackupSrc = d.backupSrc;
    e.BackupSrc = parseBool(o.value("backup"));
    e.Status = StatusActive;
    if (o.contains("status")) {
        if (!toNumber(o.value("status"), n) || n < 0 || n > 8)
            return "status must be 0..8";
        e.Status = quint8(n);
    }
    e.Automation = 2;
    if (o.contains("auto")) {
        if (!toNumber(o.value("auto"), n) || n < 0 || n > 2)
            return "auto must be 0..2";
        e.Automation = quint8(n);
    }
    if (o.contains("group")) {
        if (!toNumber(o.value("group"), n) || n < 0 || n > 24)
            return "group must be 0..24";
        e.GroupNo = quint8(n);
    }
    e.GroupText = GroupText(e.GroupNo);
    e.HEText = h->name;
    e.EventDate = start.date();
    e.StartTime = hms(start.time());
    e.EndTime = hms(end.time());
    e.SrcText = s.srcName + " (" + QByteArray::number(s.num) + ")";
    e.DestText = d.destName + " (" + QByteArray::number(d.num) + ")";
    e.Description = o.value("desc");
    e.StatusDetail = o.value("detail");
    e.Duration = hmsOfSeconds(dur);
    e.StartKey = DateKey(start);
    e.EndKey = DateKey(end);
    e.Comments = o.value("comments");
    e.MediaPointID = o.value("mpid");
    e.TimeZone = quint8(h->zone);
    e.InUse = true;
    if (running)
        advanceEvent(h, e);
    h->events.insert(e.EventKey, e);
    h->deleted.remove(e.EventKey);
    if (running)
        changed(h, e.EventKey);
    return {};
}

// ---------------------------------------------------------------------------------------
// Sockets

bool HwSim::listen(int he, quint16 port)
{
    HeadEnd *h = headEnd(he);
    if (!h)
        return false;
    if (!h->server) {
        h->server = new QTcpServer(this);
        connect(h->server, &QTcpServer::newConnection, this, [this, h] { onNewConnection(h); });
    }
    if (h->server->isListening())
        h->server->close();
    if (!h->server->listen(QHostAddress::LocalHost, port)) {
        note(he, "cannot listen on port " + QByteArray::number(port) + ": " +
                     toBytes(h->server->errorString()));
        return false;
    }
    note(he, "listening on port " + QByteArray::number(h->server->serverPort()));
    return true;
}

bool HwSim::listenAll(QString *error)
{
    for (const auto &[n, h] : m_headEnds) {
        if (!listen(n, h->scenarioPort)) {
            if (error)
                *error = QStringLiteral("head end %1 cannot listen on port %2")
                             .arg(n)
                             .arg(h->scenarioPort);
            return false;
        }
    }
    return true;
}

quint16 HwSim::port(int he) const
{
    const HeadEnd *h = headEnd(he);
    return h && h->server && h->server->isListening() ? h->server->serverPort() : 0;
}

void HwSim::setScenarioPort(int he, quint16 port)
{
    if (HeadEnd *h = headEnd(he))
        h->scenarioPort = port;
}

int HwSim::connectionCount(int he) const
{
    const HeadEnd *h = headEnd(he);
    return h ? int(h->conns.size()) : 0;
}

void HwSim::onNewConnection(HeadEnd *h)
{
    while (QTcpSocket *socket = h->server->nextPendingConnection()) {
        auto c = std::make_unique<Connection>();
        c->socket = socket;
        c->listNo = h->listNo;
        // A console that just connected knows nothing: offer it everything.
        c->tableChanged = true;
        for (auto it = h->router.cbegin(); it != h->router.cend(); ++it) {
            const int level = it.key();
            if (level >= 1 && level <= 8)
                c->rtrFlags |= quint8(1u << (level - 1));
            else if (level >= 81 && level <= 96)
                c->tmxFlags |= quint16(1u << (level - 81));
        }
        c->statusChanged = !h->statusDigit.isEmpty();
        c->pending = h->events.keys();
        Connection *raw = c.get();
        h->conns.push_back(std::move(c));
        connect(socket, &QTcpSocket::readyRead, this, [this, h, raw] { onReadyRead(h, raw); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, h, raw] { onDisconnected(h, raw); });
        note(h->number, "console connected");
    }
}

void HwSim::onDisconnected(HeadEnd *h, Connection *c)
{
    const auto it =
        std::find_if(h->conns.begin(), h->conns.end(), [c](const auto &p) { return p.get() == c; });
    if (it == h->conns.end())
        return;
    c->socket->disconnect(this);
    c->socket->deleteLater();
    h->conns.erase(it);
    note(h->number, "console disconnected");
}

void HwSim::write(HeadEnd *h, Connection *c, const QByteArray &bytes)
{
    addTrace(h->number, "out", bytes);
    c->socket->write(bytes);
    c->socket->flush();
}

void HwSim::onReadyRead(HeadEnd *h, Connection *c)
{
    const QByteArray data = c->socket->read(c->socket->bytesAvailable());
    if (data.isEmpty())
        return;
    addTrace(h->number, "in", data);
    if (data.size() < 4) {
        note(h->number, "message shorter than its header, not answered");
        return;
    }
    QByteArray header = data.left(4);
    const QByteArray body = data.mid(4);
    c->listNo = static_cast<unsigned char>(header[2]);

    const Misbehaviour mode = h->mode;
    if (mode != Misbehaviour::None && h->modeLeft > 0 && --h->modeLeft == 0)
        h->mode = Misbehaviour::None;
    if (mode == Misbehaviour::Silent) {
        note(h->number, "silent: not answered");
        return;
    }

    QByteArray reply;
    try {
        reply = answer(h, c, body);
    } catch (const Failure &f) {
        note(h->number, "error " + QByteArray::number(f.number()) + " " + f.description());
        reply = pollReply(h, c);
    }

    if (mode == Misbehaviour::BadHeader) {
        const auto digit = static_cast<unsigned char>(header[3]);
        header[3] = char(digit >= '0' && digit <= '8' ? digit + 1 : '0');
    } else if (mode == Misbehaviour::Malformed) {
        reply = reply.left(3);
    }
    write(h, c, header + reply);
    if (mode == Misbehaviour::Twice)
        write(h, c, header + reply);
}

// ---------------------------------------------------------------------------------------
// Answers

QByteArray HwSim::answer(HeadEnd *h, Connection *c, const QByteArray &body)
{
    if (body.isEmpty()) {
        note(h->number, "empty body: header echoed only");
        return {};
    }
    const auto code = static_cast<unsigned char>(body[0]);
    const int x = body.size() > 1 ? static_cast<unsigned char>(body[1]) : 0;
    const QByteArray reply(1, char((code + 100) & 0xFF));

    switch (code) {
    case 10:
        return pollReply(h, c);
    case 14:
        return reply + (h->alarms.isEmpty() ? QByteArray() : h->alarms.takeFirst());
    case 15:
        return reply + char(x) + plainStatus(h, x);
    case 18:
        return reply + char(x) + plainStatus(h, x + 80);
    case 19:
        if (x == 0)
            c->tableChanged = false;
        return reply + char(x) + h->channels.value(x).record();
    case 21:
        c->statusChanged = false;
        return reply + channelStatusDigits(h);
    case 30:
        return reply + dashboard(h, false);
    case 31:
        return reply + dashboard(h, true);
    case 41:
    case 42:
    case 43:
    case 44:
    case 45: {
        if (code == 41 && x >= 1 && x <= 8)
            c->rtrFlags &= quint8(~(1u << (x - 1)));
        const QByteArray text = extendedStatus(h, x);
        const qsizetype part = (text.size() / 2 + RouterParts - 1) / RouterParts * 2;
        return reply + char(x) + text.mid((code - 41) * part, part);
    }
    case 51:
    case 52:
    case 53:
    case 54: {
        if (code == 51 && x >= 1 && x <= 16)
            c->tmxFlags &= quint16(~(1u << (x - 1)));
        const QByteArray text = extendedStatus(h, x + 80);
        const qsizetype part = (text.size() / 2 + TmxParts - 1) / TmxParts * 2;
        return reply + char(x) + text.mid((code - 51) * part, part);
    }
    case 61:
        return reply + char(h->zone);
    case 62:
        return reply + char(h->minutes);
    case 71:
        return reply + (h->backups.isEmpty() ? QByteArray(2, '\0') : h->backups.takeFirst());
    case 81: // "Q": store an event
        return storeEvent(h, c, body.mid(1));
    case 82: // "R": the next event change
        return eventAnswer(h, c);
    case 12:
        return deleteEvent(h, c, body.mid(1));
    case 16: {
        const QByteArray d = body.mid(1);
        bool ok1 = false, ok2 = false, ok3 = false;
        const int levelWidth = d.size() == 9 ? 3 : 2;
        const int level = d.left(levelWidth).toInt(&ok1);
        const int input = d.mid(levelWidth, 3).toInt(&ok2);
        const int output = d.mid(levelWidth + 3).toInt(&ok3);
        if ((d.size() != 8 && d.size() != 9) || !ok1 || !ok2 || !ok3 ||
            !take(h, level, input, output))
            note(h->number, "take not understood: " + escapeBytes(d));
        return reply;
    }
    case 17: {
        const QByteArray d = body.mid(1);
        for (qsizetype pos = 0; pos < d.size(); pos += 9) {
            const QByteArray item = d.mid(pos, 9);
            bool ok1 = false, ok2 = false, ok3 = false;
            const int level = item.mid(1, 2).toInt(&ok1);
            const int input = item.mid(3, 3).toInt(&ok2);
            const int output = item.mid(6, 3).toInt(&ok3);
            if (item.size() != 9 || item[0] != '/' || !ok1 || !ok2 || !ok3 ||
                !take(h, level, input, output)) {
                note(h->number, "send-home item not understood: " + escapeBytes(item));
                break;
            }
        }
        return reply;
    }
    case 20: {
        const QList<QByteArray> keys = h->events.keys();
        for (const QByteArray &key : keys)
            deleteEvent(h, nullptr, key);
        note(h->number, "cleared " + QByteArray::number(keys.size()) + " event(s)");
        return reply;
    }
    case 101:
    case 102:
        note(h->number, QByteArray(code == 101 ? "output activated: " : "output in standby: ") +
                            escapeBytes(body.mid(1)));
        return reply;
    default:
        if (code >= 91 && code <= 97) {
            groupCommand(h, code, x);
            return reply;
        }
        return reply;
    }
}

QByteArray HwSim::pollReply(HeadEnd *h, Connection *c) const
{
    QByteArray b(13, '\0');
    b[0] = char(110);
    b[1] = char(c->tableChanged ? 1 : 0);
    b[2] = char(c->rtrFlags);
    b[3] = char(c->tmxFlags & 0xFF);
    b[4] = char(c->statusChanged ? 1 : 0);
    if (!c->pending.isEmpty() && c->listNo >= 1 && c->listNo <= 32) {
        static const int listByte[4] = {5, 6, 9, 10};
        const int k = c->listNo - 1;
        b[listByte[k / 8]] = char(1u << (k % 8));
    }
    b[7] = char(h->alarms.isEmpty() ? 0 : 1);
    b[8] = char(h->backups.isEmpty() ? 0 : 1);
    b[11] = char(c->tmxFlags >> 8);
    return b;
}

QByteArray HwSim::dashboard(HeadEnd *h, bool todayOnly) const
{
    QList<EventRec> list;
    const QDate today = now().date();
    for (const EventRec &e : h->events) {
        if (!todayOnly || e.EventDate == today)
            list.append(e);
    }
    auto is = [](std::initializer_list<int> statuses) {
        return [statuses](const EventRec &e) {
            return std::find(statuses.begin(), statuses.end(), e.Status) != statuses.end();
        };
    };
    const int total = int(list.size());
    const int upcoming = dashboardCount(list, is({1, 3, 5}));
    const int onAir = dashboardCount(list, is({2, 4}));
    const int lessThan = dashboardCount(list, is({5}));
    const int onHold = dashboardCount(list, is({3, 4}));
    const int interrupted = dashboardCount(list, [](const EventRec &e) { return e.Interrupted; });
    const int completed = dashboardCount(list, is({8}));
    const int completed2 = dashboardCount(list, is({7}));
    const int problem = dashboardCount(list, is({0, 6}));
    // The wire order of the ten counters.
    QByteArray p;
    for (const int n :
         {0, completed2, completed, total, interrupted, lessThan, onAir, onHold, problem, upcoming})
        p += bigEndian4(quint32(n));
    return p;
}

QByteArray HwSim::plainStatus(HeadEnd *h, int level) const
{
    const QMap<int, int> outputs = h->router.value(level);
    const int count = outputs.isEmpty() ? 0 : qMax(0, outputs.lastKey());
    QByteArray text(count, '\0');
    for (auto it = outputs.cbegin(); it != outputs.cend(); ++it) {
        if (it.key() >= 1)
            text[it.key() - 1] = char(qBound(0, it.value(), 255));
    }
    return text;
}

QByteArray HwSim::extendedStatus(HeadEnd *h, int level) const
{
    const QMap<int, int> outputs = h->router.value(level);
    const int count = outputs.isEmpty() ? 0 : qMax(0, outputs.lastKey());
    QByteArray text(count * 2, '\0');
    for (auto it = outputs.cbegin(); it != outputs.cend(); ++it) {
        if (it.key() < 1)
            continue;
        const int input = qBound(0, it.value(), 32767);
        text[2 * it.key() - 2] = char(input >> 8);
        text[2 * it.key() - 1] = char(input & 0xFF);
    }
    return text;
}

QByteArray HwSim::channelStatusDigits(HeadEnd *h) const
{
    QByteArray digits(65, '0');
    for (auto it = h->statusDigit.cbegin(); it != h->statusDigit.cend(); ++it)
        digits[it.key() - 10] = char('0' + it.value());
    return digits;
}

QByteArray HwSim::eventAnswer(HeadEnd *h, Connection *c)
{
    while (!c->pending.isEmpty()) {
        const QByteArray key = c->pending.takeFirst();
        if (h->events.contains(key))
            return QByteArray(1, char(181)) + EventToString(h->events.value(key));
        if (h->deleted.contains(key))
            return QByteArray(1, char(182)) + EventToString(h->deleted.value(key));
    }
    note(h->number, "no event change waiting: poll reply instead");
    return pollReply(h, c);
}

QByteArray HwSim::storeEvent(HeadEnd *h, Connection *c, const QByteArray &text)
{
    EventRec e;
    try {
        e = ParseEvent(text);
    } catch (const Failure &f) {
        note(h->number, "event not understood (" + f.description() + "): poll reply instead");
        return pollReply(h, c);
    }
    e.HeadEnd = quint8(h->number);
    const std::optional<EventRec> old =
        h->events.contains(e.EventKey) ? std::optional(h->events.value(e.EventKey)) : std::nullopt;
    // A change of status from the console moves the router when it starts or ends airing.
    if (old && old->Status == StatusOnAir && e.Status != StatusOnAir && !e.DefNow)
        take(h, e.Level, e.DestDefSrc, e.DestOutput);
    else if ((!old || old->Status != StatusOnAir) && e.Status == StatusOnAir)
        take(h, e.Level, e.SrcInput, e.DestOutput);
    if (old && old->Status == StatusOnAir && e.DefNow)
        e.Status = StatusOnAir; // so that the default-now request takes it off air below
    try {
        advanceEvent(h, e);
    } catch (const Failure &f) {
        note(h->number, "event times not understood (" + f.description() + ")");
    }
    h->events.insert(e.EventKey, e);
    h->deleted.remove(e.EventKey);
    changed(h, e.EventKey, c);
    return QByteArray(1, char(181)) + EventToString(e);
}

QByteArray HwSim::deleteEvent(HeadEnd *h, Connection *c, const QByteArray &key)
{
    QByteArray k = key;
    if (!h->events.contains(k))
        k = padKey(key);
    if (!h->events.contains(k)) {
        note(h->number, "delete of an unknown key " + escapeBytes(key));
        EventRec e;
        e.EventKey = k;
        e.HeadEnd = quint8(h->number);
        e.EventDate = now().date();
        return QByteArray(1, char(182)) + EventToString(e);
    }
    EventRec e = h->events.take(k);
    if (e.Status == StatusOnAir)
        take(h, e.Level, e.DestDefSrc, e.DestOutput);
    h->deleted.insert(k, e);
    changed(h, k, c);
    return QByteArray(1, char(182)) + EventToString(e);
}

void HwSim::groupCommand(HeadEnd *h, quint8 code, int group)
{
    if (group < 1 || group > 24) {
        note(h->number, "group command without a group");
        return;
    }
    for (auto it = h->events.begin(); it != h->events.end(); ++it) {
        EventRec &e = it.value();
        if (e.GroupNo != group)
            continue;
        const quint8 before = e.Status;
        const quint8 interrupted = e.Interrupted;
        switch (code) {
        case 91: // hold group
            if (e.Status == StatusActive || e.Status == StatusLessThan)
                e.Status = StatusOnHold;
            break;
        case 92: // hold group on air
            if (e.Status == StatusOnAir) {
                take(h, e.Level, e.DestDefSrc, e.DestOutput);
                e.Status = StatusOnHoldOnAir;
            }
            break;
        case 93: // substitute group now
        case 97:
            if (e.Status == StatusActive || e.Status == StatusOnHold || e.Status == StatusLessThan)
                goOnAir(h, e);
            break;
        case 94: // default group now
            if (e.Status == StatusOnAir || e.Status == StatusOnHoldOnAir)
                goOffAir(h, e, StatusDone);
            break;
        case 95: // interrupt group
            if (e.Status == StatusOnAir) {
                take(h, e.Level, e.DestDefSrc, e.DestOutput);
                e.Status = StatusOnHoldOnAir;
                e.Interrupted = 1;
            }
            break;
        case 96: // resume group
            if (e.Status == StatusOnHoldOnAir && e.Interrupted) {
                take(h, e.Level, e.SrcInput, e.DestOutput);
                e.Status = StatusOnAir;
                e.Interrupted = 0;
            }
            break;
        default:
            break;
        }
        if (e.Status != before || e.Interrupted != interrupted)
            changed(h, e.EventKey);
    }
}

bool HwSim::take(HeadEnd *h, int level, int input, int output)
{
    if ((level >= 0 && level <= 8) || (level >= 80 && level <= 96)) {
        if (output < 1 || output > 999 || input < 0 || input > 32767)
            return false;
        h->router[level].insert(output, input);
        setLevelChanged(h, level);
        note(h->number, "router level " + QByteArray::number(level) + " output " +
                            QByteArray::number(output) + " <- input " + QByteArray::number(input));
        return true;
    }
    if (level >= 10 && level <= 74) {
        h->statusDigit.insert(level, qBound(0, input - 1, 9));
        setStatusChanged(h);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// Change flags and time

void HwSim::changed(HeadEnd *h, const QByteArray &key, Connection *except)
{
    for (auto &c : h->conns) {
        if (c.get() != except && !c->pending.contains(key))
            c->pending.append(key);
    }
}

void HwSim::setTableChanged(HeadEnd *h)
{
    for (auto &c : h->conns)
        c->tableChanged = true;
}

void HwSim::setStatusChanged(HeadEnd *h)
{
    for (auto &c : h->conns)
        c->statusChanged = true;
}

void HwSim::setLevelChanged(HeadEnd *h, int level)
{
    for (auto &c : h->conns) {
        if (level >= 1 && level <= 8)
            c->rtrFlags |= quint8(1u << (level - 1));
        else if (level >= 81 && level <= 96)
            c->tmxFlags |= quint16(1u << (level - 81));
    }
}

QByteArray HwSim::nextKey(HeadEnd *h)
{
    const QDateTime t = now();
    h->serial = (h->serial + 1) % 10000;
    return padKey(toBytes(t.toString("yyMMddHHmmss")) + zeroPadded(h->serial, 4));
}

void HwSim::goOnAir(HeadEnd *h, EventRec &e)
{
    take(h, e.Level, e.SrcInput, e.DestOutput);
    e.Status = StatusOnAir;
    e.SubNow = false;
    e.ActualStart = hms(now().time());
    e.ActualEnd.clear();
    e.ActualDur.clear();
}

void HwSim::goOffAir(HeadEnd *h, EventRec &e, quint8 status)
{
    if (e.Status == StatusOnAir)
        take(h, e.Level, e.DestDefSrc, e.DestOutput);
    e.Status = status;
    e.DefNow = false;
    e.ActualEnd = hms(now().time());
    if (!e.ActualStart.isEmpty())
        e.ActualDur = TimeCalc(e.ActualEnd, e.ActualStart, "-", true);
}

// One step of an event's life at the present time; true when it changed.
bool HwSim::advanceEvent(HeadEnd *h, EventRec &e)
{
    const EventRec before = e;
    const QDateTime t = now();
    const qint64 key = DateKey(t);
    switch (e.Status) {
    case StatusActive:
    case StatusLessThan:
        if (e.SubNow) {
            goOnAir(h, e);
        } else if (key >= e.EndKey) {
            // Its whole slot passed while nobody watched: it aired as planned.
            e.Status = StatusDone;
            e.ActualStart = e.StartTime;
            e.ActualEnd = e.EndTime;
            e.ActualDur = e.Duration;
        } else if (key >= e.StartKey) {
            goOnAir(h, e);
        } else {
            const qint64 secs = t.secsTo(keyToDateTime(e.StartKey));
            e.Status = secs < h->minutes * 60LL ? StatusLessThan : StatusActive;
        }
        break;
    case StatusOnHold:
        if (e.SubNow)
            goOnAir(h, e);
        else if (key >= e.EndKey)
            e.Status = StatusDone;
        break;
    case StatusOnAir:
        if (e.DefNow || key >= e.EndKey)
            goOffAir(h, e, StatusDone);
        break;
    case StatusOnHoldOnAir:
        if (e.DefNow || key >= e.EndKey)
            goOffAir(h, e, StatusDone);
        break;
    default:
        break;
    }
    return !(e == before);
}

void HwSim::tick()
{
    for (auto &[n, h] : m_headEnds) {
        for (auto it = h->events.begin(); it != h->events.end(); ++it) {
            try {
                if (advanceEvent(h.get(), it.value()))
                    changed(h.get(), it.key());
            } catch (const Failure &f) {
                note(n, "event " + it.key() + " has unusable times (" + f.description() + ")");
            }
        }
    }
}

// ---------------------------------------------------------------------------------------
// State readers

QList<EventRec> HwSim::events(int he) const
{
    const HeadEnd *h = headEnd(he);
    return h ? h->events.values() : QList<EventRec>();
}

std::optional<EventRec> HwSim::event(int he, const QByteArray &key) const
{
    const HeadEnd *h = headEnd(he);
    if (!h)
        return std::nullopt;
    const auto it = h->events.constFind(h->events.contains(key) ? key : padKey(key));
    return it == h->events.cend() ? std::nullopt : std::optional(it.value());
}

std::optional<SimChannel> HwSim::channel(int he, int index) const
{
    const HeadEnd *h = headEnd(he);
    if (!h || !h->channels.contains(index))
        return std::nullopt;
    return h->channels.value(index);
}

int HwSim::routerInput(int he, int level, int output) const
{
    const HeadEnd *h = headEnd(he);
    return h ? h->router.value(level).value(output, -1) : -1;
}

} // namespace vek::sim
