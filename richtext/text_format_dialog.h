#pragma once
// The text box's formatting dialog: font family, size, colour, bold, italic,
// underline and paragraph alignment. It starts from the format of the text it
// is opened for and reports only what the user changed, so that changing the
// colour of a selection in several fonts keeps its fonts. What the text does
// not share throughout (a family, a size, bold) shows undecided: an empty
// box, a partly checked box, which the user may settle for all of it.

#include <QColor>
#include <QDialog>
#include <QTextCharFormat>

#include <optional>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QPushButton;

class TTextFormatDialog : public QDialog {
    Q_OBJECT
public:
    explicit TTextFormatDialog(QWidget *parent = nullptr);

    // Shows `format` and `alignment` as the starting point. Family, point
    // size, weight, italic and underline that `format` does not set are
    // the undecided ones.
    void SetFormat(const QTextCharFormat &format, Qt::Alignment alignment);

    // What the user changed: only the properties touched are set.
    QTextCharFormat CharChanges() const;
    std::optional<Qt::Alignment> AlignmentChange() const;

    // The controls, for the box's tests and for keyboard users' sake named.
    QFontComboBox *FontBox = nullptr;
    QComboBox *SizeBox = nullptr;
    QPushButton *ColourButton = nullptr;
    QCheckBox *BoldBox = nullptr;
    QCheckBox *ItalicBox = nullptr;
    QCheckBox *UnderlineBox = nullptr;
    QComboBox *AlignmentBox = nullptr;

    // Sets the colour as if the user had picked it.
    void ChooseColour(const QColor &colour);

private:
    void PickColour();
    void ShowColour();
    void UpdatePreview();
    double ChosenSize() const;
    // True when `box` differs from how it started (and is not undecided).
    bool Changed(const QCheckBox *box, QTextFormat::Property property, bool startedOn) const;

    QLabel *m_preview = nullptr;
    QTextCharFormat m_start;
    Qt::Alignment m_startAlignment = Qt::AlignLeft;
    QColor m_colour;
    bool m_colourChosen = false;
    bool m_familyChosen = false;
};
