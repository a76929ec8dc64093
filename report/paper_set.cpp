#include "report/paper_set.h"

#include "report/paper_list.h"

#include <algorithm>
#include <cmath>

const char *const ValueTooBigMessage = "the value is too big!";

namespace {

QLocale BoxLocale(QLocale locale)
{
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

} // namespace

TPaperSetModel::TPaperSetModel(TUnitScale scale, QLocale locale) : Page(scale), m_locale(BoxLocale(locale))
{
    for (QString &margin : MarginTexts)
        margin = QStringLiteral("0");
    ListClick(0);
    Updating = false;
}

QString TPaperSetModel::Format(double value) const
{
    return m_locale.toString(value, 'f', 2);
}

double TPaperSetModel::Parse(const QString &text) const
{
    bool ok = false;
    const double value = m_locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw EPaperError(QStringLiteral("'%1' is not a valid number.").arg(text));
    return value;
}

void TPaperSetModel::ApplyToPage()
{
    Page.SelectPaper(QLatin1String(PaperEntry(PaperIndex).PaperName));
    if (Page.IsCustom()) {
        Page.SetWidth(Parse(WidthText));
        Page.SetLength(Parse(LengthText));
    }
    Page.SetOrientation(OrientationIndex);
    for (int m = 0; m < 4; ++m)
        Page.SetMargin(static_cast<TMargin>(m), Parse(MarginTexts[m]));
    Page.SetUnit(PaperUnitFromIndex(UnitIndex));
}

void TPaperSetModel::ShowPageValues()
{
    WidthText = Format(Page.Width());
    LengthText = Format(Page.Length());
    OrientationIndex = Page.Orientation();
    for (int m = 0; m < 4; ++m)
        MarginTexts[m] = Format(Page.Margin(static_cast<TMargin>(m)));
    UnitIndex = int(Page.Unit());
}

void TPaperSetModel::ListClick(int index)
{
    PaperIndex = index >= 0 && index < PaperEntryCount ? index : 0;
    const TPaperEntry &entry = PaperEntry(PaperIndex);
    // Twice, as the page takes a preset in the unit it had before the first run.
    for (int run = 0; run < 2; ++run) {
        Updating = true;
        if (entry.PresetWidth) {
            UnitIndex = int(TPaperUnit::MM);
            // The presets are written with a point; a box shows the locale's separator.
            WidthText = QString::fromLatin1(entry.PresetWidth).replace(QLatin1Char('.'), m_locale.decimalPoint());
            LengthText = QString::fromLatin1(entry.PresetLength).replace(QLatin1Char('.'), m_locale.decimalPoint());
        }
        Updating = false;
        ApplyToPage();
        ShowPageValues();
    }
}

void TPaperSetModel::UnitsChange(int index)
{
    UnitIndex = index;
    if (Updating)
        return;
    ApplyToPage();
    ShowPageValues();
}

void TPaperSetModel::LoadPaper(const PaperSettings &paper)
{
    const bool known = paper.PaperIndex >= 0 && paper.PaperIndex < PaperEntryCount;
    const bool knownUnit = paper.UnitIndex >= 0 && paper.UnitIndex < PaperUnitCount;
    // Twice: the second run makes a custom size count in the stored unit.
    for (int run = 0; run < 2; ++run) {
        PaperIndex = known ? paper.PaperIndex : 0;
        WidthText = Format(paper.PaperWidth);
        LengthText = Format(paper.PaperLength);
        OrientationIndex = paper.Orientation == 1 ? 1 : 0;
        for (QString &margin : MarginTexts)
            margin = QStringLiteral("0");
        UnitIndex = knownUnit ? paper.UnitIndex : 0;
        ApplyToPage();
    }
}

void TPaperSetModel::ReadPaper(PaperSettings &paper)
{
    ApplyToPage();
    ShowPageValues();
    paper.PaperIndex = PaperIndex;
    paper.PaperWidth = Parse(WidthText);
    paper.PaperLength = Parse(LengthText);
    paper.Orientation = OrientationIndex;
    for (double &margin : paper.Margins)
        margin = 0.0;
    paper.UnitIndex = UnitIndex;

    UnitIndex = int(TPaperUnit::Pixes);
    ApplyToPage();
    ShowPageValues();
    // The card size comes from the two-decimal texts: 215.9 mm shows 816.00
    // pixels and gives 816, where the unrounded 815.999... would give 815.
    const double width = std::floor(Parse(WidthText));
    const double length = std::floor(Parse(LengthText));
    const bool swap = paper.Orientation == 1 && paper.PaperIndex > LastStandardEntry;
    const double cardWidth = swap ? length : width;
    const double cardHeight = swap ? width : length;
    const auto clampToInt = [](double v) { return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)); };
    paper.CardWidth = clampToInt(cardWidth);
    paper.CardHeight = clampToInt(cardHeight);
    for (int32_t &reserved : paper.Reserved)
        reserved = 0;
}

std::optional<QString> TPaperSetModel::CheckCardSize() const
{
    TPaperSetModel trial = *this;
    PaperSettings paper;
    trial.ReadPaper(paper);
    if (paper.CardWidth > MaxCardPixels || paper.CardHeight > MaxCardPixels)
        return QString::fromLatin1(ValueTooBigMessage);
    if (paper.CardWidth < 1 || paper.CardHeight < 1)
        return QStringLiteral("the value is too small!");
    // A card the program could not render and export is refused here,
    // not found out at Save As.
    if (int64_t(paper.CardWidth) * paper.CardHeight > MaxCardPixelCount)
        return QString::fromLatin1(ValueTooBigMessage)
               + QStringLiteral("\nA card of %1 x %2 pixels is more than the %3 million pixels the program can "
                                "print or export.")
                     .arg(paper.CardWidth)
                     .arg(paper.CardHeight)
                     .arg(MaxCardPixelCount / 1'000'000);
    return std::nullopt;
}

std::optional<QString> TPaperSetModel::LeaveBox(QString &text, const QString &enteredText) const
{
    if (text.isEmpty())
        return std::nullopt;
    const double value = Parse(text);
    if (value > MaxBoxValue) {
        text = enteredText;
        return QString::fromLatin1(ValueTooBigMessage);
    }
    text = Format(value);
    return std::nullopt;
}

bool TPaperSetModel::AcceptsKey(QChar key) const
{
    if (key.isDigit() && key.unicode() < 128)
        return true;
    if (key == QChar(8))
        return true;
    return m_locale.decimalPoint() == QString(key);
}
