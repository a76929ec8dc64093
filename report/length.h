#pragma once
// A length on paper. Kept in tenths of a millimetre, the unit the paper set's
// page works in, so that a value typed in one unit and read in another goes
// through one conversion each way and never through a hand-written factor.

#include <compare>

class TLength {
public:
    constexpr TLength() = default;

    static constexpr TLength FromTenthsMm(double tenths) { return TLength(tenths); }
    static constexpr TLength FromMm(double mm) { return TLength(mm * 10.0); }
    static constexpr TLength FromInches(double inches) { return TLength(inches * TenthsPerInch); }
    // A twip is 1/1440 inch.
    static constexpr TLength FromTwips(double twips) { return TLength(twips * TenthsPerInch / TwipsPerInch); }
    // Pixels of a device with `pixelsPerInch` logical pixels per inch.
    static constexpr TLength FromPixels(double pixels, double pixelsPerInch)
    {
        return TLength(pixels * TenthsPerInch / pixelsPerInch);
    }

    constexpr double TenthsMm() const { return m_tenths; }
    constexpr double Mm() const { return m_tenths / 10.0; }
    constexpr double Inches() const { return m_tenths / TenthsPerInch; }
    constexpr double Twips() const { return m_tenths * TwipsPerInch / TenthsPerInch; }
    constexpr double Pixels(double pixelsPerInch) const { return m_tenths * pixelsPerInch / TenthsPerInch; }

    constexpr TLength operator+(TLength other) const { return TLength(m_tenths + other.m_tenths); }
    constexpr TLength operator-(TLength other) const { return TLength(m_tenths - other.m_tenths); }
    constexpr TLength operator*(double factor) const { return TLength(m_tenths * factor); }
    constexpr auto operator<=>(const TLength &) const = default;
    constexpr bool operator==(const TLength &) const = default;

    static constexpr double TenthsPerInch = 254.0;
    static constexpr double TwipsPerInch = 1440.0;
    // The resolution a card's pixel size is designed at: one card pixel is
    // 1/96 inch on paper, whatever the screen. Text documents measure their
    // lengths in these pixels too.
    static constexpr double CardPixelsPerInch = 96.0;

    // Twips in one pixel of a device with `pixelsPerInch` pixels per inch,
    // taken as the one quotient 1440 / r (15 at 96 dpi), so that a pixel
    // count times it lands on exact halves where the arithmetic says so.
    static constexpr double TwipsPerPixel(double pixelsPerInch) { return TwipsPerInch / pixelsPerInch; }
    // Dots per metre of a device with `pixelsPerInch` pixels per inch,
    // rounded as picture files keep it (96 dpi is 3780).
    static constexpr int DotsPerMeter(double pixelsPerInch)
    {
        return static_cast<int>(FromMm(1000.0).Pixels(pixelsPerInch) + 0.5);
    }

private:
    constexpr explicit TLength(double tenths) : m_tenths(tenths) {}
    double m_tenths = 0.0;
};
