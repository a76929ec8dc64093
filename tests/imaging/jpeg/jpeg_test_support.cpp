#include "jpeg_test_support.h"

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>

#include <jpeglib.h>

TMemoryOutputStream::TMemoryOutputStream(size_t bufferSize) : FBuffer(bufferSize)
{
    FCurrent = FBuffer.data();
    FLimit = FBuffer.data() + FBuffer.size();
}

void TMemoryOutputStream::Flush()
{
    FData.insert(FData.end(), FBuffer.data(), FCurrent);
    FCurrent = FBuffer.data();
    FLimit = FBuffer.data() + FBuffer.size();
    ++FFlushes;
}

const std::vector<uint8_t> &TMemoryOutputStream::Bytes()
{
    Flush();
    return FData;
}

TBitmapImage MakePhoto(int width, int height, unsigned seed)
{
    TBitmapImage image;
    image.SetSize(width, height);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-6, 6);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width, fy = double(y) / height;
            double r = 90 + 120 * fx + 30 * std::sin(fy * 9 + fx * 3);
            double g = 60 + 100 * fy + 40 * std::cos(fx * 13);
            double b = 200 - 150 * fx * fy + 25 * std::sin((fx - fy) * 21);
            // A bright disc with a hard edge and a striped patch.
            if ((fx - 0.3) * (fx - 0.3) + (fy - 0.6) * (fy - 0.6) < 0.02)
                r = 250, g = 230, b = 40;
            if (fx > 0.6 && fx < 0.85 && fy > 0.15 && fy < 0.4 && (x / 3) % 2 == 0)
                r *= 0.4, g *= 0.4, b *= 0.4;
            TPixel &p = image.At(x, y);
            p.Red = uint8_t(std::clamp(int(r) + noise(random), 0, 255));
            p.Green = uint8_t(std::clamp(int(g) + noise(random), 0, 255));
            p.Blue = uint8_t(std::clamp(int(b) + noise(random), 0, 255));
        }
    return image;
}

TBitmapImage MakeFlat(int width, int height, uint8_t red, uint8_t green, uint8_t blue)
{
    TBitmapImage image;
    image.SetSize(width, height);
    for (TPixel &p : image.Pixels)
        p = TPixel{blue, green, red, 0};
    return image;
}

namespace {

struct StrictErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    std::string Message;
};

void FailOnError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<StrictErrorManager *>(info->err);
    char text[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, text);
    manager->Message = text;
    std::longjmp(manager->Jump, 1);
}

void FailOnWarning(j_common_ptr info, int level)
{
    if (level < 0)
        FailOnError(info); // a warning: corrupt data
}

} // namespace

DecodedImage DecodeJpeg(const std::vector<uint8_t> &bytes)
{
    DecodedImage result;
    jpeg_decompress_struct info{};
    StrictErrorManager manager;
    info.err = jpeg_std_error(&manager.Base);
    manager.Base.error_exit = FailOnError;
    manager.Base.emit_message = FailOnWarning;
    if (setjmp(manager.Jump)) {
        result.Error = manager.Message.empty() ? "decoding failed" : manager.Message;
        jpeg_destroy_decompress(&info);
        return result;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    result.Width = int(info.output_width);
    result.Height = int(info.output_height);
    result.Components = info.output_components;
    result.Samples.resize(size_t(result.Width) * result.Height * result.Components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &result.Samples[size_t(info.output_scanline) * result.Width * result.Components];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return result;
}

DecodedImage DecodeJpegFile(const std::string &path)
{
    return DecodeJpeg(ReadFileBytes(path));
}

namespace {

uint8_t Channel(const TPixel &p, int channel)
{
    return channel == 0 ? p.Red : channel == 1 ? p.Green : p.Blue;
}

uint8_t DecodedChannel(const DecodedImage &decoded, size_t pixel, int channel)
{
    return decoded.Components == 1 ? decoded.Samples[pixel] : decoded.Samples[pixel * 3 + size_t(channel)];
}

} // namespace

double Psnr(const TBitmapImage &source, const DecodedImage &decoded)
{
    double sum = 0;
    for (size_t i = 0; i < source.Pixels.size(); ++i)
        for (int c = 0; c < 3; ++c) {
            const double d = double(Channel(source.Pixels[i], c)) - DecodedChannel(decoded, i, c);
            sum += d * d;
        }
    const double mse = sum / (double(source.Pixels.size()) * 3);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

int MaxDifference(const TBitmapImage &source, const DecodedImage &decoded)
{
    int worst = 0;
    for (size_t i = 0; i < source.Pixels.size(); ++i)
        for (int c = 0; c < 3; ++c)
            worst = std::max(worst, std::abs(int(Channel(source.Pixels[i], c)) - DecodedChannel(decoded, i, c)));
    return worst;
}

int RunCommand(const std::string &command, std::string *output)
{
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0)
        text.append(chunk, n);
    const int status = pclose(pipe);
    if (output)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> ReadFileBytes(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void WriteFileBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteBmp24(const std::string &path, const TBitmapImage &image)
{
    const uint32_t stride = (uint32_t(image.Width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * uint32_t(image.Height);
    std::vector<uint8_t> bytes(54 + dataSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, uint32_t(bytes.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(image.Width));
    put32(22, uint32_t(image.Height));
    bytes[26] = 1;
    bytes[28] = 24;
    put32(34, dataSize);
    for (int y = 0; y < image.Height; ++y) {
        uint8_t *row = &bytes[54 + size_t(image.Height - 1 - y) * stride];
        for (int x = 0; x < image.Width; ++x) {
            const TPixel &p = image.At(x, y);
            row[3 * x] = p.Blue;
            row[3 * x + 1] = p.Green;
            row[3 * x + 2] = p.Red;
        }
    }
    WriteFileBytes(path, bytes);
}

std::string MakeTempDir()
{
    char pattern[] = "/tmp/tessaly-jpeg-XXXXXX";
    const char *dir = mkdtemp(pattern);
    return dir ? std::string(dir) : std::string("/tmp");
}

::testing::AssertionResult AcceptedByLibjpeg(const std::string &path)
{
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    if (bytes.size() < 4 || bytes[bytes.size() - 2] != 0xFF || bytes.back() != 0xD9)
        return ::testing::AssertionFailure() << path << " does not end in FF D9";
    std::string output;
    if (RunCommand("djpeg -strict -outfile /dev/null '" + path + "'", &output) != 0)
        return ::testing::AssertionFailure() << "djpeg -strict refused " << path << ": " << output;
    if (RunCommand("jpeginfo -c '" + path + "'", &output) != 0)
        return ::testing::AssertionFailure() << "jpeginfo -c refused " << path << ": " << output;
    return ::testing::AssertionSuccess();
}

std::vector<TJpegSimdLevel> SupportedSimdLevels()
{
    std::vector<TJpegSimdLevel> levels;
    for (TJpegSimdLevel level : {TJpegSimdLevel::Portable, TJpegSimdLevel::Avx2, TJpegSimdLevel::Avx512})
        if (level <= JpegSupportedSimdLevel())
            levels.push_back(level);
    return levels;
}
