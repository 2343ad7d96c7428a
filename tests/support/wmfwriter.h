#pragma once

// A Windows metafile written record by record, for test pictures and fuzz seeds made by our own
// code. Header-only (Qt Core and Gui), so that programs outside the test support library can use it.

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRgb>

#include <algorithm>

namespace wmfwriter {

inline void putWord(QByteArray &out, int value)
{
    out.append(static_cast<char>(value & 0xff));
    out.append(static_cast<char>((value >> 8) & 0xff));
}

inline void putDword(QByteArray &out, quint32 value)
{
    putWord(out, static_cast<int>(value & 0xffff));
    putWord(out, static_cast<int>(value >> 16));
}

} // namespace wmfwriter

/// Colours are given as QRgb and stored as the file's COLORREF (0x00BBGGRR). Objects are never
/// deleted: each pen or brush takes the next free slot of the object table.
class WmfWriter
{
public:
    /// One record: its parameter words, then raw bytes.
    WmfWriter &record(int function, const QList<int> &params, const QByteArray &tail = {})
    {
        QByteArray body;
        for (int p : params)
            wmfwriter::putWord(body, p);
        body += tail;
        if (body.size() % 2)
            body.append('\0');
        QByteArray r;
        wmfwriter::putDword(r, static_cast<quint32>(3 + body.size() / 2));
        wmfwriter::putWord(r, function);
        m_records += r + body;
        m_largest = std::max(m_largest, 3 + static_cast<int>(body.size() / 2));
        return *this;
    }
    WmfWriter &window(int x, int y, int width, int height)
    {
        record(0x020B, {y, x});           // SETWINDOWORG
        return record(0x020C, {height, width});  // SETWINDOWEXT
    }
    /// A pen (style 0 solid, 5 none) created and selected.
    WmfWriter &pen(int width, QRgb colour, int style = 0)
    {
        const quint32 ref = colourRef(colour);
        record(0x02FA, {style, width, 0, int(ref & 0xffff), int(ref >> 16)});  // CREATEPENINDIRECT
        return record(0x012D, {m_objects++});                                   // SELECTOBJECT
    }
    /// A solid brush created and selected.
    WmfWriter &brush(QRgb colour)
    {
        const quint32 ref = colourRef(colour);
        record(0x02FC, {0, int(ref & 0xffff), int(ref >> 16), 0});  // CREATEBRUSHINDIRECT
        return record(0x012D, {m_objects++});
    }
    /// Fills without outlines: a null pen and a solid brush.
    WmfWriter &fill(QRgb colour) { return pen(0, qRgb(0, 0, 0), 5).brush(colour); }
    WmfWriter &rectangle(int left, int top, int right, int bottom)
    {
        return record(0x041B, {bottom, right, top, left});
    }
    WmfWriter &ellipse(int left, int top, int right, int bottom)
    {
        return record(0x0418, {bottom, right, top, left});
    }
    WmfWriter &polygon(const QList<QPoint> &points)
    {
        QList<int> params{static_cast<int>(points.size())};
        for (const QPoint &p : points)
            params << p.x() << p.y();
        return record(0x0324, params);
    }
    /// Room in the object table for objects that records select by hand.
    void reserveObjects(int count) { m_reserved = std::max(m_reserved, count); }

    /// The metafile without a placeable header.
    QByteArray plain() const
    {
        QByteArray out;
        QByteArray end;
        wmfwriter::putDword(end, 3);
        wmfwriter::putWord(end, 0);
        wmfwriter::putWord(out, 1);
        wmfwriter::putWord(out, 9);
        wmfwriter::putWord(out, 0x0300);
        wmfwriter::putDword(out, static_cast<quint32>((18 + m_records.size() + end.size()) / 2));
        wmfwriter::putWord(out, std::max(m_objects, m_reserved));
        wmfwriter::putDword(out, static_cast<quint32>(m_largest));
        wmfwriter::putWord(out, 0);
        return out + m_records + end;
    }
    /// The metafile behind a placeable header with the given bounds and units per inch.
    QByteArray placeable(int left, int top, int right, int bottom, int unitsPerInch) const
    {
        QByteArray head;
        wmfwriter::putDword(head, 0x9AC6CDD7u);
        wmfwriter::putWord(head, 0);
        for (int v : {left, top, right, bottom, unitsPerInch})
            wmfwriter::putWord(head, v);
        wmfwriter::putDword(head, 0);
        quint16 sum = 0;
        for (int i = 0; i < head.size(); i += 2)
            sum ^= static_cast<quint8>(head[i]) | (static_cast<quint8>(head[i + 1]) << 8);
        wmfwriter::putWord(head, sum);
        return head + plain();
    }

private:
    static quint32 colourRef(QRgb colour) { return qRed(colour) | (qGreen(colour) << 8) | (qBlue(colour) << 16); }

    QByteArray m_records;
    int m_largest = 3;
    int m_objects = 0;
    int m_reserved = 0;
};
