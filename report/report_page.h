#pragma once
// The print report's page: a paper (a standard one by name, or the custom
// size), width and length, four margins and an orientation, read and written
// in a current unit. The paper set dialog does its unit arithmetic here.
//
// Rules: choosing a standard paper sets width and length from its table entry
// in the current orientation (landscape swaps them), and so does changing the
// orientation while it is chosen; width and length can be set only while the
// custom paper is chosen, whose orientation never swaps them; margins can
// always be set.

#include "report/length.h"
#include "report/paper_units.h"

#include <QString>

enum class TMargin { Top = 0, Bottom = 1, Left = 2, Right = 3 };

class TReportPage {
public:
    explicit TReportPage(TUnitScale scale = {});

    // The first paper of that display name; an unknown name chooses the custom size.
    void SelectPaper(const QString &name);
    QString PaperName() const { return m_paperName; }
    bool IsCustom() const { return !m_standard; }

    TPaperUnit Unit() const { return m_unit; }
    void SetUnit(TPaperUnit unit) { m_unit = unit; }

    // 0 portrait, anything else landscape (stored as 1).
    int Orientation() const { return m_orientation; }
    void SetOrientation(int orientation);

    // In the current unit.
    double Width() const;
    double Length() const;
    void SetWidth(double value);
    void SetLength(double value);
    double Margin(TMargin which) const;
    void SetMargin(TMargin which, double value);

    TLength WidthLength() const { return m_width; }
    TLength LengthLength() const { return m_length; }

private:
    void ApplyStandardPaper();
    static TAxis AxisOf(TMargin which);

    TUnitScale m_scale;
    QString m_paperName;
    bool m_standard = false;
    double m_standardWidthMm = 0.0;
    double m_standardLengthMm = 0.0;
    int m_orientation = 0;
    TPaperUnit m_unit = TPaperUnit::MM;
    TLength m_width;
    TLength m_length;
    TLength m_margins[4];
};
