#pragma once

#include <QByteArray>
#include <QDate>

namespace vek {

// One substitution event, fields in their record order. Texts are single-byte text.
struct EventRec
{
    bool InUse = false;
    QByteArray EventKey;
    quint8 HeadEnd = 0;
    quint8 Level = 0;
    qint16 SrcInput = 0;
    qint16 DestOutput = 0;
    qint16 SrcCh = 0;
    qint16 DestCh = 0;
    qint16 DestDefSrc = 0;
    qint16 DestBackupSrc = 0;
    bool BackupSrc = false;
    quint8 Status = 0;
    quint8 SpareCode = 0;
    quint8 Automation = 0;
    quint8 GroupNo = 0;
    quint8 Interrupted = 0;
    QByteArray HEText;
    QByteArray GroupText;
    QDate EventDate;
    QByteArray StartTime;
    QByteArray EndTime;
    QByteArray SrcText;
    QByteArray DestText;
    QByteArray Description;
    QByteArray StatusDetail;
    QByteArray Duration;
    QByteArray SpareText1;
    QByteArray SpareText2;
    quint8 AddedBy = 0;
    quint8 ExtraCode1 = 0;
    quint8 ExtraCode2 = 0;
    QByteArray OpComment;
    QByteArray ActualStart;
    QByteArray ActualEnd;
    QByteArray ActualDur;
    qint64 StartKey = 0;
    qint64 EndKey = 0;
    QByteArray Comments;
    QByteArray MediaPointID;
    bool SubNow = false;
    bool DefNow = false;
    bool MonitorBeg = false;
    bool MonitorEnd = false;
    quint8 TimeZone = 0;

    bool operator==(const EventRec &) const = default;
};

// Event status codes.
enum EventStatus : quint8 {
    StatusProblem = 0,
    StatusActive = 1,
    StatusOnAir = 2,
    StatusOnHold = 3,
    StatusOnHoldOnAir = 4,
    StatusLessThan = 5,
    StatusFailed = 6,
    StatusAbort = 7,
    StatusDone = 8,
};

} // namespace vek
