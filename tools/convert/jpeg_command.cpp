// tessaly-convert jpeg [options] IN.bmp OUT.jpg
// Decodes a BMP file with the program's own decoder and writes it with the
// program's own JPEG encoder. With no option the file is exactly the one the
// program's JPEG export writes.

#include "imaging/bmpdecoder.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/scanscript.h"
#include "imaging/jpeg/simdlevel.h"
#include "tools/convert/commands.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace {

const char *const Help =
    "Usage: tessaly-convert jpeg [options] IN.bmp OUT.jpg\n"
    "Writes the BMP picture IN.bmp as the JPEG file OUT.jpg. Without options the\n"
    "file is the one the program's JPEG export writes (quality 9, colour, 1x1).\n"
    "\n"
    "Options:\n"
    "  --quality N        quality level 0..9 (default 9); a lookup, 9 is the finest\n"
    "  --grayscale        write the luminance only\n"
    "  --sampling H1xV1,H2xV2,H3xV3\n"
    "                     sampling factors 1..4 of Y, Cb and Cr (default 1x1,1x1,1x1)\n"
    "  --restart-rows N   a restart marker every N MCU rows (sequential only)\n"
    "  --comment TEXT     a comment segment with TEXT\n"
    "  --progressive      write a progressive frame\n"
    "  --scans SCRIPT     the scans, separated by blanks. Each is its components\n"
    "                     joined by '+' from y, cb and cr; sequential example \"y cb+cr\".\n"
    "                     Progressive scans add :END:APPROX, the last coefficient of\n"
    "                     the band (0 = DC, 1..63 in zigzag order) and the low bits\n"
    "                     held back for later refinement (0..13), for example\n"
    "                     \"y+cb+cr:0:1 y:5:2 cb:63:1 cr:63:1 y:63:2\".\n"
    "                     Without --scans: one interleaved scan, or for --progressive\n"
    "                     a script with successive approximation suited to photos.\n"
    "  --threads N        threads that share the encoding, 1 to the number of cores\n"
    "                     (default: as the program, 2 for a picture of 1.5\n"
    "                     megapixels or more where the load average leaves a\n"
    "                     second core mostly idle, going on alone once the\n"
    "                     helper turns out not to get a core of its own);\n"
    "                     TESSALY_JPEG_THREADS=N in the environment\n"
    "                     does the same. The file is the same for any number.\n"
    "  --kernels          print which vector kernels the encoder runs here (avx512,\n"
    "                     avx2 or portable) and how many threads, and stop;\n"
    "                     TESSALY_JPEG_SIMD=avx2 or =portable in the environment\n"
    "                     asks for a lower level\n"
    "  --help             show this text\n";

class EUsage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int ParseNumber(const std::string &option, const std::string &text, int low, int high)
{
    size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception &) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < low || value > high)
        throw EUsage(option + " needs a number from " + std::to_string(low) + " to " + std::to_string(high) +
                     ", not \"" + text + "\".");
    return value;
}

void ParseSampling(TJpegEncoder &encoder, const std::string &text)
{
    int factors[6];
    char separator[5];
    char extra;
    if (std::sscanf(text.c_str(), "%dx%d%c%dx%d%c%dx%d%c", &factors[0], &factors[1], &separator[0], &factors[2],
                    &factors[3], &separator[1], &factors[4], &factors[5], &extra)
            != 8
        || separator[0] != ',' || separator[1] != ',')
        throw EUsage("--sampling needs three factors HxV separated by commas, such as 2x2,1x1,1x1, not \"" + text +
                     "\".");
    for (int f : factors)
        if (f < 1 || f > 4)
            throw EUsage("Sampling factors must be from 1 to 4: \"" + text + "\".");
    for (int c = 0; c < 3; ++c)
        encoder.SetSampling(c + 1, factors[2 * c], factors[2 * c + 1]);
}

int Cores()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : int(cores);
}

// TESSALY_JPEG_THREADS, as --threads; anything else is ignored.
void ThreadsFromEnvironment(TJpegEncoder &encoder)
{
    const char *text = std::getenv("TESSALY_JPEG_THREADS");
    if (text == nullptr)
        return;
    char *end = nullptr;
    const long threads = std::strtol(text, &end, 10);
    if (end != text && *end == 0 && threads >= 1)
        encoder.SetThreads(int(std::min<long>(threads, Cores())));
}

int RunJpeg(const std::vector<std::string> &arguments)
{
    TJpegEncoder encoder;
    encoder.SetQuality(9);
    ThreadsFromEnvironment(encoder);
    bool kernels = false;
    std::vector<std::string> files;
    std::string script;
    bool haveScript = false;
    try {
        for (size_t i = 0; i < arguments.size(); ++i) {
            const std::string &argument = arguments[i];
            auto value = [&]() -> const std::string & {
                if (i + 1 >= arguments.size())
                    throw EUsage(argument + " needs a value.");
                return arguments[++i];
            };
            if (argument == "--help") {
                std::fputs(Help, stdout);
                return 0;
            } else if (argument == "--kernels") {
                kernels = true;
            } else if (argument == "--threads") {
                encoder.SetThreads(ParseNumber(argument, value(), 1, Cores()));
            } else if (argument == "--quality") {
                encoder.SetQuality(ParseNumber(argument, value(), 0, 9));
            } else if (argument == "--grayscale") {
                encoder.SetGrayscale(true);
            } else if (argument == "--sampling") {
                ParseSampling(encoder, value());
            } else if (argument == "--restart-rows") {
                encoder.SetRestartRows(ParseNumber(argument, value(), 0, 65535));
            } else if (argument == "--comment") {
                encoder.SetComment(value());
            } else if (argument == "--progressive") {
                encoder.SetProgressive(true);
            } else if (argument == "--scans") {
                script = value();
                haveScript = true;
            } else if (argument.starts_with("--")) {
                throw EUsage("Unknown option \"" + argument + "\".");
            } else {
                files.push_back(argument);
            }
        }
        if (kernels) {
            std::printf("%s, %d thread%s\n", JpegSimdLevelName(JpegSimdLevel()), encoder.Threads(),
                        encoder.Threads() == 1 ? "" : "s");
            return 0;
        }
        if (files.size() != 2)
            throw EUsage("Give one BMP file to read and one JPEG file to write.");
        if (haveScript)
            ApplyScanScript(encoder, script, encoder.Progressive());
        else if (encoder.Progressive())
            ApplyDefaultProgressiveScript(encoder);
    } catch (const EUsage &error) {
        std::fprintf(stderr, "%s\n%s", error.what(), Help);
        return 2;
    } catch (const EScanScriptError &error) {
        std::fprintf(stderr, "%s\n%s", error.what(), Help);
        return 2;
    }

    // The rows straight from the file when its layout allows, as the
    // program's export reads them; otherwise the whole picture first.
    TBmpDecoder decoder;
    const std::unique_ptr<TPixelRowSource> rows = decoder.OpenRows(files[0]);
    TBitmapImage image;
    if (!rows)
        decoder.ReadImageFile(files[0], image);
    // Like a shell redirect, the tool writes into a device or FIFO named as
    // its output (/dev/stdout, a pipe) instead of refusing it.
    TJpegOutputFileStream stream;
    stream.Open(files[1], TSpecialTarget::WriteInPlace);
    if (rows)
        encoder.WriteRowsToStream(stream, *rows);
    else
        encoder.WriteToStream(stream, image);
    stream.Close();
    return 0;
}

const TCommandRegistration registration{{"jpeg", "[options] IN.bmp OUT.jpg (--help lists the options)", RunJpeg}};

} // namespace
