// Scenario files and control commands: one statement per line, parsed into the
// simulator's head ends, channels, events and router.

#include <QFile>
#include <QTcpSocket>

#include "core/convert.h"
#include "core/eventtext.h"
#include "hwsim.h"
#include "hwsimstate.h"
#include "platform/failure.h"
#include "platform/text.h"

namespace vek::sim {

namespace {

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

} // namespace

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

    if (verb == "churn") {
        int percent = 0;
        if (w.size() < 2 || !toNumber(w[1], percent) || percent < 1 || percent > 100)
            return "usage: churn <percent 1..100>";
        churn(percent);
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

} // namespace vek::sim
