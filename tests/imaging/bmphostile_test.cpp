// Every BMP Suite file cut short at many points and with random bytes
// changed: the decoder either decodes or raises EBmpError, never anything
// else. Built with AddressSanitizer and UndefinedBehaviorSanitizer, so a
// read or write out of bounds or an overflow ends the run.

#include "bmp_builder.h"
#include "bmpsuite.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// "" when the bytes decode or raise EBmpError; otherwise what was raised.
std::string UnexpectedFailure(const std::string &bytes)
{
    try {
        TBitmapImage image;
        bmptest::Decode(bytes, image);
    } catch (const EBmpError &) {
    } catch (const std::exception &e) {
        return std::string("unexpected exception: ") + e.what();
    }
    return "";
}

// Cut points: every byte of the headers and colour table, then 64 points
// spread over the pixel data.
std::vector<size_t> CutPoints(size_t size)
{
    std::vector<size_t> cuts;
    for (size_t n = 0; n < std::min<size_t>(size, 1100); ++n)
        cuts.push_back(n);
    for (size_t i = 1; i <= 64 && size > 1100; ++i)
        cuts.push_back(1100 + (size - 1100) * i / 65);
    return cuts;
}

TEST(BmpHostile, TruncatedSuiteFiles)
{
    if (!bmpsuite::Present())
        GTEST_SKIP() << bmpsuite::SkipReason();
    for (const std::string &file : bmpsuite::Files()) {
        const std::string bytes = bmpsuite::Read(file);
        for (size_t cut : CutPoints(bytes.size()))
            EXPECT_EQ(UnexpectedFailure(bytes.substr(0, cut)), "") << file << " cut at " << cut;
    }
}

TEST(BmpHostile, SuiteFilesWithBytesChanged)
{
    if (!bmpsuite::Present())
        GTEST_SKIP() << bmpsuite::SkipReason();
    std::mt19937 random(20261209);
    for (const std::string &file : bmpsuite::Files()) {
        const std::string original = bmpsuite::Read(file);
        if (original.empty())
            continue;
        for (int round = 0; round < 100; ++round) {
            std::string bytes = original;
            // Most changes hit the headers and tables, where sizes live.
            const int changes = 1 + int(random() % 4);
            for (int i = 0; i < changes; ++i) {
                const size_t limit = random() % 4 ? std::min<size_t>(bytes.size(), 160) : bytes.size();
                const size_t at = random() % limit;
                bytes[at] = char(random() % 2 ? random() : bytes[at] ^ (1 << (random() % 8)));
            }
            EXPECT_EQ(UnexpectedFailure(bytes), "") << file << " round " << round;
        }
    }
}

} // namespace
