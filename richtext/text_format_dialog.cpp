#include "richtext/text_format_dialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const int kSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 28, 32, 36, 40, 48, 56, 64, 72, 96};

struct AlignmentChoice {
    const char *caption;
    Qt::Alignment alignment;
};
const AlignmentChoice kAlignments[] = {
    {QT_TRANSLATE_NOOP("TTextFormatDialog", "Left"), Qt::AlignLeft},
    {QT_TRANSLATE_NOOP("TTextFormatDialog", "Centre"), Qt::AlignHCenter},
    {QT_TRANSLATE_NOOP("TTextFormatDialog", "Right"), Qt::AlignRight},
    {QT_TRANSLATE_NOOP("TTextFormatDialog", "Justify"), Qt::AlignJustify},
};

int AlignmentIndex(Qt::Alignment alignment)
{
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    for (int i = 0; i < 4; ++i) {
        if (horizontal & kAlignments[i].alignment)
            return i;
    }
    return 0;
}

// A size as the box shows it: whole points as they are, others to the
// hundredth (RTF sizes are half points).
QString SizeText(double points)
{
    QString text = QString::number(points, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

// A check box that shows a property of the text: partly checked when the
// text does not share it.
void ShowToggle(QCheckBox *box, const QTextCharFormat &format, QTextFormat::Property property, bool on)
{
    const bool shared = format.hasProperty(property);
    box->setTristate(!shared);
    box->setCheckState(!shared ? Qt::PartiallyChecked : on ? Qt::Checked : Qt::Unchecked);
}

} // namespace

TTextFormatDialog::TTextFormatDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Text Format"));

    FontBox = new QFontComboBox(this);
    SizeBox = new QComboBox(this);
    SizeBox->setEditable(true);
    SizeBox->setInsertPolicy(QComboBox::NoInsert);
    for (const int size : kSizes)
        SizeBox->addItem(QString::number(size));
    SizeBox->setValidator(new QDoubleValidator(1, 1638, 1, SizeBox));
    ColourButton = new QPushButton(tr("&Colour..."), this);
    BoldBox = new QCheckBox(tr("&Bold"), this);
    ItalicBox = new QCheckBox(tr("&Italic"), this);
    UnderlineBox = new QCheckBox(tr("&Underline"), this);
    AlignmentBox = new QComboBox(this);
    for (const AlignmentChoice &choice : kAlignments)
        AlignmentBox->addItem(tr(choice.caption));

    m_preview = new QLabel(tr("AaBbCc 123"), this);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumSize(280, 72);
    m_preview->setFrameShape(QFrame::StyledPanel);

    auto *styles = new QHBoxLayout;
    styles->addWidget(BoldBox);
    styles->addWidget(ItalicBox);
    styles->addWidget(UnderlineBox);
    styles->addStretch();

    auto *form = new QFormLayout;
    form->addRow(tr("&Font:"), FontBox);
    form->addRow(tr("&Size:"), SizeBox);
    form->addRow(tr("Colour:"), ColourButton);
    form->addRow(tr("Style:"), styles);
    form->addRow(tr("&Alignment:"), AlignmentBox);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_preview);
    layout->addWidget(buttons);

    connect(ColourButton, &QPushButton::clicked, this, &TTextFormatDialog::PickColour);
    connect(FontBox, &QFontComboBox::currentFontChanged, this, [this] {
        m_familyChosen = true;
        UpdatePreview();
    });
    connect(SizeBox, &QComboBox::currentTextChanged, this, &TTextFormatDialog::UpdatePreview);
    for (QCheckBox *box : {BoldBox, ItalicBox, UnderlineBox})
        connect(box, &QCheckBox::toggled, this, &TTextFormatDialog::UpdatePreview);
}

void TTextFormatDialog::SetFormat(const QTextCharFormat &format, Qt::Alignment alignment)
{
    m_start = format;
    m_startAlignment = alignment;
    if (format.hasProperty(QTextFormat::FontFamilies))
        FontBox->setCurrentFont(QFont(format.fontFamilies().toStringList().value(0)));
    else
        FontBox->setCurrentIndex(-1);
    SizeBox->setCurrentText(format.hasProperty(QTextFormat::FontPointSize) ? SizeText(format.fontPointSize())
                                                                          : QString());
    ShowToggle(BoldBox, format, QTextFormat::FontWeight, format.fontWeight() >= QFont::DemiBold);
    ShowToggle(ItalicBox, format, QTextFormat::FontItalic, format.fontItalic());
    // QTextCharFormat keeps underlining as its style.
    ShowToggle(UnderlineBox, format, QTextFormat::TextUnderlineStyle, format.fontUnderline());
    AlignmentBox->setCurrentIndex(AlignmentIndex(alignment));
    m_colour = format.foreground().style() == Qt::NoBrush ? QColor(Qt::black)
                                                           : format.foreground().color();
    m_colourChosen = false;
    // A family that is not installed shows as its stand-in; it is only
    // replaced when the user picks a family.
    m_familyChosen = false;
    ShowColour();
    UpdatePreview();
}

QTextCharFormat TTextFormatDialog::CharChanges() const
{
    QTextCharFormat changes;
    const QString family = FontBox->currentFont().family();
    if (m_familyChosen && FontBox->currentIndex() >= 0
        && (!m_start.hasProperty(QTextFormat::FontFamilies)
            || family != m_start.fontFamilies().toStringList().value(0)))
        changes.setFontFamilies(QStringList{family});
    const double size = ChosenSize();
    if (size > 0
        && (!m_start.hasProperty(QTextFormat::FontPointSize) || SizeText(size) != SizeText(m_start.fontPointSize())))
        changes.setFontPointSize(size);
    if (Changed(BoldBox, QTextFormat::FontWeight, m_start.fontWeight() >= QFont::DemiBold))
        changes.setFontWeight(BoldBox->isChecked() ? QFont::Bold : QFont::Normal);
    if (Changed(ItalicBox, QTextFormat::FontItalic, m_start.fontItalic()))
        changes.setFontItalic(ItalicBox->isChecked());
    if (Changed(UnderlineBox, QTextFormat::TextUnderlineStyle, m_start.fontUnderline()))
        changes.setFontUnderline(UnderlineBox->isChecked());
    if (m_colourChosen)
        changes.setForeground(m_colour);
    return changes;
}

bool TTextFormatDialog::Changed(const QCheckBox *box, QTextFormat::Property property, bool startedOn) const
{
    if (box->checkState() == Qt::PartiallyChecked)
        return false;
    return !m_start.hasProperty(property) || box->isChecked() != startedOn;
}

std::optional<Qt::Alignment> TTextFormatDialog::AlignmentChange() const
{
    const int index = AlignmentBox->currentIndex();
    if (index < 0 || index == AlignmentIndex(m_startAlignment))
        return std::nullopt;
    return kAlignments[index].alignment;
}

void TTextFormatDialog::ChooseColour(const QColor &colour)
{
    if (!colour.isValid())
        return;
    m_colour = colour;
    m_colourChosen = true;
    ShowColour();
    UpdatePreview();
}

void TTextFormatDialog::PickColour()
{
    ChooseColour(QColorDialog::getColor(m_colour, this, tr("Text Colour")));
}

void TTextFormatDialog::ShowColour()
{
    QPixmap swatch(24, 16);
    swatch.fill(m_colour);
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    ColourButton->setIcon(QIcon(swatch));
}

double TTextFormatDialog::ChosenSize() const
{
    bool ok = false;
    const double size = QLocale().toDouble(SizeBox->currentText(), &ok);
    if (!ok)
        return SizeBox->currentText().toDouble();
    return size;
}

void TTextFormatDialog::UpdatePreview()
{
    QFont font = FontBox->currentFont();
    const double size = ChosenSize();
    if (size > 0)
        font.setPointSizeF(std::min(size, 36.0));
    // Undecided shows as off (isChecked() is true for a partly checked box).
    font.setBold(BoldBox->checkState() == Qt::Checked);
    font.setItalic(ItalicBox->checkState() == Qt::Checked);
    font.setUnderline(UnderlineBox->checkState() == Qt::Checked);
    m_preview->setFont(font);
    QPalette colours = m_preview->palette();
    colours.setColor(QPalette::WindowText, m_colour);
    m_preview->setPalette(colours);
}
