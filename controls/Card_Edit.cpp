#include "controls/Card_Edit.h"

#include "card/card_file.h"

#include <QFileInfo>

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
    const QString layoutFile = FolderOf(backgroundPath) + QStringLiteral("Card.crd");
    if (QFileInfo::exists(layoutFile)) {
        // A short file is completed from the fresh layout, never from the
        // card shown before: one card's slots must not leak into another.
        Layout = ReadCardFile(layoutFile, FreshLayout());
    } else {
        // The default file describes this folder alone, whatever card was open.
        CardLayout layout = FreshLayout();
        layout.BackgroundFile.SetText(backgroundPath.mid(backgroundPath.lastIndexOf(QLatin1Char('/')) + 1));
        layout.TransparentColour = 0;
        WriteCardFile(layoutFile, layout);
        Layout = layout;
    }
    Compose();
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
