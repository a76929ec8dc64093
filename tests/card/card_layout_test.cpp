#include "card/card_file.h"
#include "card/card_geometry.h"
#include "card/card_layout.h"
#include "imaging/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>

namespace {

CardLayoutBytes PatternBytes()
{
    CardLayoutBytes bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 7 + 3);
    return bytes;
}

TEST(CardLayout, EveryByteSurvivesReadAndWriteIncludingReservedAndPadding)
{
    const CardLayoutBytes original = PatternBytes();
    const CardLayout layout = LayoutFromBytes(original.data(), original.size(), FreshLayout());
    EXPECT_EQ(LayoutToBytes(layout), original);

    // Fields land where the file puts them, little-endian whatever the host.
    CardLayout known = FreshLayout();
    known.Paper.CardWidth = 0x01020304;
    known.Pictures[1].Rect.Bottom = -2;
    known.Texts[4].Used = 7;
    const CardLayoutBytes bytes = LayoutToBytes(known);
    EXPECT_EQ(bytes[68], 0x04);
    EXPECT_EQ(bytes[71], 0x01);
    EXPECT_EQ(bytes[340 + 13], 0xFE);
    EXPECT_EQ(bytes[340 + 16], 0xFF);
    EXPECT_EQ(bytes[496 + 4 * 199], 7);
    double width = 0;
    std::memcpy(&width, bytes.data() + 8, 8);
    EXPECT_EQ(width, 210.0);
}

TEST(CardLayout, FreshLayoutHasTheDefaultPaperAndNothingElse)
{
    const CardLayout layout = FreshLayout();
    EXPECT_EQ(layout.Paper.CardWidth, 793);
    EXPECT_EQ(layout.Paper.CardHeight, 559);
    EXPECT_EQ(layout.Paper.Orientation, 1);
    EXPECT_EQ(layout.Paper.PaperWidth, 210.0);
    EXPECT_EQ(layout.Paper.PaperLength, 148.0);
    const CardLayoutBytes bytes = LayoutToBytes(layout);
    for (std::size_t i = 96; i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
}

TEST(CardLayout, ShortStringsUseWindows1252AndKeepTheBytesAfterTheName)
{
    ShortString<81> name;
    std::memset(name.Bytes, 0xAA, sizeof name.Bytes);
    name.SetText(QStringLiteral("Café €5"));
    EXPECT_EQ(name.Bytes[0], 7);
    EXPECT_EQ(name.Bytes[4], 0xE9);
    EXPECT_EQ(name.Bytes[6], 0x80);
    EXPECT_EQ(name.Bytes[8], 0xAA);  // beyond the name: untouched
    EXPECT_EQ(name.Text(), QStringLiteral("Café €5"));

    name.SetText(QString(100, QLatin1Char('x')));
    EXPECT_EQ(name.Bytes[0], 80);
    EXPECT_EQ(name.Text().size(), 80);

    EXPECT_THROW(name.SetText(QStringLiteral("Ελένη")), ECardError);
    EXPECT_EQ(name.Bytes[0], 80);  // a refused name changes nothing

    name.Bytes[0] = 255;  // a damaged length byte cannot read past the field
    EXPECT_EQ(name.Text().size(), 80);
}

TEST(CardLayout, ShortAndLongCardFilesLoadFromTheirFirstBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Card.crd");
    CardLayout saved = FreshLayout();
    saved.Paper.CardWidth = 400;
    saved.Texts[2].Used = 1;
    WriteCardFile(path, saved);
    EXPECT_EQ(QFileInfo(path).size(), 1496);

    // Longer: the tail is ignored.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(QByteArray(100, 'z'));
    }
    EXPECT_EQ(LayoutToBytes(ReadCardFile(path, FreshLayout())), LayoutToBytes(saved));

    // Shorter: the missing bytes come from the base layout.
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const CardLayoutBytes bytes = LayoutToBytes(saved);
        file.write(reinterpret_cast<const char *>(bytes.data()), 100);
    }
    CardLayout base = FreshLayout();
    base.Texts[2].Used = 0;
    const CardLayout loaded = ReadCardFile(path, base);
    EXPECT_EQ(loaded.Paper.CardWidth, 400);
    EXPECT_EQ(loaded.Texts[2].Used, 0);
}

TEST(CardLayout, WriteFailureLeavesTheOldFileAndSaysWhy)
{
    QTemporaryDir dir;
    EXPECT_THROW(WriteCardFile(dir.filePath("missing/Card.crd"), FreshLayout()), EFCreateError);
    EXPECT_THROW(ReadCardFile(dir.filePath("none.crd"), FreshLayout()), ECardError);
}

TEST(CardGeometry, StoredExtremesNeitherOverflowNorProduceNegativeSizes)
{
    const SlotRect huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    EXPECT_EQ(SlotWidth(huge), int64_t(UINT32_MAX));
    const QRect control = SlotToControlRect(huge, QPoint(10, 10));
    EXPECT_GE(control.width(), 0);
    EXPECT_LE(control.right(), (1 << 24));

    const SlotRect inverted{50, 50, 10, 10};
    EXPECT_EQ(SlotToControlRect(inverted, {}).size(), QSize(0, 0));
    EXPECT_TRUE(VisiblePartOfSlot(inverted, {100, 100}, {10, 10}).IsEmpty());

    const SlotRect partly{-50, 0, 50, 100};
    const VisibleSlot part = VisiblePartOfSlot(partly, {100, 100}, {10, 10});
    EXPECT_EQ(part.Target, QRectF(0, 0, 50, 100));
    EXPECT_EQ(part.Source, QRectF(5, 0, 5, 10));

    const SlotRect back = ControlToSlotRect(QRect(30, 40, 20, 10), QPoint(5, 5));
    EXPECT_EQ(back.Left, 25);
    EXPECT_EQ(back.Right, 45);
    EXPECT_EQ(back.Bottom, 45);

    EXPECT_NO_THROW(CheckCardSize(793, 559));
    EXPECT_THROW(CheckCardSize(0, 559), ECardError);
    EXPECT_THROW(CheckCardSize(793, -1), ECardError);
    EXPECT_THROW(CheckCardSize(20001, 10), ECardError);
}

} // namespace
