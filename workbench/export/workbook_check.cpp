#include "workbook_check.h"

#include <zlib.h>

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>

namespace {

constexpr quint32 kEndRecord = 0x06054b50, kDirectoryEntry = 0x02014b50, kLocalHeader = 0x04034b50;
constexpr qsizetype kEndRecordSize = 22, kDirectoryEntrySize = 46, kLocalHeaderSize = 30;
constexpr quint32 kStored = 0, kDeflated = 8;

// The little-endian number of `bytes` bytes at `at` of `zip`; false past its end.
bool Number(const QByteArray& zip, qsizetype at, int bytes, quint32* value)
{
    if (at < 0 || at + bytes > zip.size())
        return false;
    *value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        *value = *value << 8 | quint8(zip[at + i]);
    return true;
}

bool Unpacked(const QByteArray& packed, quint32 method, quint32 size, QByteArray* content)
{
    if (method == kStored) {
        *content = packed;
        return quint32(packed.size()) == size;
    }
    if (method != kDeflated)
        return false;
    content->resize(qsizetype(size));
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(content->data());
    stream.avail_out = uInt(size);
    const int result = inflate(&stream, Z_FINISH);
    inflateEnd(&stream);
    return result == Z_STREAM_END && stream.total_out == size;
}

// True when `xml` ends where its root element does.
bool EndsWhole(const QByteArray& xml)
{
    static const QRegularExpression root(QStringLiteral("<([A-Za-z_][^\\s/>]*)[^>]*>"));
    const QString text = QString::fromUtf8(xml).trimmed();
    const QRegularExpressionMatch start = root.match(text);
    if (!start.hasMatch())
        return false;
    const bool empty = start.capturedEnd() == text.size() && start.captured(0).endsWith("/>");
    return empty || text.endsWith("</" + start.captured(1) + ">");
}

} // namespace

bool WorkbookIsWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray zip = file.readAll();
    // The library writes no archive comment: the end record closes the file.
    const qsizetype end = zip.size() - kEndRecordSize;
    quint32 signature = 0, entries = 0, directory = 0;
    if (!Number(zip, end, 4, &signature) || signature != kEndRecord ||
        !Number(zip, end + 10, 2, &entries) || !Number(zip, end + 16, 4, &directory))
        return false;
    qsizetype at = directory;
    for (quint32 i = 0; i < entries; ++i) {
        quint32 method = 0, packed = 0, size = 0, name = 0, extra = 0, comment = 0, local = 0,
                localName = 0, localExtra = 0;
        if (!Number(zip, at, 4, &signature) || signature != kDirectoryEntry ||
            !Number(zip, at + 10, 2, &method) || !Number(zip, at + 20, 4, &packed) ||
            !Number(zip, at + 24, 4, &size) || !Number(zip, at + 28, 2, &name) ||
            !Number(zip, at + 30, 2, &extra) || !Number(zip, at + 32, 2, &comment) ||
            !Number(zip, at + 42, 4, &local) || !Number(zip, local, 4, &signature) ||
            signature != kLocalHeader || !Number(zip, local + 26, 2, &localName) ||
            !Number(zip, local + 28, 2, &localExtra))
            return false;
        const QByteArray partName = zip.mid(at + kDirectoryEntrySize, name);
        const qsizetype data = qsizetype(local) + kLocalHeaderSize + localName + localExtra;
        QByteArray content;
        if (data + qsizetype(packed) > zip.size() ||
            !Unpacked(zip.mid(data, packed), method, size, &content))
            return false;
        if ((partName.endsWith(".xml") || partName.endsWith(".rels")) && !EndsWhole(content))
            return false;
        at += kDirectoryEntrySize + name + extra + comment;
    }
    return entries > 0;
}
