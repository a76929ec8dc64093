// Printer offsets kept per printer in the user's settings, and the
// calibration sheet from which a person reads them.
#include "report/calibration_sheet.h"
#include "report/printer_calibration.h"

#include "card/card_layout.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

TLength Mm(double mm) { return TLength::FromMm(mm); }
TPageSize SizeMm(double width, double height) { return {Mm(width), Mm(height)}; }

class PrinterCalibrationSettings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QSettings Settings() const { return QSettings(folder.filePath(QStringLiteral("tessaly.ini")), QSettings::IniFormat); }
    QTemporaryDir folder;
};

TEST_F(PrinterCalibrationSettings, EachPrinterKeepsItsOwnOffsetsToTheTenth)
{
    const TPrinterCalibration office{{Mm(1.5), Mm(-0.7)}, {Mm(-2.0), Mm(0.3)}};
    const TPrinterCalibration home{{Mm(0.0), Mm(4.2)}, {}};
    {
        QSettings settings = Settings();
        WritePrinterCalibration(settings, QStringLiteral("Office/Laser \\2nd floor"), office);
        WritePrinterCalibration(settings, QStringLiteral("Home Inkjet"), home);
    }
    // Read back by a later run of the program.
    const QSettings settings = Settings();
    EXPECT_EQ(ReadPrinterCalibration(settings, QStringLiteral("Office/Laser \\2nd floor")), office);
    EXPECT_EQ(ReadPrinterCalibration(settings, QStringLiteral("Home Inkjet")), home);
    EXPECT_TRUE(ReadPrinterCalibration(settings, QStringLiteral("Office")).IsZero());
    EXPECT_TRUE(ReadPrinterCalibration(settings, QStringLiteral("home inkjet")).IsZero());
    EXPECT_TRUE(ReadPrinterCalibration(settings, QString()).IsZero());
}

TEST_F(PrinterCalibrationSettings, OffsetsAreKeptInWholeTenthsAndAZeroCalibrationLeavesNoEntry)
{
    QSettings settings = Settings();
    WritePrinterCalibration(settings, QStringLiteral("P"), {{Mm(1.26), Mm(-1.24)}, {}});
    EXPECT_EQ(ReadPrinterCalibration(settings, QStringLiteral("P")).Front,
              (TPageOffset{TLength::FromTenthsMm(13), TLength::FromTenthsMm(-12)}));
    WritePrinterCalibration(settings, QStringLiteral("P"), {});
    EXPECT_TRUE(ReadPrinterCalibration(settings, QStringLiteral("P")).IsZero());
    settings.beginGroup(QStringLiteral("PrinterCalibration"));
    EXPECT_TRUE(settings.allKeys().isEmpty());
    settings.endGroup();
}

TEST_F(PrinterCalibrationSettings, AnOffsetLargerThanAnyPrintersIsRefusedAndNothingIsKept)
{
    QSettings settings = Settings();
    WritePrinterCalibration(settings, QStringLiteral("P"), {{Mm(1.0), Mm(1.0)}, {}});
    for (const TPageOffset bad : {TPageOffset{Mm(20.1), Mm(0)}, TPageOffset{Mm(0), Mm(-25)},
                                  TPageOffset{TLength::FromTenthsMm(std::nan("")), Mm(0)}}) {
        EXPECT_FALSE(PrinterOffsetProblem(bad).isEmpty());
        EXPECT_THROW(WritePrinterCalibration(settings, QStringLiteral("P"), {{}, bad}), ECardError);
    }
    EXPECT_TRUE(PrinterOffsetProblem({Mm(-20), Mm(20)}).isEmpty());
    EXPECT_EQ(ReadPrinterCalibration(settings, QStringLiteral("P")).Front, (TPageOffset{Mm(1.0), Mm(1.0)}));
}

TEST_F(PrinterCalibrationSettings, ADamagedEntryCountsAsZero)
{
    QSettings settings = Settings();
    const QString group = QStringLiteral("PrinterCalibration/") + PrinterSettingsKey(QStringLiteral("P"));
    settings.setValue(group + QStringLiteral("/FrontX"), QStringLiteral("12abc"));
    settings.setValue(group + QStringLiteral("/FrontY"), 99999);
    settings.setValue(group + QStringLiteral("/BackX"), QStringLiteral("1.5"));
    settings.setValue(group + QStringLiteral("/BackY"), -35);
    const TPrinterCalibration read = ReadPrinterCalibration(settings, QStringLiteral("P"));
    EXPECT_EQ(read.Front, TPageOffset{});
    EXPECT_EQ(read.Back, (TPageOffset{TLength(), TLength::FromTenthsMm(-35)}));
}

TEST(PrinterCalibration, FrontsAndBacksMoveByTheirOwnOffsets)
{
    TImpositionRequest request;
    request.Fold = TFoldKind::FlatTwoSided;
    request.Face = SizeMm(100, 70);
    request.Paper = SizeMm(210, 297);
    const TImposition plain = Impose(request);
    const TPrinterCalibration calibration{{Mm(1), Mm(2)}, {Mm(-3), Mm(4)}};
    const TImposition moved = Calibrated(plain, calibration);
    ASSERT_EQ(moved.Pages.size(), 2u);
    EXPECT_EQ(moved.Pages[0].Placements[0].Origin.X, plain.Pages[0].Placements[0].Origin.X + Mm(1));
    EXPECT_EQ(moved.Pages[1].Placements[0].Origin.X, plain.Pages[1].Placements[0].Origin.X - Mm(3));
    EXPECT_EQ(moved.Pages[1].Trim.Top, plain.Pages[1].Trim.Top + Mm(4));
    EXPECT_EQ(Calibrated(plain, {}).Pages[1].Placements, plain.Pages[1].Placements);
}

TEST(CalibrationSheet, RulersCrossTheMiddleLinesWithTheirZeroOnThem)
{
    const TCalibrationSheet sheet = CalibrationSheet(SizeMm(210, 297), TSheetSide::Front);
    ASSERT_EQ(sheet.Rulers.size(), 4u);
    int across = 0;
    for (const TCalibrationRuler &ruler : sheet.Rulers) {
        const bool isAcross = ruler.Axis == TRulerAxis::Across;
        across += isAcross;
        EXPECT_EQ(isAcross ? ruler.Zero.X : ruler.Zero.Y, isAcross ? Mm(105) : Mm(148.5));
        ASSERT_EQ(ruler.Ticks.size(), 41u);  // -10 to +10 mm in halves
        QStringList labels;
        for (const TRulerTick &tick : ruler.Ticks) {
            const TPagePoint foot = tick.Line.From;
            EXPECT_EQ(isAcross ? foot.X : foot.Y, (isAcross ? ruler.Zero.X : ruler.Zero.Y) + tick.Offset);
            EXPECT_TRUE(foot.X > TLength() && foot.X < sheet.Size.Width && foot.Y > TLength()
                        && foot.Y < sheet.Size.Height);
            if (!tick.Label.isEmpty())
                labels << tick.Label;
        }
        EXPECT_EQ(labels, (QStringList{"-10", "-5", "0", "+5", "+10"}));
    }
    EXPECT_EQ(across, 2);
    EXPECT_FALSE(sheet.Texts.empty());
    EXPECT_NE(CalibrationSheet(SizeMm(210, 297), TSheetSide::Back).Texts[0].Text, sheet.Texts[0].Text);
    EXPECT_THROW(CalibrationSheet(SizeMm(50, 297), TSheetSide::Front), ECardError);
}

// A printer that puts everything 1.5 mm right and 1 mm up: the fold
// across the sheet's true middle meets the ruler at the number that, typed
// as the offset, brings the page back.
TEST(CalibrationSheet, TheNumberReadAtTheFoldIsTheOffsetThatCorrectsThePrinter)
{
    const TPageSize paper = SizeMm(210, 297);
    const TLength errorX = Mm(1.5);
    const TLength errorY = Mm(-1.0);
    const TCalibrationSheet sheet = CalibrationSheet(paper, TSheetSide::Front);
    TPageOffset typed;
    for (const TCalibrationRuler &ruler : sheet.Rulers) {
        const bool isAcross = ruler.Axis == TRulerAxis::Across;
        const TLength fold = isAcross ? paper.Width * 0.5 : paper.Height * 0.5;
        const TLength error = isAcross ? errorX : errorY;
        // The tick that came out on the fold.
        const TRulerTick *read = nullptr;
        for (const TRulerTick &tick : ruler.Ticks) {
            const TLength printedAt = (isAcross ? tick.Line.From.X : tick.Line.From.Y) + error;
            if (std::abs((printedAt - fold).TenthsMm()) < 0.01)
                read = &tick;
        }
        ASSERT_NE(read, nullptr);
        (isAcross ? typed.X : typed.Y) = read->Offset;
    }
    EXPECT_EQ(typed.X + errorX, TLength());
    EXPECT_EQ(typed.Y + errorY, TLength());
}

} // namespace
