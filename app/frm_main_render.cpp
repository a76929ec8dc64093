// Card rendering: the window's thin side of the card renderer. It gathers
// what the user sees (the canvas's picture and each text box's document and
// bounds) and hands it to the renderer, which knows no widgets.
#include "app/frm_main.h"

#include "card/card_render.h"
#include "controls/Card_Edit.h"
#include "controls/scrollbox.h"
#include "pictures/bmp_file.h"
#include "richtext/rich_edit_box.h"

#include <QPainter>

#include <new>
#include <vector>

namespace {

// The canvas as a picture of the canvas control's size: its composed card
// (white where it holds none), as it lies on the surface.
QImage CanvasPicture(const TCard_Edit &canvas)
{
    const QImage &picture = canvas.Picture();
    if (picture.size() == canvas.size())
        return picture;
    QImage card(canvas.size(), QImage::Format_RGB32);
    card.fill(Qt::white);
    if (!picture.isNull()) {
        QPainter painter(&card);
        painter.drawImage(0, 0, picture);
    }
    return card;
}

} // namespace

std::vector<TCardTextBox> Tfrmmain::CardTextBoxes() const
{
    // Surface coordinates do not move with the scroll bars, so the boxes'
    // card rectangles are measured without touching the scroll positions.
    std::vector<TCardTextBox> boxes;
    for (TRichEditBox *box : TextBoxes())
        boxes.push_back({box->document(), box->geometry().translated(-Card_Edit1->pos())});
    return boxes;
}

QImage Tfrmmain::RenderedCard() const
{
    return RenderCardImage(CanvasPicture(*Card_Edit1), CardTextBoxes());
}

TCardScene Tfrmmain::CardScene() const
{
    const CardLayout &layout = Card_Edit1->Layout;
    return {layout, LoadCardPictures(layout, Card_Edit1->Pic_Path(), TCardTarget::Page), CardTextBoxes()};
}

bool Tfrmmain::RenderCard(const QString &bmpPath, QString *failure)
{
    try {
        WritePictureBmp(RenderedCard(), bmpPath);
        return true;
    } catch (const std::bad_alloc &) {
        if (failure != nullptr)
            *failure = QStringLiteral("There is not enough memory to render the card into \"%1\".").arg(bmpPath);
        return false;
    } catch (const std::exception &error) {
        if (failure != nullptr)
            *failure = QString::fromUtf8(error.what());
        return false;
    }
}

bool Tfrmmain::RenderTextBox(TRichEditBox *box, QImage &bitmap)
{
    if (!box || bitmap.isNull())
        return false;
    try {
        QPainter painter(&bitmap);
        if (!painter.isActive())
            return false;
        DrawCardTextBox(painter, {box->document(), box->geometry().translated(-Card_Edit1->pos())});
        return true;
    } catch (const std::exception &) {
        return false;
    }
}
