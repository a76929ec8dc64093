#pragma once
// Quantization tables, the ten quality levels and the coefficient orders.

#include <array>
#include <cstdint>

// Natural-order index of the k-th coefficient in zigzag order (T.81 Figure A.6).
extern const std::array<uint8_t, 64> JpegZigzag;

// 1 / (8 a(r) a(c)) with a(0) = 1 and a(k) = sqrt(2) cos(k pi / 16): the
// output scaling of the factored forward DCT, natural order.
extern const std::array<double, 64> JpegAanScale;

constexpr int JpegQualityLevels = 10;
constexpr int JpegDefaultQuality = 3;

// The luminance and chrominance tables of a quality level 0..9, natural order.
const std::array<uint8_t, 64> &LuminanceQuality(int level);
const std::array<uint8_t, 64> &ChrominanceQuality(int level);

class TJpegEncoderQuantizationTable {
public:
    uint16_t GetValue(int index) const { return FValues[index]; }
    void SetValue(int index, uint16_t value) { FValues[index] = value; }
    // Folds the DCT output scaling and the division by the quantizer into one
    // multiplier per coefficient.
    void PrepareScaled();
    const double *Scaled() const { return FScaled.data(); }
    // FScaled with rows and columns swapped, as the transform's last step
    // meets them; set by PrepareScaled.
    const double *ScaledTransposed() const { return FScaledTransposed.data(); }

    std::array<uint16_t, 64> FValues{};
    std::array<double, 64> FScaled{};
    bool FUsed = true;

private:
    std::array<double, 64> FScaledTransposed{};
};
