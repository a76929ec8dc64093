#pragma once
// What the paper set dialog does, on the texts of its boxes and the indices of
// its lists, with no widget: the dialog mirrors these fields into its
// controls. Every rule works the way the user sees it, through the boxes'
// two-decimal texts, which is why switching a custom size from millimetres to
// inches and back drifts (148.50 -> 5.85 -> 148.59).

#include "card/card_geometry.h"
#include "card/card_layout.h"
#include "report/report_page.h"

#include <QLocale>
#include <QString>

#include <optional>
#include <stdexcept>

// A paper set error, shown to the user as it stands.
class EPaperError : public std::runtime_error {
public:
    explicit EPaperError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// The largest number a size box takes, in whatever unit it shows.
constexpr double MaxBoxValue = 3000.0;
// The card sizes a page may give, in pixels: no more than the canvas can
// compose, so that "OK" never accepts a paper the card cannot take.
constexpr int MaxCardPixels = MaxCardSide;

extern const char *const ValueTooBigMessage;   // "the value is too big!"

class TPaperSetModel {
public:
    // Entry 0 clicked: A5 in portrait, in millimetres (148.00 x 210.00).
    explicit TPaperSetModel(TUnitScale scale = {}, QLocale locale = QLocale());

    // The dialog's state: the selections and the boxes' texts.
    int PaperIndex = 0;
    int UnitIndex = 0;
    int OrientationIndex = 0;
    QString WidthText;
    QString LengthText;
    QString MarginTexts[4];     // top, bottom, left, right; hidden, always "0"
    bool Updating = false;

    TReportPage Page;

    // Dialog to page and page to dialog.
    void ApplyToPage();
    void ShowPageValues();

    // The user's actions.
    void ListClick(int index);
    void UnitsChange(int index);

    // Shows stored settings. Indices out of range fall back to entry 0,
    // "MM" and portrait.
    void LoadPaper(const PaperSettings &paper);
    // Fills the whole head (padding aside), card pixel size included. Raises
    // EPaperError when a box does not hold a number.
    void ReadPaper(PaperSettings &paper);
    // What "OK" would be refused with: nothing when the page gives a card of
    // 1 to MaxCardPixels pixels each way. Leaves this model as it is.
    std::optional<QString> CheckCardSize() const;

    // Leaving a size box: formats it, or restores `enteredText` and returns
    // the message when the number is too big. Raises EPaperError (the box keeps
    // its text) when it is not a number; an empty box stays empty.
    std::optional<QString> LeaveBox(QString &text, const QString &enteredText) const;
    // The characters a size box accepts as typed: digits, backspace and the
    // locale's decimal separator.
    bool AcceptsKey(QChar key) const;

    QString Format(double value) const;   // "##0.00" in the locale
    double Parse(const QString &text) const;

private:
    QLocale m_locale;
};
