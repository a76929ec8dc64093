// tessaly-convert decode, run as a user would run it.

#include "../imaging/bmp_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

using namespace bmptest;

namespace {

const std::string Tool = TESSALY_OUTPUT_DIR "/tessaly-convert";

std::string ReadFile(const std::string &name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string &name, const std::string &bytes)
{
    std::ofstream(name, std::ios::binary) << bytes;
}

struct ToolRun {
    int ExitCode;
    std::string Errors;
};

ToolRun Convert(const std::string &arguments)
{
    const std::string errors = testing::TempDir() + "tessaly_convert_stderr.txt";
    const int status = std::system((Tool + " " + arguments + " 2>" + errors).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(errors)};
}

// 2 x 1 pixels, 32 bits with an alpha mask, so both outputs differ.
std::string TwoPixels()
{
    BmpFile f;
    f.Width = 2;
    f.Height = 1;
    f.BitCount = 32;
    f.Compression = 3;
    f.HeaderSize = 108;
    f.Masks[0] = 0x00FF0000;
    f.Masks[1] = 0x0000FF00;
    f.Masks[2] = 0x000000FF;
    f.Masks[3] = 0xFF000000;
    f.Pixels = Bytes({1, 2, 3, 4, 5, 6, 7, 8});
    return f.Build();
}

TEST(ConvertDecode, WritesPamAndPpmExactly)
{
    const std::string dir = testing::TempDir();
    WriteFile(dir + "in.bmp", TwoPixels());

    ASSERT_EQ(Convert("decode " + dir + "in.bmp " + dir + "out.pam").ExitCode, 0);
    EXPECT_EQ(ReadFile(dir + "out.pam"),
              "P7\nWIDTH 2\nHEIGHT 1\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                  + Bytes({3, 2, 1, 4, 7, 6, 5, 8}));

    ASSERT_EQ(Convert("decode " + dir + "in.bmp " + dir + "out.PPM").ExitCode, 0);
    EXPECT_EQ(ReadFile(dir + "out.PPM"), "P6\n2 1\n255\n" + Bytes({3, 2, 1, 7, 6, 5}));
}

TEST(ConvertDecode, FailuresPrintTheMessageAndKeepTheOldOutput)
{
    const std::string dir = testing::TempDir();
    WriteFile(dir + "bad.bmp", "BM" + std::string(10, '\0'));
    WriteFile(dir + "kept.ppm", "old");

    const ToolRun bad = Convert("decode " + dir + "bad.bmp " + dir + "kept.ppm");
    EXPECT_EQ(bad.ExitCode, 1);
    // The decoder's message, with the file it was reading.
    EXPECT_EQ(bad.Errors, "Cannot decode \"" + dir + "bad.bmp\": Premature End of Stream\n");
    EXPECT_EQ(ReadFile(dir + "kept.ppm"), "old");

    const ToolRun missing = Convert("decode " + dir + "nothing-here.bmp " + dir + "kept.ppm");
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_NE(missing.Errors.find("nothing-here.bmp"), std::string::npos) << missing.Errors;

    WriteFile(dir + "in.bmp", TwoPixels());
    const ToolRun unwritable = Convert("decode " + dir + "in.bmp " + dir + "no/such/dir/out.ppm");
    EXPECT_EQ(unwritable.ExitCode, 1);
    EXPECT_NE(unwritable.Errors.find("out.ppm"), std::string::npos) << unwritable.Errors;

    EXPECT_EQ(Convert("decode " + dir + "in.bmp " + dir + "out.png").ExitCode, 2);
    EXPECT_EQ(Convert("decode").ExitCode, 2);
    EXPECT_EQ(Convert("frobnicate").ExitCode, 2);
}

} // namespace
