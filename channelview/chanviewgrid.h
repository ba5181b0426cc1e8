#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

namespace vek {

struct ChannelEntry;

constexpr int ChanViewColumns = 8;
constexpr int ChanViewFilters = 6;
// The select-list view, which the channel-control window redraws after a change.
constexpr int FilterSelectList = 5;

// The view filter 0..5 (all, substituted, pending, under N minutes, backup, select list);
// it keeps its value while the program runs.
qint16 &CVFilter();
// The channel index chosen by the last double click, as decimal text ("" for none).
QByteArray &CVChannel();

// The texts of one view filter: its button caption, the tool tips of the button's label
// and of its picture, and the caption above the list.
struct ChanViewFilterTexts
{
    QString button;
    QString labelTip;
    QString pictureTip;
    QString listCaption;
};
ChanViewFilterTexts chanViewFilterTexts(int filter);
// Whether a channel is listed under a filter (hidden channels never are).
bool listedInFilter(const ChannelEntry &channel, int filter);

// How a cell is painted: nothing, one of the list colours 1..4, or the grey stripe.
enum ChanViewPaint : quint8 { PaintNone = 0, PaintStripe = 9 };
constexpr quint32 StripeRgb = 0xDFDFDF;

// One row of the list below the header: eight cell texts and their paints.
struct ChanViewLine
{
    std::array<QByteArray, ChanViewColumns> cells;
    std::array<quint8, ChanViewColumns> paint{};
};

// The whole list of one head end under one filter, as the window draws it: the rows below
// the header (at least one), left pair first, then the right pair.
struct ChanViewGrid
{
    std::vector<ChanViewLine> lines;
    // Entries that passed the filter, shown or not (those numbered 0 or less are not).
    int listed = 0;
};
ChanViewGrid buildChanViewGrid(int headEnd, int filter);

// The last channel index the list looks at: one past the head end's configured count,
// held within the channel table.
int chanViewLastChannel(int headEnd);

// Window sizes and the grid font, in twips and points.
constexpr int ChanViewWidth = 4245;
constexpr int ChanViewHeight = 7290;
constexpr int ChanViewColumnTwips = 700;
// The grid's size for a window size; -1 leaves that dimension as it is.
int chanViewGridHeight(int windowHeight);
int chanViewGridWidth(int windowWidth);
int chanViewHeadWidth(int windowWidth);
// Width of each of the four text columns for a grid width; never below 0.
int chanViewTextColumnWidth(int gridWidth);
// Point size of the grid font for FontIndex; 0 leaves the design font.
int chanViewFontPoints(int fontIndex);

} // namespace vek
