// An encoding shared by threads: progress reports only from the calling
// thread, a cancel or an error on any thread ends it cleanly, and the
// encoder's memory stays for the next file.

#include "imaging/jpeg/image_convert.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/scanscript.h"
#include "imaging/jpeg/workers.h"
#include "jpeg_test_support.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

namespace {

Bytes Encode(TJpegEncoder &encoder, const TPixelRowSource &rows)
{
    TMemoryOutputStream stream;
    encoder.WriteRowsToStream(stream, rows);
    return stream.Bytes();
}

// The two kinds of frame: sequential with one scan (never held as
// coefficients) and progressive (from coefficient arrays).
void Configure(TJpegEncoder &encoder, bool progressive, int threads)
{
    encoder.SetQuality(9);
    encoder.SetThreads(threads);
    encoder.SetProgressive(progressive);
    if (progressive)
        ApplyDefaultProgressiveScript(encoder);
}

struct Reports {
    std::thread::id Caller = std::this_thread::get_id();
    int Count = 0;
    int CancelAt = -1;
    bool OtherThread = false;
};
Reports *reports = nullptr;

void Report(TBitmapImageCoder &, uint32_t, uint32_t, uint32_t, const std::string &, uint32_t, bool &abort)
{
    reports->OtherThread |= std::this_thread::get_id() != reports->Caller;
    abort = ++reports->Count == reports->CancelAt;
}

// The rows of an image, but strip number Failing (of 8 rows) cannot be read.
class TFailingRows final : public TPixelRowSource {
public:
    TFailingRows(const TBitmapImage &image, int32_t failing) : FRows(image), FFailing(failing) {}
    int32_t Width() const override { return FRows.Width(); }
    int32_t Height() const override { return FRows.Height(); }
    const TPixel *Rows(int32_t first, int32_t count, TRowScratch &scratch) const override
    {
        if (first / 8 == FFailing)
            throw EGraphicsException("the rows are gone");
        return FRows.Rows(first, count, scratch);
    }

private:
    TBitmapImageRows FRows;
    int32_t FFailing;
};

// The rows of an image, given slowly to every thread but the one that made
// the source: a helper that falls behind, as one the system does not run.
class TSlowHelperRows final : public TPixelRowSource {
public:
    explicit TSlowHelperRows(const TBitmapImage &image) : FRows(image) {}
    int32_t Width() const override { return FRows.Width(); }
    int32_t Height() const override { return FRows.Height(); }
    const TPixel *Rows(int32_t first, int32_t count, TRowScratch &scratch) const override
    {
        if (std::this_thread::get_id() != FCaller)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return FRows.Rows(first, count, scratch);
    }

private:
    TBitmapImageRows FRows;
    std::thread::id FCaller = std::this_thread::get_id();
};

// Counts the reads of each strip of 8 rows. The first time (counting) the
// calling thread is slow, busy the while, so that the helper takes most
// strips and, where it has a core of its own, is kept on. The second time (writing) the helper is slower still, and the calling
// thread is slow on the first strip only, long enough for the helper to
// take one: the calling thread then finds the helper at work on a strip it
// needs.
class TCountingRows final : public TPixelRowSource {
public:
    explicit TCountingRows(const TBitmapImage &image) : FRows(image), FReads(size_t(image.Height + 7) / 8) {}
    int32_t Width() const override { return FRows.Width(); }
    int32_t Height() const override { return FRows.Height(); }
    const TPixel *Rows(int32_t first, int32_t count, TRowScratch &scratch) const override
    {
        const int read = ++FReads[size_t(first / 8)];
        const bool caller = std::this_thread::get_id() == FCaller;
        if (caller && read == 1)
            for (const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1);
                 std::chrono::steady_clock::now() < end;) {
            }
        else if (caller && first == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        else if (!caller && read > 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(6));
        return FRows.Rows(first, count, scratch);
    }
    std::vector<int> Reads() const { return {FReads.begin(), FReads.end()}; }

private:
    TBitmapImageRows FRows;
    mutable std::vector<std::atomic<int>> FReads;
    std::thread::id FCaller = std::this_thread::get_id();
};

} // namespace

TEST(JpegThreads, HelpersThatDoNotAddACoreAreLetGo)
{
    TJpegWorkers workers(2);
    workers.Review(0.150, 0.100); // one and a half cores' worth: kept
    EXPECT_EQ(workers.Helpers(), 1);
    workers.Review(0.125, 0.100);
    EXPECT_EQ(workers.Helpers(), 1);
    workers.Review(0.120, 0.100); // the threads took turns on about one core
    EXPECT_EQ(workers.Helpers(), 0);
    bool ran = false;
    workers.Start([&](int) { ran = true; });
    workers.Wait();
    EXPECT_FALSE(ran);

    // Measured: a pass that only waits gets no processor time at all.
    TJpegWorkers idle(2);
    idle.StartMeasuring();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    idle.Review();
    EXPECT_EQ(idle.Helpers(), 0);
}

TEST(JpegThreads, HelpersOnlyWhereACoreIsMostlyIdle)
{
    EXPECT_EQ(ThreadsWithCores(2, 0.0, 2), 2);
    EXPECT_EQ(ThreadsWithCores(2, 0.4, 2), 2);
    EXPECT_EQ(ThreadsWithCores(2, 0.6, 2), 1); // the other core more than half busy
    EXPECT_EQ(ThreadsWithCores(2, 1.0, 2), 1); // a program busy on the other core
    EXPECT_EQ(ThreadsWithCores(2, 8.0, 2), 1);
    EXPECT_EQ(ThreadsWithCores(4, 1.0, 4), 3);
    EXPECT_EQ(ThreadsWithCores(8, 0.0, 4), 4);
    EXPECT_EQ(ThreadsWithCores(2, 0.0, 1), 1);
    EXPECT_EQ(ThreadsWithCores(1, 0.0, 8), 1);
    EXPECT_GE(LoadAverage(), 0.0);
}

TEST(JpegThreads, NoStripIsCodedTwice)
{
    // A sequential frame reads every strip once to count its symbols and
    // once to write it, whichever thread does either, however slow the
    // helper is.
    const TBitmapImage image = MakePhoto(64, 400, 4);
    TJpegEncoder alone, shared;
    Configure(alone, false, 1);
    Configure(shared, false, 2);
    TCountingRows rows(image);
    EXPECT_EQ(Encode(shared, rows), Encode(alone, TBitmapImageRows(image)));
    EXPECT_EQ(rows.Reads(), std::vector<int>(50, 2));
}

TEST(JpegThreads, AHelperThatFallsBehindChangesNoByte)
{
    // The calling thread waits for the strips a slow helper holds: the file
    // is the same.
    const TBitmapImage image = MakePhoto(200, 160, 9);
    for (bool progressive : {false, true}) {
        TJpegEncoder alone, shared;
        Configure(alone, progressive, 1);
        Configure(shared, progressive, 2);
        EXPECT_EQ(Encode(shared, TSlowHelperRows(image)), Encode(alone, TBitmapImageRows(image)))
            << (progressive ? "progressive" : "sequential");
    }
}

TEST(JpegThreads, ACancelAtAnyReportEndsTheEncodingOnEveryThread)
{
    const TBitmapImage image = MakePhoto(120, 90, 7);
    const TBitmapImageRows rows(image);
    for (bool progressive : {false, true}) {
        TJpegEncoder encoder;
        Configure(encoder, progressive, 2);
        const Bytes expected = Encode(encoder, rows);
        Reports all;
        reports = &all;
        encoder.ProgressFunction = Report;
        EXPECT_EQ(Encode(encoder, rows), expected);
        EXPECT_FALSE(all.OtherThread) << "a report came from a helper thread";
        ASSERT_GT(all.Count, 30);
        for (int at = 1; at <= all.Count; at += 3) {
            Reports cancelling;
            cancelling.CancelAt = at;
            reports = &cancelling;
            EXPECT_THROW(Encode(encoder, rows), EGraphicsAbort) << "cancel at report " << at;
            EXPECT_EQ(cancelling.Count, at) << "no report after the cancel";
        }
        // The encoder is as good as new afterwards.
        encoder.ProgressFunction = nullptr;
        EXPECT_EQ(Encode(encoder, rows), expected) << (progressive ? "progressive" : "sequential");
        reports = nullptr;
    }
}

TEST(JpegThreads, AnErrorOnAnyThreadReachesTheCaller)
{
    const TBitmapImage image = MakePhoto(64, 96, 3); // 12 strips of 8 rows
    for (bool progressive : {false, true})
        for (int threads : {1, 2, 3})
            for (int32_t failing : {0, 5, 11}) {
                TJpegEncoder encoder;
                Configure(encoder, progressive, threads);
                const TFailingRows rows(image, failing);
                try {
                    Encode(encoder, rows);
                    FAIL() << "the missing rows must raise";
                } catch (const EGraphicsException &error) {
                    EXPECT_STREQ(error.what(), "the rows are gone");
                }
                // The same encoder writes the next picture as a new one would.
                TJpegEncoder fresh;
                Configure(fresh, progressive, 1);
                EXPECT_EQ(Encode(encoder, TBitmapImageRows(image)), Encode(fresh, TBitmapImageRows(image)));
            }
}

TEST(JpegThreads, TheEncoderKeepsItsMemoryBetweenFiles)
{
    const TBitmapImage image = MakePhoto(300, 200, 5);
    const TBitmapImageRows rows(image);
    for (bool progressive : {false, true})
        for (int threads : {1, 2}) {
            TJpegEncoder encoder;
            Configure(encoder, progressive, threads);
            EXPECT_EQ(encoder.KeptMemory(), 0u);
            const Bytes first = Encode(encoder, rows);
            const size_t kept = encoder.KeptMemory();
            // Strips at least; a progressive frame's coefficient arrays too.
            EXPECT_GT(kept, progressive ? 3 * 38 * 25 * sizeof(TJpegCoefficientBlock) : 4096u);
            EXPECT_EQ(Encode(encoder, rows), first);
            // One thread needs nothing more for the second file. With two,
            // which thread codes which strip varies, and with it which
            // strips' raw bits are kept and how far each buffer has grown:
            // at most the 25 strips' worth of raw bits more.
            if (threads == 1)
                EXPECT_EQ(encoder.KeptMemory(), kept) << "the second file needs nothing more";
            else
                EXPECT_LE(encoder.KeptMemory(), kept + 25 * 16384);
            encoder.ReleaseMemory();
            EXPECT_EQ(encoder.KeptMemory(), 0u);
            EXPECT_EQ(Encode(encoder, rows), first);
        }
}

TEST(JpegThreads, TheExportsEncoderKeepsItsMemoryAndWritesTheSameFile)
{
    const std::string dir = MakeTempDir();
    WriteBmp24(dir + "/Temp.bmp", MakePhoto(97, 43, 4));
    ASSERT_TRUE(ConvertBmpToJpeg(dir + "/Temp.bmp", dir + "/alone.jpg", 9));
    TJpegEncoder encoder;
    encoder.SetThreads(1); // with one thread every buffer is the same size each time
    ASSERT_TRUE(ConvertBmpToJpeg(dir + "/Temp.bmp", dir + "/kept.jpg", 9, encoder));
    const size_t kept = encoder.KeptMemory();
    EXPECT_GE(kept, size_t(0x40000)) << "the file buffer stays";
    ASSERT_TRUE(ConvertBmpToJpeg(dir + "/Temp.bmp", dir + "/again.jpg", 9, encoder));
    EXPECT_EQ(encoder.KeptMemory(), kept);
    EXPECT_EQ(ReadFileBytes(dir + "/kept.jpg"), ReadFileBytes(dir + "/alone.jpg"));
    EXPECT_EQ(ReadFileBytes(dir + "/again.jpg"), ReadFileBytes(dir + "/alone.jpg"));
    std::filesystem::remove_all(dir);
}
