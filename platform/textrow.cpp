#include "textrow.h"

#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace vek {

namespace {
// Layout of the buffer: cell count, the end offset of every cell (relative to the first
// text byte), then the texts back to back. All numbers are quint32 in host order, so a
// row holds whatever its cells hold: a list row reads the same whether it was made for
// painting or read cell by cell.
using Word32 = quint32;
constexpr qsizetype Word = sizeof(Word32);
constexpr qsizetype MaxText = std::numeric_limits<Word32>::max();
constexpr int MaxCellCount = 4096;

qsizetype cutCells(std::span<const QByteArrayView> cells)
{
    return qMin<qsizetype>(qsizetype(cells.size()), MaxCellCount);
}

// Chunks of finished arenas wait here for the next rebuild: fresh memory costs a page
// fault per page, reused memory nothing.
std::vector<std::unique_ptr<char[]>> &chunkPool()
{
    static std::vector<std::unique_ptr<char[]>> pool;
    return pool;
}
constexpr size_t MaxPooledChunks = 256;

// A fresh chunk is filled row by row at once: asking the kernel for all its pages in one
// call is much cheaper than a page fault per page. Only a hint; where the kernel does
// not know it, the pages fault in as usual.
std::unique_ptr<char[]> freshChunk(qsizetype size)
{
    std::unique_ptr<char[]> chunk(new char[size_t(size)]);
#ifdef MADV_POPULATE_WRITE
    static const auto page = quintptr(sysconf(_SC_PAGESIZE));
    const auto begin = quintptr(chunk.get());
    const quintptr first = (begin + page - 1) / page * page;
    const quintptr last = (begin + quintptr(size)) / page * page;
    if (page > 0 && last > first)
        madvise(reinterpret_cast<void *>(first), size_t(last - first), MADV_POPULATE_WRITE);
#endif
    return chunk;
}

const std::array<unsigned char, 256> &foldTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int c = 0; c < 256; ++c) {
            const bool lower = (c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7);
            t[c] = static_cast<unsigned char>(lower ? c - 0x20 : c);
        }
        return t;
    }();
    return table;
}
} // namespace

qsizetype textRowLayoutSize(std::span<const QByteArrayView> cells)
{
    const qsizetype n = cutCells(cells);
    qsizetype text = 0;
    for (qsizetype i = 0; i < n; ++i)
        text += cells[size_t(i)].size();
    return Word * (n + 1) + qMin(text, MaxText);
}

void writeTextRowLayout(std::span<const QByteArrayView> cells, char *out)
{
    const qsizetype n = cutCells(cells);
    const qsizetype head = Word * (n + 1);
    const auto count = static_cast<Word32>(n);
    std::memcpy(out, &count, Word);
    qsizetype end = 0;
    char *texts = out + head;
    for (qsizetype i = 0; i < n; ++i) {
        const QByteArrayView &c = cells[size_t(i)];
        const qsizetype len = qMin(c.size(), MaxText - end);
        if (len > 0)
            std::memcpy(texts + end, c.data(), size_t(len));
        end += len;
        const auto e = static_cast<Word32>(end);
        std::memcpy(out + Word * (i + 1), &e, Word);
    }
}

int TextRowView::cellCount() const
{
    if (!m_p)
        return 0;
    Word32 n = 0;
    std::memcpy(&n, m_p, Word);
    return static_cast<int>(n);
}

QByteArrayView TextRowView::cell(int index) const
{
    const int count = cellCount();
    if (index < 0 || index >= count)
        return {};
    Word32 begin = 0;
    Word32 end = 0;
    if (index > 0)
        std::memcpy(&begin, m_p + Word * index, Word);
    std::memcpy(&end, m_p + Word * (index + 1), Word);
    const qsizetype base = Word * (qsizetype(count) + 1);
    return QByteArrayView(m_p + base + begin, qsizetype(end - begin));
}

TextRow::TextRow(std::span<const QByteArrayView> cells)
{
    if (cells.empty())
        return;
    m_data = QByteArray(textRowLayoutSize(cells), Qt::Uninitialized);
    writeTextRowLayout(cells, m_data.data());
}

TextRow::TextRow(TextRowView view)
{
    const int n = view.cellCount();
    std::vector<QByteArrayView> cells(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        cells[size_t(i)] = view.cell(i);
    *this = TextRow(std::span<const QByteArrayView>(cells));
}

TextRowArena::~TextRowArena()
{
    auto &pool = chunkPool();
    for (auto &chunk : m_chunks) {
        if (pool.size() >= MaxPooledChunks)
            break;
        pool.push_back(std::move(chunk));
    }
}

void TextRowArena::releasePool()
{
    chunkPool().clear();
}

size_t TextRowArena::pooledChunks()
{
    return chunkPool().size();
}

TextRowView TextRowArena::append(std::span<const QByteArrayView> cells)
{
    const qsizetype size = textRowLayoutSize(cells);
    char *out = nullptr;
    if (size > ChunkSize / 4) {
        // A giant row gets memory of its own; the current chunk goes on.
        m_big.push_back(std::unique_ptr<char[]>(new char[size_t(size)]));
        out = m_big.back().get();
    } else {
        if (m_used + size > ChunkSize) {
            auto &pool = chunkPool();
            if (pool.empty()) {
                m_chunks.push_back(freshChunk(ChunkSize));
            } else {
                m_chunks.push_back(std::move(pool.back()));
                pool.pop_back();
            }
            m_used = 0;
        }
        out = m_chunks.back().get() + m_used;
        m_used += size;
    }
    writeTextRowLayout(cells, out);
    return TextRowView(out);
}

TextRow TextRow::withCell(int index, QByteArrayView text) const
{
    if (index < 0 || index >= MaxCellCount)
        return *this;
    const int count = qMax(cellCount(), index + 1);
    std::vector<QByteArrayView> cells(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        cells[size_t(i)] = i == index ? text : cell(i);
    // The new text may be a view into this row's own buffer: the constructor copies
    // before this row goes away.
    return TextRow(std::span<const QByteArrayView>(cells));
}

bool TextRow::operator==(const TextRow &other) const
{
    const int n = cellCount();
    if (n != other.cellCount())
        return false;
    for (int i = 0; i < n; ++i) {
        if (cell(i) != other.cell(i))
            return false;
    }
    return true;
}

unsigned char foldCase(unsigned char c)
{
    return foldTable()[c];
}

int compareText(QByteArrayView a, QByteArrayView b, bool caseSensitive)
{
    const qsizetype n = qMin(a.size(), b.size());
    const auto *pa = reinterpret_cast<const unsigned char *>(a.data());
    const auto *pb = reinterpret_cast<const unsigned char *>(b.data());
    if (caseSensitive) {
        const int r = n == 0 ? 0 : std::memcmp(pa, pb, size_t(n));
        if (r != 0)
            return r;
    } else {
        const auto &fold = foldTable();
        for (qsizetype i = 0; i < n; ++i) {
            const int d = int(fold[pa[i]]) - int(fold[pb[i]]);
            if (d != 0)
                return d;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

TextSortCode textSortCode(int code)
{
    switch (code) {
    case 5:
        return {true, false, false};
    case 6:
        return {true, true, false};
    case 7:
        return {true, false, true};
    case 8:
        return {true, true, true};
    default:
        return {};
    }
}

} // namespace vek
