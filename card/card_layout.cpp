#include "card/card_layout.h"

#include "card/paper_config.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

// Windows-1252 bytes 0x80..0x9F; the five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows does.
constexpr char16_t HighControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool EncodeChar(char16_t c, uint8_t &out)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out = uint8_t(c);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (HighControlRange[i] == c) {
            out = uint8_t(0x80 + i);
            return true;
        }
    }
    return false;
}

// Field-by-field little-endian writer and reader over the record's bytes.
class Writer {
public:
    explicit Writer(CardLayoutBytes &bytes) : m_bytes(bytes) {}
    void I32(int32_t value)
    {
        const uint32_t v = uint32_t(value);
        for (int i = 0; i < 4; ++i)
            m_bytes[m_pos++] = uint8_t(v >> (8 * i));
    }
    void F64(double value)
    {
        const uint64_t v = std::bit_cast<uint64_t>(value);
        for (int i = 0; i < 8; ++i)
            m_bytes[m_pos++] = uint8_t(v >> (8 * i));
    }
    void Raw(const uint8_t *data, std::size_t size)
    {
        std::memcpy(m_bytes.data() + m_pos, data, size);
        m_pos += size;
    }
    void Rect(const SlotRect &r)
    {
        I32(r.Left);
        I32(r.Top);
        I32(r.Right);
        I32(r.Bottom);
    }
    std::size_t Position() const { return m_pos; }

private:
    CardLayoutBytes &m_bytes;
    std::size_t m_pos = 0;
};

class Reader {
public:
    explicit Reader(const CardLayoutBytes &bytes) : m_bytes(bytes) {}
    int32_t I32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= uint32_t(m_bytes[m_pos++]) << (8 * i);
        return int32_t(v);
    }
    double F64()
    {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= uint64_t(m_bytes[m_pos++]) << (8 * i);
        return std::bit_cast<double>(v);
    }
    void Raw(uint8_t *data, std::size_t size)
    {
        std::memcpy(data, m_bytes.data() + m_pos, size);
        m_pos += size;
    }
    SlotRect Rect()
    {
        SlotRect r;
        r.Left = I32();
        r.Top = I32();
        r.Right = I32();
        r.Bottom = I32();
        return r;
    }
    std::size_t Position() const { return m_pos; }

private:
    const CardLayoutBytes &m_bytes;
    std::size_t m_pos = 0;
};

} // namespace

QString DecodeWindows1252(const uint8_t *data, int length)
{
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i) {
        const uint8_t b = data[i];
        text.append(QChar(b >= 0x80 && b < 0xA0 ? HighControlRange[b - 0x80] : char16_t(b)));
    }
    return text;
}

QByteArray EncodeWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        uint8_t b = 0;
        if (!EncodeChar(text.at(i).unicode(), b)) {
            const QString character = text.at(i).isHighSurrogate() && i + 1 < text.size()
                                          ? text.mid(i, 2)
                                          : QString(text.at(i));
            throw ECardError(QStringLiteral("The name \"%1\" contains the character \"%2\", which a "
                                            "card file cannot store. Please use another name.")
                                 .arg(text, character));
        }
        bytes.append(char(b));
    }
    return bytes;
}

template <std::size_t Size>
QString ShortString<Size>::Text() const
{
    return DecodeWindows1252(Bytes + 1, Length());
}

template <std::size_t Size>
void ShortString<Size>::SetText(const QString &text)
{
    const QByteArray encoded = EncodeWindows1252(text);
    const int length = int(std::min<qsizetype>(encoded.size(), Capacity));
    Bytes[0] = uint8_t(length);
    std::memcpy(Bytes + 1, encoded.constData(), std::size_t(length));
}

template struct ShortString<81>;
template struct ShortString<139>;

CardLayout FreshLayout()
{
    CardLayout layout;  // every member zero-initialised
    InitPaperSettings(layout.Paper);
    return layout;
}

CardLayoutBytes LayoutToBytes(const CardLayout &layout)
{
    CardLayoutBytes bytes{};
    Writer w(bytes);
    const PaperSettings &p = layout.Paper;
    w.I32(p.PaperIndex);
    w.Raw(p.Padding0, sizeof p.Padding0);
    w.F64(p.PaperWidth);
    w.F64(p.PaperLength);
    w.I32(p.Orientation);
    w.Raw(p.Padding1, sizeof p.Padding1);
    for (double margin : p.Margins)
        w.F64(margin);
    w.I32(p.UnitIndex);
    w.I32(p.CardWidth);
    w.I32(p.CardHeight);
    for (int32_t reserved : p.Reserved)
        w.I32(reserved);
    w.Raw(p.Padding2, sizeof p.Padding2);

    w.I32(layout.TransparentColour);
    w.Raw(layout.BackgroundFile.Bytes, sizeof layout.BackgroundFile.Bytes);
    w.Raw(layout.Reserved, sizeof layout.Reserved);
    for (const PictureSlot &slot : layout.Pictures) {
        w.Raw(&slot.Used, 1);
        w.Rect(slot.Rect);
        w.Raw(slot.FileName.Bytes, sizeof slot.FileName.Bytes);
    }
    for (const TextSlot &slot : layout.Texts) {
        w.Raw(&slot.Used, 1);
        w.Rect(slot.Rect);
        w.Raw(slot.FileName.Bytes, sizeof slot.FileName.Bytes);
        w.Raw(slot.Reserved, sizeof slot.Reserved);
    }
    w.Raw(layout.Padding, sizeof layout.Padding);
    Q_ASSERT(w.Position() == CardLayoutSize);
    return bytes;
}

CardLayout LayoutFromBytes(const uint8_t *data, std::size_t size, const CardLayout &base)
{
    CardLayoutBytes bytes = LayoutToBytes(base);
    std::memcpy(bytes.data(), data, std::min(size, CardLayoutSize));

    CardLayout layout;
    Reader r(bytes);
    PaperSettings &p = layout.Paper;
    p.PaperIndex = r.I32();
    r.Raw(p.Padding0, sizeof p.Padding0);
    p.PaperWidth = r.F64();
    p.PaperLength = r.F64();
    p.Orientation = r.I32();
    r.Raw(p.Padding1, sizeof p.Padding1);
    for (double &margin : p.Margins)
        margin = r.F64();
    p.UnitIndex = r.I32();
    p.CardWidth = r.I32();
    p.CardHeight = r.I32();
    for (int32_t &reserved : p.Reserved)
        reserved = r.I32();
    r.Raw(p.Padding2, sizeof p.Padding2);

    layout.TransparentColour = r.I32();
    r.Raw(layout.BackgroundFile.Bytes, sizeof layout.BackgroundFile.Bytes);
    r.Raw(layout.Reserved, sizeof layout.Reserved);
    for (PictureSlot &slot : layout.Pictures) {
        r.Raw(&slot.Used, 1);
        slot.Rect = r.Rect();
        r.Raw(slot.FileName.Bytes, sizeof slot.FileName.Bytes);
    }
    for (TextSlot &slot : layout.Texts) {
        r.Raw(&slot.Used, 1);
        slot.Rect = r.Rect();
        r.Raw(slot.FileName.Bytes, sizeof slot.FileName.Bytes);
        r.Raw(slot.Reserved, sizeof slot.Reserved);
    }
    r.Raw(layout.Padding, sizeof layout.Padding);
    Q_ASSERT(r.Position() == CardLayoutSize);
    return layout;
}
