#pragma once
// The text box's formatting dialog: font family, size, colour, bold, italic,
// underline and paragraph alignment. It starts from the format of the text it
// is opened for and reports only what the user changed, so that changing the
// colour of a selection in several fonts keeps its fonts.

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

    // Shows `format` (fully resolved: family and point size set) and
    // `alignment` as the starting point.
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

    QLabel *m_preview = nullptr;
    QTextCharFormat m_start;
    Qt::Alignment m_startAlignment = Qt::AlignLeft;
    QColor m_colour;
    bool m_colourChosen = false;
    bool m_familyChosen = false;
};
