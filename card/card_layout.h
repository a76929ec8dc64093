#pragma once
// The card layout record stored as Card.crd: 1496 bytes, little-endian.
//
// The structs mirror the file byte for byte (proved by the static_asserts
// below), but the file is never read or written by copying memory: LayoutToBytes
// and LayoutFromBytes go field by field, so the format does not depend on the
// host's byte order. Padding and reserved bytes are real members so that they
// travel unchanged from template to card.

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

// A card document error; its text is shown to the user as it stands.
class ECardError : public std::runtime_error {
public:
    explicit ECardError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// The slots of a card face: how many text boxes and picture frames it can
// hold. Everything that walks the boxes or the frames counts with these.
constexpr int TextSlotCount = 5;
constexpr int PictureSlotCount = 2;

#pragma pack(push, 1)

// Left, Top, Right, Bottom in card pixels; Right = Left + width.
struct SlotRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// A length byte followed by up to Size - 1 Windows-1252 characters. Only the
// first 1 + length bytes carry meaning; storing a shorter name leaves the
// bytes after it as they were.
template <std::size_t Size>
struct ShortString {
    uint8_t Bytes[Size] = {};

    static constexpr int Capacity = int(Size) - 1;

    // The length byte, limited to what the field can hold: a damaged file
    // cannot make a reader run past the field.
    int Length() const { return Bytes[0] < Capacity ? Bytes[0] : Capacity; }
    QString Text() const;
    // Cuts to Capacity characters (80 for a name field); raises ECardError
    // when the name holds a character that Windows-1252 cannot represent.
    void SetText(const QString &text);
};

struct PictureSlot {
    uint8_t Used = 0;            // 0 = not used; anything else = used
    SlotRect Rect;
    ShortString<139> FileName;   // runs to the end of the slot
};

struct TextSlot {
    uint8_t Used = 0;
    SlotRect Rect;
    ShortString<81> FileName;    // informational: the text is always <slot>.rtf
    uint8_t Reserved[101] = {};
};

#pragma pack(pop)

struct PaperSettings {
    int32_t PaperIndex = 0;
    uint8_t Padding0[4] = {};
    double PaperWidth = 0;
    double PaperLength = 0;
    int32_t Orientation = 0;     // 0 portrait, 1 landscape
    uint8_t Padding1[4] = {};
    double Margins[4] = {};
    int32_t UnitIndex = 0;
    int32_t CardWidth = 0;
    int32_t CardHeight = 0;
    int32_t Reserved[4] = {};
    uint8_t Padding2[4] = {};
};

struct CardLayout {
    PaperSettings Paper;
    int32_t TransparentColour = 0;   // 0x00BBGGRR
    ShortString<81> BackgroundFile;
    uint8_t Reserved[3] = {};
    PictureSlot Pictures[PictureSlotCount];
    TextSlot Texts[TextSlotCount];
    uint8_t Padding[5] = {};
};

constexpr std::size_t CardLayoutSize = 1496;
constexpr std::size_t PaperSettingsSize = 96;

static_assert(sizeof(SlotRect) == 16);
static_assert(sizeof(PaperSettings) == PaperSettingsSize);
static_assert(offsetof(PaperSettings, PaperIndex) == 0);
static_assert(offsetof(PaperSettings, PaperWidth) == 8);
static_assert(offsetof(PaperSettings, PaperLength) == 16);
static_assert(offsetof(PaperSettings, Orientation) == 24);
static_assert(offsetof(PaperSettings, Margins) == 32);
static_assert(offsetof(PaperSettings, UnitIndex) == 64);
static_assert(offsetof(PaperSettings, CardWidth) == 68);
static_assert(offsetof(PaperSettings, CardHeight) == 72);
static_assert(offsetof(PaperSettings, Reserved) == 76);
static_assert(offsetof(PaperSettings, Padding2) == 92);
static_assert(sizeof(PictureSlot) == 156);
static_assert(offsetof(PictureSlot, Rect) == 1);
static_assert(offsetof(PictureSlot, FileName) == 17);
static_assert(sizeof(TextSlot) == 199);
static_assert(offsetof(TextSlot, Rect) == 1);
static_assert(offsetof(TextSlot, FileName) == 17);
static_assert(offsetof(TextSlot, Reserved) == 98);
static_assert(sizeof(CardLayout) == CardLayoutSize);
static_assert(offsetof(CardLayout, Paper) == 0);
static_assert(offsetof(CardLayout, TransparentColour) == 96);
static_assert(offsetof(CardLayout, BackgroundFile) == 100);
static_assert(offsetof(CardLayout, Reserved) == 181);
static_assert(offsetof(CardLayout, Pictures) == 184);
static_assert(offsetof(CardLayout, Texts) == 496);
static_assert(offsetof(CardLayout, Padding) == 1491);

using CardLayoutBytes = std::array<uint8_t, CardLayoutSize>;

// The record as the canvas holds it before any card is loaded: default paper,
// no background, no pictures, no text boxes, every other byte zero.
CardLayout FreshLayout();

CardLayoutBytes LayoutToBytes(const CardLayout &layout);
// The given bytes replace the start of `base`; a shorter block keeps the rest
// of `base`, a longer one is cut to the record's size.
CardLayout LayoutFromBytes(const uint8_t *data, std::size_t size, const CardLayout &base);

// Windows-1252 text, the code page the card files are written in.
QString DecodeWindows1252(const uint8_t *data, int length);
// Raises ECardError naming the first character Windows-1252 cannot hold.
QByteArray EncodeWindows1252(const QString &text);
