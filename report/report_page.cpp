#include "report/report_page.h"

#include "report/paper_list.h"

TReportPage::TReportPage(TUnitScale scale) : m_scale(scale) {}

void TReportPage::SelectPaper(const QString &name)
{
    m_paperName = name;
    const std::optional<TStandardPaper> paper = FindStandardPaper(name);
    m_standard = paper.has_value();
    if (!paper)
        return;
    m_standardWidthMm = paper->WidthMm;
    m_standardLengthMm = paper->LengthMm;
    ApplyStandardPaper();
}

void TReportPage::SetOrientation(int orientation)
{
    m_orientation = orientation == 0 ? 0 : 1;
    if (m_standard)
        ApplyStandardPaper();
}

void TReportPage::ApplyStandardPaper()
{
    const TLength width = TLength::FromMm(m_standardWidthMm);
    const TLength length = TLength::FromMm(m_standardLengthMm);
    m_width = m_orientation == 0 ? width : length;
    m_length = m_orientation == 0 ? length : width;
}

double TReportPage::Width() const
{
    return ToUnit(m_width, m_unit, TAxis::Horizontal, m_scale);
}

double TReportPage::Length() const
{
    return ToUnit(m_length, m_unit, TAxis::Vertical, m_scale);
}

void TReportPage::SetWidth(double value)
{
    if (!m_standard)
        m_width = FromUnit(value, m_unit, TAxis::Horizontal, m_scale);
}

void TReportPage::SetLength(double value)
{
    if (!m_standard)
        m_length = FromUnit(value, m_unit, TAxis::Vertical, m_scale);
}

TAxis TReportPage::AxisOf(TMargin which)
{
    return which == TMargin::Left || which == TMargin::Right ? TAxis::Horizontal : TAxis::Vertical;
}

double TReportPage::Margin(TMargin which) const
{
    return ToUnit(m_margins[int(which)], m_unit, AxisOf(which), m_scale);
}

void TReportPage::SetMargin(TMargin which, double value)
{
    m_margins[int(which)] = FromUnit(value, m_unit, AxisOf(which), m_scale);
}
