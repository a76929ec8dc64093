// tessaly-convert decode IN.bmp OUT.pam|OUT.ppm
// Decodes a BMP file with the program's own decoder and writes the image
// exactly: a .pam keeps the alpha bytes, a .ppm has red, green and blue only.

#include "imaging/bmpdecoder.h"
#include "tools/convert/commands.h"
#include "tools/convert/netpbm.h"
#include "imaging/atomicfile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

namespace {

std::string LowerExtension(const std::string &fileName)
{
    const size_t dot = fileName.find_last_of("./");
    if (dot == std::string::npos || fileName[dot] != '.')
        return {};
    std::string extension = fileName.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return extension;
}

int RunDecode(const std::vector<std::string> &arguments)
{
    if (arguments.size() != 2) {
        std::fputs("Usage: tessaly-convert decode IN.bmp OUT.pam|OUT.ppm\n", stderr);
        return 2;
    }
    const std::string &input = arguments[0];
    const std::string &output = arguments[1];
    const std::string extension = LowerExtension(output);
    if (extension != ".pam" && extension != ".ppm") {
        std::fprintf(stderr, "The output file must end in .pam or .ppm: \"%s\".\n", output.c_str());
        return 2;
    }

    // The rows straight from the file when its layout allows: the picture
    // is then never held whole. Run-length files are decoded first.
    TBmpDecoder decoder;
    // The decoder's messages say what is wrong, not in which file.
    try {
        const std::unique_ptr<TPixelRowSource> fileRows = decoder.OpenRows(input);
        TBitmapImage image;
        if (!fileRows)
            decoder.ReadImageFile(input, image);
        const TBitmapImageRows imageRows(image);
        const TPixelRowSource &rows = fileRows ? *fileRows : static_cast<const TPixelRowSource &>(imageRows);
        // Like a shell redirect, the tool writes into a device or FIFO named as
        // its output instead of refusing it.
        TAtomicFile file(output, TSpecialTarget::WriteInPlace);
        WriteNetpbm(file, extension == ".pam" ? TNetpbmKind::Pam : TNetpbmKind::Ppm, rows);
        file.Commit();
    } catch (const EGraphicsException &error) {
        throw Exception("Cannot decode \"" + input + "\": " + error.what());
    }
    return 0;
}

const TCommandRegistration registration{{"decode", "IN.bmp OUT.pam|OUT.ppm", RunDecode}};

} // namespace
