#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/scanscript.h"

#include <gtest/gtest.h>

namespace {

std::string ErrorOf(const std::string &script, bool progressive)
{
    TJpegEncoder encoder;
    try {
        ApplyScanScript(encoder, script, progressive);
    } catch (const EScanScriptError &error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(JpegScanScript, ReadsSequentialAndProgressiveScripts)
{
    TJpegEncoder encoder;
    ApplyScanScript(encoder, "  y   cb+cr ", false);
    EXPECT_EQ(encoder.Scan(1).Components, TJpegComponentSet::Of({1}));
    EXPECT_EQ(encoder.Scan(2).Components, TJpegComponentSet::Of({2, 3}));
    EXPECT_TRUE(encoder.Scan(3).Components.Empty());

    ApplyScanScript(encoder, "y+cb+cr:0:1 y:5:2 cb:63:1 cr:63:13 y:63:2", true);
    EXPECT_EQ(encoder.Scan(1).Components, TJpegComponentSet::Of({1, 2, 3}));
    EXPECT_EQ(encoder.Scan(2).SpectralEnd, 5);
    EXPECT_EQ(encoder.Scan(2).Approximation, 2);
    EXPECT_EQ(encoder.Scan(4).Approximation, 13);
    EXPECT_EQ(encoder.Scan(5).SpectralEnd, 63);
    EXPECT_TRUE(encoder.Scan(6).Components.Empty());
}

TEST(JpegScanScript, Errors)
{
    EXPECT_EQ(ErrorOf("", false), "The scan script is empty");
    EXPECT_EQ(ErrorOf("y cb cr y", false), "A sequential frame has at most 3 scans");
    EXPECT_EQ(ErrorOf("y+k", false), "Scan \"y+k\": unknown component \"k\" (use y, cb and cr)");
    EXPECT_EQ(ErrorOf("y+", false), "Scan \"y+\": no components");
    EXPECT_EQ(ErrorOf("y:0:0", false), "Scan \"y:0:0\": sequential scans list components only");
    EXPECT_EQ(ErrorOf("y:0", true), "Scan \"y:0\": progressive scans are COMPONENTS:END:APPROX");
    EXPECT_EQ(ErrorOf("y:64:0", true), "Scan \"y:64:0\": END must be a number from 0 to 63");
    EXPECT_EQ(ErrorOf("y:0:x", true), "Scan \"y:0:x\": APPROX must be a number from 0 to 255");
    std::string many;
    for (int i = 0; i < 257; ++i)
        many += "y:0:0 ";
    EXPECT_EQ(ErrorOf(many, true), "A progressive frame has at most 256 scans");
}
