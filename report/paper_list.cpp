#include "report/paper_list.h"

#include <iterator>

const char *const CustomPaperName = "Custom Size";

namespace {

const TPaperEntry Entries[PaperEntryCount] = {
    {"Default Paper 148x210mm          ", "A5 148 x 210 mm", nullptr, nullptr},
    {"Letter Size Paper 8.5*11 in      ", "Letter Small 8 1/2 x 11 in", nullptr, nullptr},
    {"Legal Size Paper  8.5*14 in      ", "Legal 8 1/2 x 14 in", nullptr, nullptr},
    {"Executive Size Paper 7.5*10 in   ", "Executive 7 1/2 x 10 in", nullptr, nullptr},
    {"A5 Sheet: 148x210mm              ", "A5 148 x 210 mm", nullptr, nullptr},
    {"B5 Sheet: 182x257mm              ", "B5 182 x 257 mm", nullptr, nullptr},
    {"A6 Card(half-fold):148.5 x 210mm ", CustomPaperName, "148.5", "210"},
    {"Hagaki Card(half-fold):148x200mm ", CustomPaperName, "148", "200"},
    {"Other Sheet1(half-fold):7x10 in  ", CustomPaperName, "177.80", "254.00"},
    {"Other Sheet2(half-fold):6x8 in ", CustomPaperName, "152.40", "203.20"},
    {"My Own Paper Size", CustomPaperName, nullptr, nullptr},
};

// "B5 182 x 257 mm" is the Japanese B5; ISO B5 would be 176 x 250 mm.
// Qt's Executive is 7.5 x 10 in, as this paper.
const TStandardPaper StandardPapers[] = {
    {"A5 148 x 210 mm", 148.0, 210.0, QPageSize::A5},
    {"Letter Small 8 1/2 x 11 in", 215.9, 279.4, QPageSize::Letter},
    {"Legal 8 1/2 x 14 in", 215.9, 355.6, QPageSize::Legal},
    {"Executive 7 1/2 x 10 in", 190.5, 254.0, QPageSize::Executive},
    {"B5 182 x 257 mm", 182.0, 257.0, QPageSize::JisB5},
};

} // namespace

const TPaperEntry &PaperEntry(int index)
{
    return index >= 0 && index < PaperEntryCount ? Entries[index] : Entries[0];
}

std::optional<TStandardPaper> FindStandardPaper(const QString &name)
{
    for (const TStandardPaper &paper : StandardPapers)
        if (name == QLatin1String(paper.Name))
            return paper;
    return std::nullopt;
}
