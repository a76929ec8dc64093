#include "imaging/jpeg/image_convert.h"
#include "jpeg_test_support.h"

#include <filesystem>

#include <gtest/gtest.h>

class ImageConvert : public ::testing::Test {
protected:
    std::string Dir = MakeTempDir();
    void TearDown() override { std::filesystem::remove_all(Dir); }
};

TEST_F(ImageConvert, ConvertsACardBitmap)
{
    const TBitmapImage card = MakePhoto(97, 43, 4);
    WriteBmp24(Dir + "/Temp.bmp", card);
    ASSERT_TRUE(ConvertBmpToJpeg(Dir + "/Temp.bmp", Dir + "/card.jpg", 9));
    const std::vector<uint8_t> file = ReadFileBytes(Dir + "/card.jpg");
    const std::vector<uint8_t> start{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00,
                                     0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xFE};
    ASSERT_GE(file.size(), start.size());
    EXPECT_TRUE(std::equal(start.begin(), start.end(), file.begin()));
    EXPECT_TRUE(AcceptedByLibjpeg(Dir + "/card.jpg"));
    EXPECT_GE(Psnr(card, DecodeJpegFile(Dir + "/card.jpg")), 45);

    // The same bitmap again gives the same file.
    ASSERT_TRUE(ConvertBmpToJpeg(Dir + "/Temp.bmp", Dir + "/card.jpg", 9));
    EXPECT_EQ(ReadFileBytes(Dir + "/card.jpg"), file);
    ASSERT_TRUE(ConvertBmpToJpeg(Dir + "/Temp.bmp", Dir + "/coarse.jpg", 0));
    EXPECT_LT(ReadFileBytes(Dir + "/coarse.jpg").size(), file.size());
}

TEST_F(ImageConvert, FailuresAnswerFalseAndLeaveNoFile)
{
    EXPECT_FALSE(ConvertBmpToJpeg(Dir + "/missing.bmp", Dir + "/out.jpg", 9));
    EXPECT_FALSE(std::filesystem::exists(Dir + "/out.jpg"));

    WriteBmp24(Dir + "/Temp.bmp", MakePhoto(8, 8));
    EXPECT_FALSE(ConvertBmpToJpeg(Dir + "/Temp.bmp", Dir + "/no/such/folder/out.jpg", 9));

    // A broken bitmap or a bad quality leaves an existing picture as it was.
    WriteFileBytes(Dir + "/broken.bmp", {'B', 'M', 0, 0});
    WriteFileBytes(Dir + "/kept.jpg", {1, 2, 3});
    EXPECT_FALSE(ConvertBmpToJpeg(Dir + "/broken.bmp", Dir + "/kept.jpg", 9));
    EXPECT_FALSE(ConvertBmpToJpeg(Dir + "/Temp.bmp", Dir + "/kept.jpg", 10));
    EXPECT_EQ(ReadFileBytes(Dir + "/kept.jpg"), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 3); // no stray temporary files
}
