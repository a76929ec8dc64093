// A card's memory budget: its canvas, pictures and background together are
// checked before their memory is taken, so a few tiny run-length bitmaps
// claiming huge pictures are refused at once instead of taking gigabytes,
// and no card is larger than the program can render and export.
#include "card/card_compose.h"

#include "card/card_file.h"
#include "card/card_geometry.h"
#include "tests/support/card_fixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/resource.h>

namespace {

void Put32(QByteArray &out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((value >> shift) & 0xFF));
}

// An 8-bit run-length bitmap claiming `side` x `side` pixels whose data is
// only the end-of-bitmap mark: a few dozen bytes.
QByteArray ClaimingRleBmp(int side)
{
    QByteArray info;
    Put32(info, 40);
    Put32(info, uint32_t(side));
    Put32(info, uint32_t(side));
    info.append(char(1)).append(char(0)); // planes
    info.append(char(8)).append(char(0)); // bits per pixel
    Put32(info, 1);                       // BI_RLE8
    Put32(info, 2);
    Put32(info, 0);
    Put32(info, 0);
    Put32(info, 2);                       // colours used
    Put32(info, 0);
    const QByteArray palette("\xFF\xFF\xFF\x00\x00\x00\x00\x00", 8);
    const QByteArray data("\x00\x01", 2);
    QByteArray file("BM");
    Put32(file, uint32_t(14 + info.size() + palette.size() + data.size()));
    Put32(file, 0);
    Put32(file, uint32_t(14 + info.size() + palette.size()));
    return file + info + palette + data;
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

QString ErrorOf(const CardLayout &layout, const QString &folder)
{
    try {
        ComposeCard(layout, folder);
    } catch (const ECardError &error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

TEST(CardBudget, TinyRunLengthBitmapsClaimingHugePicturesAreRefusedBeforeTheirMemoryIsTaken)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    CardLayout layout = WriteFixtureCard(folder, {.Width = 6000, .Height = 6000, .PictureRect = {0, 0, 100, 100}});
    layout.Pictures[1] = layout.Pictures[0];
    layout.Pictures[1].FileName.SetText("second.bmp");
    const QByteArray claim = ClaimingRleBmp(16384);
    EXPECT_LT(claim.size(), 120);
    Write(folder + "picture.bmp", claim);
    Write(folder + "second.bmp", claim);
    QElapsedTimer clock;
    clock.start();
    QString error = ErrorOf(layout, folder);
    EXPECT_TRUE(error.contains(folder + "picture.bmp")) << error.toStdString();
    EXPECT_TRUE(error.contains("400 MB")) << error.toStdString();

    // A run-length template alone, on a card of ordinary size.
    layout = WriteFixtureCard(folder, {});
    Write(folder + "template.bmp", claim);
    error = ErrorOf(layout, folder);
    EXPECT_TRUE(error.contains(folder + "template.bmp")) << error.toStdString();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_LT(PeakMegabytes(), 400);

    // What fits the budget is still composed.
    Write(folder + "template.bmp", ClaimingRleBmp(2000));
    EXPECT_TRUE(ErrorOf(layout, folder).isEmpty());
}

TEST(CardBudget, NoCardIsLargerThanTheProgramRendersAndReadsBack)
{
    EXPECT_THROW(CheckCardSize(20000, 13500), ECardError);
    EXPECT_THROW(CheckCardSize(8000, 5001), ECardError);
    EXPECT_NO_THROW(CheckCardSize(8000, 5000));
    // Its canvas leaves room for pictures in the card's budget.
    EXPECT_LT(MaxCardPixelCount * 4, CardMemoryBudget / 2);
}

} // namespace
