#include "imaging/regularfile.h"

#include "imaging/bmpdecoder.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

class RegularFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = testing::TempDir() + "regularfile-" + std::to_string(::getpid()) + "/";
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override { fs::remove_all(Dir); }

    std::string Dir;
};

TEST_F(RegularFile, ReadsAtMostTheBytesAskedFor)
{
    std::ofstream(Dir + "card.crd", std::ios::binary) << "0123456789";
    EXPECT_EQ(ReadRegularFile(Dir + "card.crd", 4), "0123");
    EXPECT_EQ(ReadRegularFile(Dir + "card.crd", 100), "0123456789");
    std::ofstream(Dir + "empty", std::ios::binary);
    EXPECT_EQ(ReadRegularFile(Dir + "empty", 100), "");
    fs::create_symlink(Dir + "card.crd", Dir + "link.crd");  // a link to a file is the file
    EXPECT_EQ(ReadRegularFile(Dir + "link.crd", 100), "0123456789");
    EXPECT_NO_THROW(CheckRegularFile(Dir + "link.crd"));
}

TEST_F(RegularFile, AFifoAFolderOrAMissingFileIsRefusedNamingIt)
{
    // Nobody writes into the FIFO: an ordinary open for reading would wait for ever.
    ASSERT_EQ(::mkfifo((Dir + "0.rtf").c_str(), 0644), 0);
    fs::create_directory(Dir + "1.rtf");
    for (const std::string name : {"0.rtf", "1.rtf", "2.rtf"}) {
        const std::string path = Dir + name;
        try {
            ReadRegularFile(path, 100);
            ADD_FAILURE() << name << " was read";
        } catch (const EFOpenError &error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        }
        EXPECT_THROW(CheckRegularFile(path), EFOpenError) << name;
    }

    // The BMP decoder checks before its stream opens the file.
    ASSERT_EQ(::mkfifo((Dir + "picture.bmp").c_str(), 0644), 0);
    TBmpDecoder decoder;
    TBitmapImage image;
    EXPECT_THROW(decoder.ReadImageFile(Dir + "picture.bmp", image), EFOpenError);
}

} // namespace
