#include "card/paper_config.h"
#include "report/paper_set.h"

#include <gtest/gtest.h>

namespace {

TPaperSetModel Model(TUnitScale scale = {})
{
    return TPaperSetModel(scale, QLocale::c());
}

PaperSettings DefaultHead()
{
    PaperSettings paper;
    InitPaperSettings(paper);
    return paper;
}

PaperSettings Read(TPaperSetModel &model)
{
    PaperSettings paper;
    paper.Reserved[1] = 99;
    model.ReadPaper(paper);
    return paper;
}

TEST(PaperSet, StartsOnA5PortraitInMillimetres)
{
    TPaperSetModel model = Model();
    EXPECT_EQ(model.PaperIndex, 0);
    EXPECT_EQ(model.WidthText, "148.00");
    EXPECT_EQ(model.LengthText, "210.00");
    EXPECT_EQ(model.UnitIndex, 0);
    EXPECT_EQ(model.OrientationIndex, 0);
    EXPECT_FALSE(model.Updating);
}

TEST(PaperSet, TheDefaultHeadComesBackUnchanged)
{
    TPaperSetModel model = Model();
    model.LoadPaper(DefaultHead());
    EXPECT_EQ(model.PaperIndex, 0);
    EXPECT_EQ(model.WidthText, "210.00");
    EXPECT_EQ(model.LengthText, "148.00");
    EXPECT_EQ(model.OrientationIndex, 1);
    EXPECT_EQ(model.UnitIndex, 0);

    const PaperSettings read = Read(model);
    EXPECT_EQ(read.PaperIndex, 0);
    EXPECT_EQ(read.PaperWidth, 210.0);
    EXPECT_EQ(read.PaperLength, 148.0);
    EXPECT_EQ(read.Orientation, 1);
    EXPECT_EQ(read.UnitIndex, 0);
    EXPECT_EQ(read.CardWidth, 793);
    EXPECT_EQ(read.CardHeight, 559);
    EXPECT_EQ(read.Reserved[1], 0);
    for (double margin : read.Margins)
        EXPECT_EQ(margin, 0.0);
}

TEST(PaperSet, LetterPortraitIs816By1056BecauseTwoDecimalsComeFirst)
{
    TPaperSetModel model = Model();
    model.ListClick(1);
    EXPECT_EQ(model.WidthText, "215.90");
    EXPECT_EQ(model.LengthText, "279.40");
    const PaperSettings read = Read(model);
    EXPECT_EQ(read.CardWidth, 816);
    EXPECT_EQ(read.CardHeight, 1056);
}

TEST(PaperSet, LandscapeSwapsStandardPapersOnThePageAndCustomOnesInTheCardSize)
{
    TPaperSetModel a5 = Model();
    a5.OrientationIndex = 1;
    const PaperSettings a5Read = Read(a5);
    EXPECT_EQ(a5Read.PaperWidth, 210.0);
    EXPECT_EQ(a5Read.PaperLength, 148.0);

    TPaperSetModel card = Model();
    card.ListClick(6);
    EXPECT_EQ(card.WidthText, "148.50");
    card.OrientationIndex = 1;
    const PaperSettings read = Read(card);
    EXPECT_EQ(read.PaperWidth, 148.5);
    EXPECT_EQ(read.PaperLength, 210.0);
    EXPECT_EQ(read.CardWidth, 793);
    EXPECT_EQ(read.CardHeight, 561);
}

TEST(PaperSet, CustomSizeDriftsThroughTheTwoDecimalTextsStandardOnesDoNot)
{
    TPaperSetModel model = Model();
    model.ListClick(6);
    model.UnitsChange(1);
    EXPECT_EQ(model.WidthText, "5.85");
    model.UnitsChange(0);
    EXPECT_EQ(model.WidthText, "148.59");

    TPaperSetModel a5 = Model();
    a5.UnitsChange(1);
    EXPECT_EQ(a5.WidthText, "5.83");
    a5.UnitsChange(0);
    EXPECT_EQ(a5.WidthText, "148.00");
    a5.UnitsChange(2);
    EXPECT_EQ(a5.WidthText, "559.37");
    EXPECT_EQ(a5.LengthText, "793.70");
}

TEST(PaperSet, UnitChangeWhileUpdatingDoesNothing)
{
    TPaperSetModel model = Model();
    model.Updating = true;
    model.UnitsChange(1);
    EXPECT_EQ(model.WidthText, "148.00");
}

TEST(PaperSet, MyOwnPaperSizeAfterA5KeepsTheNumbers)
{
    TPaperSetModel model = Model();
    model.ListClick(10);
    EXPECT_TRUE(model.Page.IsCustom());
    EXPECT_EQ(model.WidthText, "148.00");
    const PaperSettings read = Read(model);
    EXPECT_EQ(read.CardWidth, 559);
    EXPECT_EQ(read.CardHeight, 793);
}

TEST(PaperSet, SizeBoxesFormatRefuseOver3000AndTakeOnlyDigitsAndTheSeparator)
{
    const TPaperSetModel model = Model();
    QString text = "3000";
    EXPECT_FALSE(model.LeaveBox(text, "12.00"));
    EXPECT_EQ(text, "3000.00");
    text = "3000.01";
    EXPECT_EQ(model.LeaveBox(text, "12.00"), QString("the value is too big!"));
    EXPECT_EQ(text, "12.00");
    text = "";
    EXPECT_FALSE(model.LeaveBox(text, "12.00"));
    EXPECT_EQ(text, "");
    text = "1.2.3";
    EXPECT_THROW(model.LeaveBox(text, "12.00"), EPaperError);
    EXPECT_EQ(text, "1.2.3");
    text = "7.005";
    model.LeaveBox(text, "");
    EXPECT_EQ(text.size(), 4);  // two decimals

    EXPECT_TRUE(model.AcceptsKey('7'));
    EXPECT_TRUE(model.AcceptsKey('.'));
    EXPECT_TRUE(model.AcceptsKey(QChar(8)));
    EXPECT_FALSE(model.AcceptsKey('a'));
    EXPECT_FALSE(model.AcceptsKey(','));
    EXPECT_FALSE(model.AcceptsKey(QChar(0x0663)));  // an Arabic-Indic three
}

TEST(PaperSet, NumbersFollowTheLocalesDecimalSeparator)
{
    TPaperSetModel german(TUnitScale{}, QLocale(QLocale::German, QLocale::Germany));
    german.ListClick(6);
    EXPECT_EQ(german.WidthText, "148,50");
    EXPECT_EQ(german.Format(1234.5), "1234,50");  // no thousands separator
    EXPECT_TRUE(german.AcceptsKey(','));
    EXPECT_FALSE(german.AcceptsKey('.'));
    EXPECT_DOUBLE_EQ(german.Parse("148,5"), 148.5);
}

TEST(PaperSet, AnEmptyCustomBoxIsAnErrorWhenThePageReadsIt)
{
    TPaperSetModel model = Model();
    model.ListClick(10);
    model.WidthText.clear();
    PaperSettings paper;
    EXPECT_THROW(model.ReadPaper(paper), EPaperError);
}

TEST(PaperSet, OkRefusesCardSizesTheCanvasCannotCompose)
{
    TPaperSetModel model = Model();
    model.LoadPaper([] {
        PaperSettings p = DefaultHead();
        p.PaperIndex = 10;
        p.Orientation = 0;
        p.UnitIndex = 1;   // 3000 inches passes the box limit
        p.PaperWidth = 3000;
        p.PaperLength = 5;
        return p;
    }());
    EXPECT_EQ(model.CheckCardSize(), QString("the value is too big!"));
    EXPECT_EQ(model.WidthText, "3000.00");  // the check leaves the dialog alone
    model.WidthText = "0";
    EXPECT_EQ(model.CheckCardSize(), QString("the value is too small!"));
    model.WidthText = "5";
    EXPECT_FALSE(model.CheckCardSize().has_value());

    // The largest card the canvas composes is MaxCardSide pixels a side.
    model.UnitsChange(2);
    model.WidthText = model.Format(MaxCardSide + 0.99);
    EXPECT_FALSE(model.CheckCardSize().has_value());
    model.WidthText = model.Format(MaxCardSide + 1);
    EXPECT_EQ(model.CheckCardSize(), QString("the value is too big!"));

    // Both sides within the limit, but more pixels than a card's rendering
    // the program can read back for a JPEG export.
    model.WidthText = model.Format(20000);
    model.LengthText = model.Format(13500);
    const std::optional<QString> refusal = model.CheckCardSize();
    ASSERT_TRUE(refusal.has_value());
    EXPECT_TRUE(refusal->startsWith("the value is too big!")) << refusal->toStdString();
    EXPECT_TRUE(refusal->contains("20000 x 13500")) << refusal->toStdString();
}

TEST(PaperSet, OutOfRangeStoredIndicesFallBackToEntryZeroMillimetresAndPortrait)
{
    PaperSettings paper = DefaultHead();
    paper.PaperIndex = 42;
    paper.UnitIndex = -3;
    paper.Orientation = 7;
    TPaperSetModel model = Model();
    model.LoadPaper(paper);
    EXPECT_EQ(model.PaperIndex, 0);
    EXPECT_EQ(model.UnitIndex, 0);
    EXPECT_EQ(model.OrientationIndex, 0);
    const PaperSettings read = Read(model);
    EXPECT_EQ(read.CardWidth, 559);
    EXPECT_EQ(read.CardHeight, 793);
}

TEST(PaperSet, A5LandscapeAt120PixelsPerInch)
{
    TPaperSetModel model = Model(TUnitScale{120, 100, 10});
    model.LoadPaper(DefaultHead());
    const PaperSettings read = Read(model);
    EXPECT_EQ(read.CardWidth, 992);
    EXPECT_EQ(read.CardHeight, 699);
}

struct SizeRow {
    int Entry;
    int PortraitWidth, PortraitHeight, LandscapeWidth, LandscapeHeight;
};

TEST(PaperSet, EveryEntryGivesItsCardPixelSize)
{
    const SizeRow rows[] = {
        {0, 559, 793, 793, 559},  {4, 559, 793, 793, 559},   {1, 816, 1056, 1056, 816},
        {2, 816, 1344, 1344, 816}, {3, 720, 960, 960, 720},  {5, 687, 971, 971, 687},
        {6, 561, 793, 793, 561},  {7, 559, 755, 755, 559},   {8, 672, 960, 960, 672},
        {9, 576, 768, 768, 576},
    };
    for (const SizeRow &row : rows) {
        for (int orientation : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "entry " << row.Entry << " orientation " << orientation);
            TPaperSetModel model = Model();
            model.ListClick(row.Entry);
            model.OrientationIndex = orientation;
            const PaperSettings read = Read(model);
            EXPECT_EQ(read.CardWidth, orientation ? row.LandscapeWidth : row.PortraitWidth);
            EXPECT_EQ(read.CardHeight, orientation ? row.LandscapeHeight : row.PortraitHeight);
            // What was read loads back to the same card.
            TPaperSetModel again = Model();
            again.LoadPaper(read);
            const PaperSettings reread = Read(again);
            EXPECT_EQ(reread.CardWidth, read.CardWidth);
            EXPECT_EQ(reread.CardHeight, read.CardHeight);
        }
    }
}

} // namespace
