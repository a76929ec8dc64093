// The decoder against the public BMP Suite: every file's outcome, and the
// decoded pixels against the suite's reference pictures where it has one.

#include "bmp_builder.h"
#include "bmpsuite.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

// Bits per channel in the file. Channels narrower than 8 bits keep their
// low bits 0, so only their top bits are compared; wider ones are cut to
// their top 8 bits, which may differ by one from a rounded reference.
// 0: the file has no such channel (alpha), not compared.
struct Bits {
    int Red = 8, Green = 8, Blue = 8, Alpha = 0;
};

// Outcome: "" when the file decodes, else the message of the EBmpError.
// Reference: the picture in html/ the pixels must match. Pictures with
// pixels that no run-length code reaches compare with the "-b" reference,
// where they are black.
struct SuiteCase {
    const char *File;
    const char *Outcome;
    const char *Reference;
    Bits Channels;
};

const char *const TooLarge = "Image too large";

// clang-format off
const SuiteCase Cases[] = {
    // Good files: all decode to their reference.
    {"g/pal1.bmp",            "", "pal1.png", {}},
    {"g/pal1bg.bmp",          "", "pal1bg.png", {}},
    {"g/pal1wb.bmp",          "", "pal1.png", {}},
    {"g/pal4.bmp",            "", "pal4.png", {}},
    {"g/pal4gs.bmp",          "", "pal4gs.png", {}},
    {"g/pal4rle.bmp",         "", "pal4.png", {}},
    {"g/pal8-0.bmp",          "", "pal8.png", {}},
    {"g/pal8.bmp",            "", "pal8.png", {}},
    {"g/pal8gs.bmp",          "", "pal8gs.png", {}},
    {"g/pal8nonsquare.bmp",   "", "pal8nonsquare-e.png", {}},
    {"g/pal8os2.bmp",         "", "pal8.png", {}},
    {"g/pal8rle.bmp",         "", "pal8.png", {}},
    {"g/pal8topdown.bmp",     "", "pal8.png", {}},
    {"g/pal8v4.bmp",          "", "pal8.png", {}},
    {"g/pal8v5.bmp",          "", "pal8.png", {}},
    {"g/pal8w124.bmp",        "", "pal8w124.png", {}},
    {"g/pal8w125.bmp",        "", "pal8w125.png", {}},
    {"g/pal8w126.bmp",        "", "pal8w126.png", {}},
    {"g/rgb16-565.bmp",       "", "rgb16-565.png", {5, 6, 5}},
    {"g/rgb16-565pal.bmp",    "", "rgb16-565.png", {5, 6, 5}},
    {"g/rgb16.bmp",           "", "rgb16.png", {5, 5, 5}},
    {"g/rgb16bfdef.bmp",      "", "rgb16.png", {5, 5, 5}},
    {"g/rgb24.bmp",           "", "rgb24.png", {}},
    {"g/rgb24pal.bmp",        "", "rgb24.png", {}},
    {"g/rgb32.bmp",           "", "rgb24.png", {}},
    {"g/rgb32bf.bmp",         "", "rgb24.png", {}},
    {"g/rgb32bfdef.bmp",      "", "rgb24.png", {}},

    // Questionable files.
    {"q/pal1huffmsb.bmp",     "Unsupported Compression", nullptr, {}},
    {"q/pal1p1.bmp",          "", "pal1p1.png", {}},
    {"q/pal2.bmp",            "Unsupported bit count", nullptr, {}},
    {"q/pal2color.bmp",       "Unsupported bit count", nullptr, {}},
    {"q/pal4rlecut.bmp",      "", "pal4rlecut-b.png", {}},
    {"q/pal4rletrns.bmp",     "", "pal4rletrns-b.png", {}},
    {"q/pal8offs.bmp",        "", "pal8.png", {}},
    {"q/pal8os2-hs.bmp",      "", "pal8.png", {}},
    {"q/pal8os2-sz.bmp",      "", "pal8.png", {}},
    {"q/pal8os2sp.bmp",       "Corrupt File", nullptr, {}},     // 3-byte table of 252 entries, not 256
    {"q/pal8os2v2-16.bmp",    "Invalid header size", nullptr, {}},
    {"q/pal8os2v2-40sz.bmp",  "", "pal8.png", {}},
    {"q/pal8os2v2-sz.bmp",    "", "pal8.png", {}},              // a 64-byte OS/2 header reads as Windows
    {"q/pal8os2v2.bmp",       "", "pal8.png", {}},
    {"q/pal8oversizepal.bmp", "", "pal8.png", {}},
    {"q/pal8rlecut.bmp",      "", "pal8rlecut-b.png", {}},
    {"q/pal8rletrns.bmp",     "", "pal8rletrns-b.png", {}},
    {"q/rgb16-231.bmp",       "", "rgb16-231.png", {2, 3, 1}},
    {"q/rgb16-3103.bmp",      "", "rgb16-3103.png", {3, 10, 3}},
    {"q/rgb16faketrns.bmp",   "", "rgb16.png", {5, 5, 5}},
    {"q/rgb24jpeg.bmp",       "Unsupported bit count", nullptr, {}},
    {"q/rgb24largepal.bmp",   "", "rgb24.png", {}},
    {"q/rgb24lprof.bmp",      "", "rgb24.png", {}},
    {"q/rgb24png.bmp",        "Unsupported bit count", nullptr, {}},
    {"q/rgb24prof.bmp",       "", "rgb24.png", {}},
    {"q/rgb24prof2.bmp",      "", nullptr, {}},                 // its colour profile is not applied
    {"q/rgb24rle24.bmp",      "Unsupported Compression", nullptr, {}},
    {"q/rgb32-111110.bmp",    "", "rgb24.png", {11, 11, 10}},
    {"q/rgb32-7187.bmp",      "", "rgb32-7187.png", {7, 18, 7}},
    {"q/rgb32-xbgr.bmp",      "", "rgb24.png", {}},
    {"q/rgb32fakealpha.bmp",  "", "rgb24.png", {}},             // 40-byte header: no alpha
    {"q/rgb32h52.bmp",        "", "rgb24.png", {}},
    {"q/rgba16-1924.bmp",     "", "rgba16-1924.png", {1, 9, 2, 4}},
    {"q/rgba16-4444.bmp",     "", "rgba16-4444.png", {4, 4, 4, 4}},
    {"q/rgba16-5551.bmp",     "", "rgba16-5551.png", {5, 5, 5, 1}},
    {"q/rgba32-1.bmp",        "", "rgba32.png", {8, 8, 8, 8}},
    {"q/rgba32-1010102.bmp",  "", "rgba32-1010102.png", {10, 10, 10, 2}},
    {"q/rgba32-2.bmp",        "", "rgba32.png", {8, 8, 8, 8}},
    {"q/rgba32-61754.bmp",    "", "rgba32-61754.png", {6, 17, 5, 4}},
    {"q/rgba32-81284.bmp",    "", "rgba32-81284.png", {8, 12, 8, 4}},
    {"q/rgba32abf.bmp",       "Unsupported Compression", nullptr, {}},
    {"q/rgba32h56.bmp",       "", "rgba32.png", {}},            // 56-byte header: alpha not read
    {"q/rgba64.bmp",          "Unsupported bit count", nullptr, {}},

    // Bad files: refused with a message, or decoded where nothing in the
    // file stops it (densities, planes and sizes that are ignored).
    {"b/badbitcount.bmp",     "Unsupported bit count", nullptr, {}},
    {"b/badbitssize.bmp",     "", nullptr, {}},
    {"b/baddens1.bmp",        "", nullptr, {}},
    {"b/baddens2.bmp",        "", nullptr, {}},
    {"b/badfilesize.bmp",     "", nullptr, {}},
    {"b/badheadersize.bmp",   "", nullptr, {}},                 // 66 bytes, read as a Windows header
    {"b/badpalettesize.bmp",  "Premature end of file in color table", nullptr, {}},
    {"b/badplanes.bmp",       "", nullptr, {}},
    {"b/badrle.bmp",          "Corrupt RLE-compressed Data", nullptr, {}},
    {"b/badrle4.bmp",         "Corrupt RLE-compressed Data", nullptr, {}},
    {"b/badrle4bis.bmp",      "Corrupt RLE-compressed Data", nullptr, {}},
    {"b/badrle4ter.bmp",      "Corrupt RLE-compressed Data", nullptr, {}},
    {"b/badrlebis.bmp",       "Corrupt RLE-compressed Data", nullptr, {}},
    {"b/badrleter.bmp",       "Corrupt RLE-compressed Data", nullptr, {}},
    {"b/badwidth.bmp",        "Negative width not allowed", nullptr, {}},
    {"b/pal8badindex.bmp",    "", nullptr, {}},                 // missing entries read as black
    {"b/reallybig.bmp",       TooLarge, nullptr, {}},
    {"b/rgb16-880.bmp",       "Overlapping component mask", nullptr, {}},
    {"b/rletopdown.bmp",      "Negative height not allowed in an RLE image", nullptr, {}},
    {"b/shortfile.bmp",       "Premature End of Stream", nullptr, {}},

    // Related formats.
    {"x/ba-bm.bmp",           "Not a BMP Image", nullptr, {}},
};
// clang-format on

bool ChannelMatches(int ours, int reference, int bits)
{
    if (bits == 0)
        return true;
    if (bits > 8)
        return std::abs(ours - reference) <= 1;
    const int low = 8 - bits;
    return (ours & ((1 << low) - 1)) == 0 && (ours >> low) == (reference >> low);
}

// Counts the pixels that differ from the reference; reports the first few.
int CompareWithReference(const TBitmapImage &image, const SuiteCase &c)
{
    const QString path = QString::fromStdString((bmpsuite::Root() / "html" / c.Reference).string());
    const QImage reference = QImage(path).convertToFormat(QImage::Format_ARGB32);
    EXPECT_FALSE(reference.isNull()) << path.toStdString();
    EXPECT_EQ(image.Width, reference.width()) << c.File;
    EXPECT_EQ(image.Height, reference.height()) << c.File;
    if (image.Width != reference.width() || image.Height != reference.height())
        return -1;

    int differences = 0;
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            const TPixel p = image.At(x, y);
            const QRgb r = reference.pixel(x, y);
            // A fully transparent reference pixel has no colour to compare.
            const bool colourless = qAlpha(r) == 0;
            const bool same = (colourless
                               || (ChannelMatches(p.Red, qRed(r), c.Channels.Red)
                                   && ChannelMatches(p.Green, qGreen(r), c.Channels.Green)
                                   && ChannelMatches(p.Blue, qBlue(r), c.Channels.Blue)))
                && (c.Channels.Alpha ? ChannelMatches(p.Alpha, qAlpha(r), c.Channels.Alpha)
                                     : p.Alpha == 0);
            if (!same && ++differences <= 3) {
                ADD_FAILURE() << c.File << " at (" << x << ", " << y << "): "
                              << testing::PrintToString(p) << ", reference rgba(" << qRed(r)
                              << ", " << qGreen(r) << ", " << qBlue(r) << ", " << qAlpha(r) << ")";
            }
        }
    }
    return differences;
}

TEST(BmpSuite, EveryFileHasItsRecordedOutcome)
{
    if (!bmpsuite::Present())
        GTEST_SKIP() << bmpsuite::SkipReason();

    std::set<std::string> listed;
    for (const SuiteCase &c : Cases) {
        listed.insert(c.File);
        TBitmapImage image;
        const std::string outcome = bmptest::DecodeError(bmpsuite::Read(c.File), image);
        if (c.Outcome == TooLarge)
            EXPECT_EQ(outcome.rfind(TooLarge, 0), 0u) << c.File << ": " << outcome;
        else
            EXPECT_EQ(outcome, c.Outcome) << c.File;

        std::string result = outcome.empty() ? "decodes" : outcome;
        if (outcome.empty() && c.Reference) {
            const int differences = CompareWithReference(image, c);
            EXPECT_EQ(differences, 0) << c.File << " against " << c.Reference;
            result += differences == 0 ? std::string(", matches ") + c.Reference : ", DIFFERS";
        }
        std::printf("  %-24s %s\n", c.File, result.c_str());
    }

    for (const std::string &file : bmpsuite::Files())
        EXPECT_TRUE(listed.count(file)) << file << " is in the suite but not in the table";
}

} // namespace
