#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace vek {

// A row of byte-text cells laid out in one buffer: the cell count, the end of every cell,
// then the texts back to back (at most 4096 cells; texts are never cut).
// TextRowView reads such a layout wherever it lives (an owning TextRow or a TextRowArena); it owns
// nothing and is as cheap as a pointer.
class TextRowView
{
public:
    TextRowView() = default;
    explicit TextRowView(const char *layout) : m_p(layout) {}

    int cellCount() const;
    // The text of a cell; a cell beyond the row is empty.
    QByteArrayView cell(int index) const;
    const char *layout() const { return m_p; }

private:
    const char *m_p = nullptr;
};

// One row that owns its layout. Copies share the buffer.
class TextRow
{
public:
    TextRow() = default;
    explicit TextRow(std::span<const QByteArrayView> cells);
    TextRow(std::initializer_list<QByteArrayView> cells)
        : TextRow(std::span<const QByteArrayView>(cells.begin(), cells.size()))
    {}
    explicit TextRow(TextRowView view);

    TextRowView view() const
    {
        return TextRowView(m_data.isEmpty() ? nullptr : m_data.constData());
    }
    int cellCount() const { return view().cellCount(); }
    QByteArrayView cell(int index) const { return view().cell(index); }
    // A copy with one cell replaced, padded with empty cells up to it. An index below 0
    // or of 4096 and more changes nothing.
    TextRow withCell(int index, QByteArrayView text) const;

    bool operator==(const TextRow &other) const;

private:
    QByteArray m_data;
};

// Many rows in large chunks: no allocation per row, and a row's place never moves while
// the arena lives.
class TextRowArena
{
public:
    TextRowArena() = default;
    ~TextRowArena();
    TextRowArena(const TextRowArena &) = delete;
    TextRowArena &operator=(const TextRowArena &) = delete;

    TextRowView append(std::span<const QByteArrayView> cells);

    // Finished arenas keep up to 64 MB of chunks for the next rows (fresh memory costs
    // a page fault per page); this gives them back (tests, or after a big view closed).
    static void releasePool();
    static size_t pooledChunks();

private:
    static constexpr qsizetype ChunkSize = 256 * 1024;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::vector<std::unique_ptr<char[]>> m_big;
    qsizetype m_used = ChunkSize;
};

// The size of a row's layout and writing it into memory of that size.
qsizetype textRowLayoutSize(std::span<const QByteArrayView> cells);
void writeTextRowLayout(std::span<const QByteArrayView> cells, char *out);

// Order of two texts as the lists sort them: byte by byte as unsigned codes, case-
// insensitive by folding Latin-1 lower-case letters to upper case; a text that is a
// prefix of the other comes first. Negative, zero or positive.
int compareText(QByteArrayView a, QByteArrayView b, bool caseSensitive);
// The upper-case form of one Latin-1 code (the case-insensitive order's key).
unsigned char foldCase(unsigned char c);

// A grid's text sort: codes 5 (case-insensitive ascending), 6 (case-insensitive
// descending), 7 (case-sensitive ascending), 8 (case-sensitive descending).
struct TextSortCode
{
    bool valid = false;
    bool descending = false;
    bool caseSensitive = false;
};
TextSortCode textSortCode(int code);

} // namespace vek
