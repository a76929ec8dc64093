// tessaly-convert jpeg, run as a user would run it.

#include "imaging/jpeg/image_convert.h"
#include "../imaging/jpeg/jpeg_test_support.h"

#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

namespace {

const std::string Tool = TESSALY_OUTPUT_DIR "/tessaly-convert";

class ConvertJpeg : public ::testing::Test {
protected:
    std::string Dir = MakeTempDir();
    void SetUp() override { WriteBmp24(Dir + "/in.bmp", MakePhoto(61, 35, 9)); }
    void TearDown() override { std::filesystem::remove_all(Dir); }

    int Run(const std::string &arguments, std::string *output = nullptr)
    {
        return RunCommand(Tool + " jpeg " + arguments, output);
    }
};

} // namespace

TEST_F(ConvertJpeg, WithoutOptionsWritesWhatTheExportWrites)
{
    ASSERT_EQ(Run(Dir + "/in.bmp " + Dir + "/tool.jpg"), 0);
    ASSERT_TRUE(ConvertBmpToJpeg(Dir + "/in.bmp", Dir + "/export.jpg", 9));
    EXPECT_EQ(ReadFileBytes(Dir + "/tool.jpg"), ReadFileBytes(Dir + "/export.jpg"));
}

TEST_F(ConvertJpeg, EveryOptionGivesADecodableFile)
{
    const std::vector<std::string> options = {
        "--quality 3",
        "--grayscale --quality 0",
        "--sampling 2x2,1x1,1x1 --restart-rows 1",
        "--sampling 3x1,1x1,1x1 --comment 'Merry Christmas'",
        "--scans 'y cb+cr' --restart-rows 2",
        "--scans 'cr cb y'",
        "--progressive",
        "--progressive --grayscale --quality 5",
        "--progressive --sampling 2x2,1x1,1x1 --scans 'y+cb+cr:0:1 y:5:2 cb:63:1 cr:63:1 y:63:2'",
    };
    for (const std::string &option : options) {
        std::string output;
        ASSERT_EQ(Run(option + " " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 0) << option << ": " << output;
        EXPECT_TRUE(AcceptedByLibjpeg(Dir + "/out.jpg")) << option;
    }
    std::string help;
    EXPECT_EQ(Run("--help", &help), 0);
    EXPECT_NE(help.find("--scans SCRIPT"), std::string::npos);
}

TEST_F(ConvertJpeg, KernelsNamesTheLevelAndThreadsAndTheEnvironmentLowersThem)
{
    const std::string best = JpegSimdLevelName(JpegSupportedSimdLevel());
    const std::string threads = std::thread::hardware_concurrency() >= 2 ? ", 2 threads\n" : ", 1 thread\n";
    std::string output;
    ASSERT_EQ(Run("--kernels", &output), 0);
    EXPECT_EQ(output, best + threads);
    ASSERT_EQ(RunCommand("TESSALY_JPEG_SIMD=portable " + Tool + " jpeg --kernels", &output), 0);
    EXPECT_EQ(output, "portable" + threads);
    // A level the CPU lacks, or a misspelt one, leaves the best it has.
    ASSERT_EQ(RunCommand("TESSALY_JPEG_SIMD=sse9 " + Tool + " jpeg --kernels", &output), 0);
    EXPECT_EQ(output, best + threads);
    ASSERT_EQ(Run("--threads 1 --kernels", &output), 0);
    EXPECT_EQ(output, best + ", 1 thread\n");
    ASSERT_EQ(RunCommand("TESSALY_JPEG_THREADS=1 " + Tool + " jpeg --kernels", &output), 0);
    EXPECT_EQ(output, best + ", 1 thread\n");
    EXPECT_EQ(Run("--threads 0 --kernels", &output), 2);
}

TEST_F(ConvertJpeg, EveryThreadCountWritesTheSameFile)
{
    ASSERT_EQ(Run("--threads 1 " + Dir + "/in.bmp " + Dir + "/one.jpg"), 0);
    ASSERT_EQ(Run(Dir + "/in.bmp " + Dir + "/default.jpg"), 0);
    EXPECT_EQ(ReadFileBytes(Dir + "/one.jpg"), ReadFileBytes(Dir + "/default.jpg"));
    ASSERT_EQ(Run("--progressive --threads 1 " + Dir + "/in.bmp " + Dir + "/one.jpg"), 0);
    ASSERT_EQ(Run("--progressive " + Dir + "/in.bmp " + Dir + "/default.jpg"), 0);
    EXPECT_EQ(ReadFileBytes(Dir + "/one.jpg"), ReadFileBytes(Dir + "/default.jpg"));
}

TEST_F(ConvertJpeg, ErrorsGoToStandardError)
{
    std::string output;
    EXPECT_EQ(Run("--sampling 3x1,2x1,1x1 " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 1);
    EXPECT_EQ(output, "Fractional Horizontal Sampling\n");
    EXPECT_FALSE(std::filesystem::exists(Dir + "/out.jpg"));
    EXPECT_EQ(Run("--scans 'y cb' " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 1);
    EXPECT_EQ(output, "Not all components specified in scans\n");
    EXPECT_EQ(Run("--progressive --scans y:63:0 " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 1);
    EXPECT_EQ(output, "AC Scan specified before DC scan for Y Component\n");
    EXPECT_EQ(Run(Dir + "/missing.bmp " + Dir + "/out.jpg", &output), 1);
    EXPECT_NE(output.find("missing.bmp"), std::string::npos);

    // Wrong usage: exit status 2 with the reason and the help.
    EXPECT_EQ(Run("--quality 12 " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 2);
    EXPECT_EQ(output.substr(0, output.find('\n')), "--quality needs a number from 0 to 9, not \"12\".");
    EXPECT_EQ(Run("--sampling 2x2 " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 2);
    EXPECT_EQ(Run("--scans 'y+q' " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 2);
    EXPECT_EQ(Run(Dir + "/in.bmp", &output), 2);
    EXPECT_EQ(Run("--bogus " + Dir + "/in.bmp " + Dir + "/out.jpg", &output), 2);
}
