#include "card/card_compose.h"
#include "card/card_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList ShippedTemplates()
{
    return QDir(TESSALY_OUTPUT_DIR "/Template").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

TEST(ShippedTemplates, EachIsACompleteCardFolderWithAPreview)
{
    const QStringList names = ShippedTemplates();
    ASSERT_GE(names.size(), 2) << "the build draws the templates into bin/Template";
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = QStringLiteral(TESSALY_OUTPUT_DIR "/Template/") + name + "/";
        EXPECT_TRUE(QFileInfo::exists(folder + "template.bmp"));
        EXPECT_EQ(QFileInfo(folder + "Card.crd").size(), 1496);
        EXPECT_FALSE(QImage(folder + "preview.jpg").isNull());
        const CardLayout layout = ReadCardFile(folder + "Card.crd", FreshLayout());
        EXPECT_EQ(layout.BackgroundFile.Text(), "template.bmp");
        for (int n = 0; n < 5; ++n) {
            if (layout.Texts[n].Used == 0)
                continue;
            QFile rtf(folder + QString::number(n) + ".rtf");
            ASSERT_TRUE(rtf.open(QIODevice::ReadOnly)) << n;
            EXPECT_TRUE(rtf.readAll().startsWith("{\\rtf1"));
        }
    }
}

// The picture slot must cover its whole window, or white shows round the
// picture: composed with a plain green picture, every window pixel is green.
TEST(ShippedTemplates, PicturesFillTheirWindowsExactly)
{
    for (const QString &name : ShippedTemplates()) {
        SCOPED_TRACE(name.toStdString());
        const QString folder = QStringLiteral(TESSALY_OUTPUT_DIR "/Template/") + name + "/";
        const CardLayout layout = ReadCardFile(folder + "Card.crd", FreshLayout());
        ASSERT_EQ(ComposeCard(layout, folder).size(), QSize(layout.Paper.CardWidth, layout.Paper.CardHeight));
        if (layout.Pictures[0].Used == 0)
            continue;
        QTemporaryDir plain;
        ASSERT_TRUE(QFile::copy(folder + "template.bmp", plain.filePath("template.bmp")));
        QImage green(64, 64, QImage::Format_RGB32);
        green.fill(qRgb(0, 160, 0));
        ASSERT_TRUE(green.save(plain.filePath(layout.Pictures[0].FileName.Text()), "BMP"));
        const QImage card = ComposeCard(layout, plain.path() + "/");
        const QImage background = LoadCardPicture(folder + "template.bmp").convertToFormat(QImage::Format_RGB32);
        const QRgb key = qRgb(layout.TransparentColour & 0xFF, (layout.TransparentColour >> 8) & 0xFF,
                              (layout.TransparentColour >> 16) & 0xFF);
        int windowPixels = 0;
        for (int y = 0; y < card.height(); ++y)
            for (int x = 0; x < card.width(); ++x) {
                if (background.pixel(x, y) != key)
                    continue;
                ++windowPixels;
                ASSERT_EQ(card.pixel(x, y), qRgb(0, 160, 0)) << x << "," << y;
            }
        EXPECT_GT(windowPixels, 10000);
    }
}

} // namespace
