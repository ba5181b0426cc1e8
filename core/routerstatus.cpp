#include "routerstatus.h"

#include "channeltable.h"
#include "log.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "receivestate.h"
#include "settings.h"

namespace vek {

namespace {

constexpr int TmxLevelBase = 80;
constexpr int LastEvaluated = 255;

QByteArray sourceLabel(const ChannelEntry &e, bool backup)
{
    return (backup ? "BU-" : "") + e.SrcName + " (" + CStr(qint64(e.ChanNum)) + ")";
}

void evaluate(const QByteArray &label, bool tmx, bool extended)
{
    const int he = UpdateHE();
    const int unit = UpdateUnit();
    try {
        if (!validHeadEnd(he))
            throw Failure(ErrorKind::SubscriptOutOfRange);
        const QByteArray text = tmx ? TMXBuffer(he, unit) : RTRBuffer(he, unit);
        const int code = tmx ? unit + TmxLevelBase : unit;
        for (int ch = 1; ch <= LastEvaluated; ++ch) {
            ChannelEntry &e = Channel(he, ch);
            if (e.ChanLevel != code)
                continue;
            const qint64 o = e.ChanCol;
            const qint64 width = extended ? 2 : 1;
            if (o < 1 || o * width > text.size()) {
                // A channel whose output the text does not cover keeps its state; the
                // other channels are still evaluated.
                // Every status text the server repeats would log it again.
                WriteLogLimited(label + QByteArray::number(he),
                                label + Str(qint64(ErrorKind::SubscriptOutOfRange)) + ' ' +
                                    errorDescription(ErrorKind::SubscriptOutOfRange) + " (channel" +
                                    Str(qint64(ch)) + ", output" + Str(o) + ")");
                continue;
            }
            // Wide enough for a high byte of 128 and more, which no entry can claim.
            qint64 input = 0;
            if (extended)
                input = static_cast<unsigned char>(text[2 * o - 2]) * 256 +
                        static_cast<unsigned char>(text[2 * o - 1]);
            else
                input = static_cast<unsigned char>(text[o - 1]);

            e.CurSrcText = "IP" + Str(qint64(unit)) + "-" + CStr(input);
            e.Substituted = true;
            e.OnBackup = false;
            if (input == e.ChanDefSrc) {
                e.Substituted = false;
                e.CurSrcText = sourceLabel(e, false);
                continue;
            }
            if (input == e.ChanBackupSrc) {
                e.Substituted = false;
                e.OnBackup = true;
                e.CurSrcText = sourceLabel(e, true);
                continue;
            }
            for (int m = 1; m <= LastEvaluated; ++m) {
                const ChannelEntry &other = Channel(he, m);
                if (other.ChanLevel != code)
                    continue;
                if (input == other.ChanDefSrc) {
                    e.CurSrcText = sourceLabel(other, false);
                    break;
                }
                if (input == other.ChanBackupSrc) {
                    e.CurSrcText = sourceLabel(other, true);
                    break;
                }
            }
        }
    } catch (const Failure &f) {
        logErrorLimited(label + QByteArray::number(he) + ' ' + QByteArray::number(f.number()),
                        label, f);
    }
    fillChanViewIfShown(he);
}

} // namespace

void RTRUPDATE()
{
    evaluate("Error RTRUPDATE)", false, false);
}

void RTR_EXT_UPDATE()
{
    evaluate("Error RTR_EXT_UPDATE)", false, true);
}

void TMXUPDATE()
{
    evaluate("Error TMXUPDATE)", true, false);
}

void TMX_EXT_UPDATE()
{
    evaluate("Error TMX_EXT_UPDATE)", true, true);
}

} // namespace vek
