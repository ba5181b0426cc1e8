// The INI reader and writer: any bytes load, a rewrite keeps every line, and a written
// value reads back without touching another section's value.

#include "fuzzsupport.h"
#include "platform/inidocument.h"

namespace {
QByteArray valueText(QByteArray v)
{
    v.replace('\r', ' ').replace('\n', ' ');
    qsizetype b = 0, e = v.size();
    while (b < e && (v[b] == ' ' || v[b] == '\t'))
        ++b;
    while (e > b && (v[e - 1] == ' ' || v[e - 1] == '\t'))
        --e;
    return v.mid(b, e - b);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray in = vekfuzz::bytes(data, size);
    vek::IniDocument doc(in);
    const QByteArray out = doc.toBytes();
    vekfuzz::require(vek::IniDocument(out).toBytes() == out, "a rewrite keeps every line");

    const auto other = doc.value("Other", "K");
    const QByteArray v = valueText(in.left(64));
    doc.setValue("Section", "Key", v);
    vekfuzz::require(doc.value("SECTION", "key") == v, "a written value reads back");
    const vek::IniDocument again(doc.toBytes());
    vekfuzz::require(again.value("Section", "Key") == v, "a written value survives the file");
    vekfuzz::require(again.value("Other", "K") == other, "another section keeps its value");
    return 0;
}
