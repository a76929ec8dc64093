#pragma once
// The paper set dialog's paper list and the papers the page knows by name.

#include <QPageSize>
#include <QString>

#include <optional>

struct TPaperEntry {
    const char *Text;         // as listed (the trailing blanks carry no meaning)
    const char *PaperName;    // the page's paper, by display name
    const char *PresetWidth;  // typed into the boxes (in MM) when the entry is clicked; null = none
    const char *PresetLength;
};

constexpr int PaperEntryCount = 11;
constexpr int LastStandardEntry = 5;   // entries above it are custom sizes
extern const char *const CustomPaperName;  // "Custom Size"

// Entry `index` of the list; an index out of range gives entry 0.
const TPaperEntry &PaperEntry(int index);

// A standard paper: its portrait width and length in millimetres, and the
// page size a printer knows it by.
struct TStandardPaper {
    const char *Name;
    double WidthMm;
    double LengthMm;
    QPageSize::PageSizeId PageSizeId;
};

// The standard paper with this display name, the first equal one; nothing
// for "Custom Size" or an unknown name.
std::optional<TStandardPaper> FindStandardPaper(const QString &name);
