#include "imaging/jpeg/scanscript.h"

#include "imaging/jpeg/jpegencoder.h"

#include <sstream>
#include <vector>

namespace {

int ParseField(const std::string &descriptor, const std::string &field, const char *what, int high)
{
    int value = 0;
    if (field.empty() || field.size() > 3)
        value = -1;
    for (char c : field) {
        if (c < '0' || c > '9') {
            value = -1;
            break;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 0 || value > high)
        throw EScanScriptError("Scan \"" + descriptor + "\": " + what + " must be a number from 0 to " +
                               std::to_string(high));
    return value;
}

} // namespace

void ApplyScanScript(TJpegEncoder &encoder, const std::string &script, bool progressive)
{
    std::istringstream words(script);
    std::vector<std::string> descriptors;
    for (std::string word; words >> word;)
        descriptors.push_back(word);
    if (descriptors.empty())
        throw EScanScriptError("The scan script is empty");
    const size_t limit = progressive ? TJpegEncoder::MaxScans : 3;
    if (descriptors.size() > limit)
        throw EScanScriptError(progressive ? "A progressive frame has at most 256 scans"
                                           : "A sequential frame has at most 3 scans");

    encoder.ClearScans();
    int index = 1;
    for (const std::string &descriptor : descriptors) {
        std::vector<std::string> parts;
        std::string part;
        std::istringstream fields(descriptor);
        while (std::getline(fields, part, ':'))
            parts.push_back(part);
        if (descriptor.back() == ':')
            parts.push_back("");
        if (!progressive && parts.size() != 1)
            throw EScanScriptError("Scan \"" + descriptor + "\": sequential scans list components only");
        if (progressive && parts.size() != 3)
            throw EScanScriptError("Scan \"" + descriptor + "\": progressive scans are COMPONENTS:END:APPROX");

        TJpegScan &scan = encoder.Scan(index++);
        std::istringstream names(parts[0]);
        std::string name;
        while (std::getline(names, name, '+')) {
            const int component = name == "y" ? 1 : name == "cb" ? 2 : name == "cr" ? 3 : 0;
            if (component == 0)
                throw EScanScriptError("Scan \"" + descriptor + "\": unknown component \"" + name +
                                       "\" (use y, cb and cr)");
            scan.Components.Bits |= uint8_t(1u << component);
        }
        if (scan.Components.Empty() || parts[0].back() == '+')
            throw EScanScriptError("Scan \"" + descriptor + "\": no components");
        if (progressive) {
            scan.SpectralEnd = uint8_t(ParseField(descriptor, parts[1], "END", 63));
            scan.Approximation = uint8_t(ParseField(descriptor, parts[2], "APPROX", 255));
        }
    }
}

const char *DefaultProgressiveScript(bool grayscale)
{
    return grayscale ? "y:0:1 y:5:2 y:63:2" : "y+cb+cr:0:1 y:5:2 cr:63:1 cb:63:1 y:63:2";
}

void ApplyDefaultProgressiveScript(TJpegEncoder &encoder)
{
    ApplyScanScript(encoder, DefaultProgressiveScript(encoder.Grayscale()), true);
}
