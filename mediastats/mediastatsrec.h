#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vek {

// One row of a media-stats file, fields in the order the files know them. Texts are
// single-byte text with control characters already turned into blanks.
struct MediaStatsRec
{
    qint16 RowType = 0;
    QByteArray AirDate; // DD/MM/YYYY
    QByteArray ExtraText1;
    QByteArray StartTime;
    QByteArray EndTime;
    QByteArray Description;
    QByteArray MonBegMark;
    QByteArray MonEndMark;
    // Overwritten by the conversion with the channel-table index it finds.
    qint16 DestNo = 0;
    QByteArray DestName;
    qint16 SrcNo = 0;
    QByteArray SrcName;
    QByteArray CONumber;
    QByteArray ExtraText2;
    QByteArray MediaPointID;
    QByteArray Comments;
    QByteArray Action;

    bool operator==(const MediaStatsRec &) const = default;
};

} // namespace vek
