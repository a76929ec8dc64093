#include "card/fold_kind.h"

namespace {

struct TFoldNames {
    TFoldKind Fold;
    const char *Word;
    const char *Caption;
};

constexpr TFoldNames FoldNames[] = {
    {TFoldKind::FlatOneSided, "flat", "Flat, one side"},
    {TFoldKind::FlatTwoSided, "two-sided", "Flat, two sides"},
    {TFoldKind::HalfFold, "half", "Half-fold"},
    {TFoldKind::QuarterFold, "quarter", "Quarter-fold"},
};

const TFoldNames &NamesOf(TFoldKind fold)
{
    for (const TFoldNames &names : FoldNames) {
        if (names.Fold == fold)
            return names;
    }
    return FoldNames[0];
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

} // namespace

QString FoldKindWord(TFoldKind fold) { return QString::fromLatin1(NamesOf(fold).Word); }

QString FoldKindCaption(TFoldKind fold) { return QString::fromLatin1(NamesOf(fold).Caption); }

std::optional<TFoldKind> ParseFoldKind(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    const QByteArrayView word = text.sliced(begin, end - begin);
    for (const TFoldNames &names : FoldNames) {
        if (word == QByteArrayView(names.Word))
            return names.Fold;
    }
    return std::nullopt;
}

bool FoldHasSecondFace(TFoldKind fold) { return fold != TFoldKind::FlatOneSided; }

bool FoldHasPanels(TFoldKind fold) { return fold == TFoldKind::HalfFold || fold == TFoldKind::QuarterFold; }
