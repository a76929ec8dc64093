// The templates the build draws into bin/Template: complete card folders that
// open, render and export, laid out for papers of the paper list, with their
// texts in fonts that are installed and inside their boxes.
#include "card/card_compose.h"
#include "card/card_file.h"
#include "card/card_open.h"
#include "card/card_render.h"
#include "dialogs/directory_copy.h"
#include "dialogs/template_preview.h"
#include "imaging/jpeg/image_convert.h"
#include "pictures/bmp_file.h"
#include "report/paper_set.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

const QString TemplateRoot = QStringLiteral(TESSALY_OUTPUT_DIR "/Template/");

QStringList ShippedTemplates()
{
    return QDir(TemplateRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

CardLayout LayoutOf(const QString &name)
{
    return ReadCardFile(TemplateRoot + name + "/Card.crd", FreshLayout());
}

TEST(ShippedTemplates, EightOccasionsOnAtLeastThreePapers)
{
    const QStringList names = ShippedTemplates();
    for (const char *name : {"Birthday", "Postcard", "Thank You", "Wedding Invitation", "New Baby",
                             "Season's Greetings", "Get Well Soon", "Congratulations"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << name;
    std::set<std::tuple<int, int, int>> papers;
    for (const QString &name : names) {
        const PaperSettings &paper = LayoutOf(name).Paper;
        papers.insert({paper.PaperIndex, paper.CardWidth, paper.CardHeight});
    }
    EXPECT_GE(papers.size(), 3u);
}

TEST(ShippedTemplates, EachIsACompleteCardFolderWithAPreviewOurReaderShows)
{
    const QStringList names = ShippedTemplates();
    ASSERT_GE(names.size(), 8) << "the build draws the templates into bin/Template";
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = TemplateRoot + name + "/";
        const CardLayout layout = LayoutOf(name);
        EXPECT_EQ(QFileInfo(folder + "Card.crd").size(), 1496);
        EXPECT_EQ(layout.BackgroundFile.Text(), "template.bmp");
        int texts = 0;
        for (const TextSlot &slot : layout.Texts)
            texts += slot.Used != 0;
        EXPECT_GE(texts, 2);
        EXPECT_LE(texts, 5);

        const TPreview preview = LoadPreview(folder + "preview.jpg");
        ASSERT_FALSE(preview.Image.isNull()) << preview.Error.toStdString();
        // The whole card, smaller: its proportions within a pixel.
        EXPECT_NEAR(double(preview.Image.width()) / preview.Image.height(),
                    double(layout.Paper.CardWidth) / layout.Paper.CardHeight, 0.01);
        EXPECT_LE(QFileInfo(folder + "preview.jpg").size(), 120 * 1024);
    }
}

// Paper Set and OK on a fresh card from a template must not rescale it: the
// stored head is exactly what the dialog gives for that paper.
TEST(ShippedTemplates, ThePaperHeadIsWhatThePaperSetDialogGivesBack)
{
    for (const QString &name : ShippedTemplates()) {
        SCOPED_TRACE(name.toStdString());
        const PaperSettings stored = LayoutOf(name).Paper;
        TPaperSetModel model;
        model.LoadPaper(stored);
        PaperSettings read = stored;
        model.ReadPaper(read);
        EXPECT_EQ(read.PaperIndex, stored.PaperIndex);
        EXPECT_DOUBLE_EQ(read.PaperWidth, stored.PaperWidth);
        EXPECT_DOUBLE_EQ(read.PaperLength, stored.PaperLength);
        EXPECT_EQ(read.Orientation, stored.Orientation);
        EXPECT_EQ(read.CardWidth, stored.CardWidth);
        EXPECT_EQ(read.CardHeight, stored.CardHeight);
    }
}

// The picture slot must cover its whole window, or white shows round the
// picture: composed with a plain green picture, every card pixel whose
// background pixels are all the key is green.
TEST(ShippedTemplates, EveryTemplateHasAPictureThatFillsItsWindowExactly)
{
    for (const QString &name : ShippedTemplates()) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = TemplateRoot + name + "/";
        const CardLayout layout = LayoutOf(name);
        ASSERT_NE(layout.Pictures[0].Used, 0);
        QTemporaryDir plain;
        ASSERT_TRUE(QFile::copy(folder + "template.bmp", plain.filePath("template.bmp")));
        QImage green(64, 64, QImage::Format_RGB32);
        green.fill(qRgb(0, 160, 0));
        ASSERT_TRUE(green.save(plain.filePath(layout.Pictures[0].FileName.Text()), "BMP"));
        const QImage card = ComposeCard(layout, plain.path() + "/");
        const QImage background = LoadCardPicture(folder + "template.bmp").convertToFormat(QImage::Format_RGB32);
        const int fine = background.width() / card.width();
        ASSERT_EQ(background.size(), card.size() * fine);
        const QRgb key = qRgb(layout.TransparentColour & 0xFF, (layout.TransparentColour >> 8) & 0xFF,
                              (layout.TransparentColour >> 16) & 0xFF);
        const auto inWindow = [&](int x, int y) {
            for (int dy = 0; dy < fine; ++dy)
                for (int dx = 0; dx < fine; ++dx)
                    if (background.pixel(x * fine + dx, y * fine + dy) != key)
                        return false;
            return true;
        };
        int windowPixels = 0;
        for (int y = 0; y < card.height(); ++y)
            for (int x = 0; x < card.width(); ++x) {
                if (!inWindow(x, y))
                    continue;
                ++windowPixels;
                ASSERT_EQ(card.pixel(x, y), qRgb(0, 160, 0)) << x << "," << y;
            }
        EXPECT_GT(windowPixels, 20000);
    }
}

// Backgrounds are drawn for print, at 288 pixels an inch of card, and the
// screen's 96-pixel card is that drawing averaged down: a key pixel of the
// window's inside stays the key, and the background's own pixels average to
// the canvas's outside the window.
TEST(ShippedTemplates, BackgroundsAreDrawnAtThreeTimesTheCardsPixels)
{
    for (const QString &name : ShippedTemplates()) {
        SCOPED_TRACE(name.toStdString());
        const CardLayout layout = LayoutOf(name);
        const QImage background = LoadCardPicture(TemplateRoot + name + "/template.bmp");
        EXPECT_EQ(background.size(), QSize(layout.Paper.CardWidth, layout.Paper.CardHeight) * 3);
    }
}

// A painted background, not a flat fill: gradients and ornaments give
// hundreds of colours where a plain fill with a few lines gives a few dozen.
TEST(ShippedTemplates, BackgroundsArePainted)
{
    for (const QString &name : ShippedTemplates()) {
        SCOPED_TRACE(name.toStdString());
        const QImage background =
            LoadCardPicture(TemplateRoot + name + "/template.bmp").convertToFormat(QImage::Format_RGB32);
        QSet<QRgb> colours;
        for (int y = 0; y < background.height(); y += 2)
            for (int x = 0; x < background.width(); x += 2)
                colours.insert(background.pixel(x, y));
        EXPECT_GT(colours.size(), 600);
    }
}

// Each text is drawn in the face it names (no silent fallback because a font
// package is missing) and whole: the same card with every box far taller
// renders the same picture, so no line is cut at a box's lower edge.
TEST(ShippedTemplates, TextsUseInstalledFontsAndFitTheirBoxes)
{
    for (const QString &name : ShippedTemplates()) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = TemplateRoot + name + "/";
        const CardLayout layout = LayoutOf(name);
        const TCardTexts texts(layout, folder);
        for (const TCardTextBox &box : texts.Boxes()) {
            for (QTextBlock block = box.Document->begin(); block.isValid(); block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    const QFont font = it.fragment().charFormat().font();
                    EXPECT_EQ(QFontInfo(font).family(), font.family()) << it.fragment().text().toStdString();
                }
            }
        }
        std::vector<TCardTextBox> tall = texts.Boxes();
        for (TCardTextBox &box : tall)
            box.Bounds.setHeight(box.Bounds.height() + 400);
        EXPECT_TRUE(RenderCardImage(layout, folder, texts.Boxes()) == RenderCardImage(layout, folder, tall));
    }
}

// What New gives the user: a copy of the template that opens, renders and
// exports as BMP and JPEG.
TEST(ShippedTemplates, EachOpensRendersAndExportsAsACard)
{
    for (const QString &name : ShippedTemplates()) {
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir dir;
        const QString card = dir.path() + "/MyCard/Card/";
        ASSERT_TRUE(CopyDirectory(TemplateRoot + name + "/", card));
        const TLoadedCard loaded = LoadCard(card + "template.bmp");
        const QSize size(loaded.Layout.Paper.CardWidth, loaded.Layout.Paper.CardHeight);
        EXPECT_EQ(loaded.Picture.size(), size);

        const QImage rendered = RenderCardFolder(card);
        ASSERT_EQ(rendered.size(), size);
        WritePictureBmp(rendered, dir.path() + "/Temp.bmp");
        const std::string jpeg = QFile::encodeName(dir.path() + "/card.jpg").toStdString();
        ASSERT_TRUE(ConvertBmpToJpeg(QFile::encodeName(dir.path() + "/Temp.bmp").toStdString(), jpeg, 9));
        const TPreview exported = LoadPreview(dir.path() + "/card.jpg");
        ASSERT_FALSE(exported.Image.isNull()) << exported.Error.toStdString();
        EXPECT_EQ(exported.Image.size(), size);
    }
}

} // namespace
