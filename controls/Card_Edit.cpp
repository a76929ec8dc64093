#include "controls/Card_Edit.h"

#include "card/card_file.h"
#include "card/card_open.h"

#include <QPainter>
#include <QResizeEvent>

namespace {

QString TrimControlsAndBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

TCard_Edit::TCard_Edit(QWidget *parent) : TImage(parent), Layout(FreshLayout())
{
    resize(Layout.Paper.CardWidth, Layout.Paper.CardHeight);
    SetStretch(true);
    setAccessibleName(QStringLiteral("Card"));
    DescribeForScreenReader();
}

void TCard_Edit::SetPic_Path(const QString &path)
{
    const QString trimmed = TrimControlsAndBlanks(path);
    if (trimmed != m_picPath)
        m_picPath = trimmed;
}

void TCard_Edit::SetLayout(const CardLayout &newLayout)
{
    const CardLayout copy = newLayout;
    if (!LayoutsEqual(copy, Layout)) {
        Layout = copy;
        Compose();
    }
    Layout = copy;
}

void TCard_Edit::LoadLayout(const QString &backgroundPath)
{
    const CardLayout layout = LoadCardLayout(backgroundPath);
    const QImage card = ComposeCard(layout, m_picPath);
    ShowCard(layout, card);
}

void TCard_Edit::ShowCard(const CardLayout &layout, const QImage &card)
{
    Layout = layout;
    resize(card.size());
    ClearPicture();
    SetPicture(card);
}

void TCard_Edit::SaveLayout(const QString &backgroundPath) const
{
    WriteCardFile(FolderOf(backgroundPath) + QStringLiteral("Card.crd"), Layout);
}

void TCard_Edit::Compose()
{
    if (!HasBackground(Layout))
        return;
    const QImage card = ComposeCard(Layout, m_picPath);
    resize(card.size());
    ClearPicture();
    SetPicture(card);
}

void TCard_Edit::SetHint(const QString &hint)
{
    if (hint == m_hint)
        return;
    m_hint = hint;
    DescribeForScreenReader();
    update();
}

QString TCard_Edit::ShownHint() const
{
    return Picture().isNull() ? m_hint : QString();
}

void TCard_Edit::PictureChanged()
{
    DescribeForScreenReader();
}

void TCard_Edit::resizeEvent(QResizeEvent *event)
{
    TImage::resizeEvent(event);
    DescribeForScreenReader();
}

void TCard_Edit::DescribeForScreenReader()
{
    const QString hint = ShownHint();
    setAccessibleDescription(hint.isEmpty() ? QStringLiteral("%1 x %2 pixels").arg(width()).arg(height()) : hint);
}

void TCard_Edit::paintEvent(QPaintEvent *event)
{
    TImage::paintEvent(event);
    const QString hint = ShownHint();
    if (hint.isEmpty())
        return;
    // On the surface itself, not in a box: the first thing a new user reads.
    QPainter painter(this);
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect area = rect().adjusted(40, 40, -40, -40);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, hint);
}
