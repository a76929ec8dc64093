// Tries the text box by hand: a box lying on a coloured card, and beside it
// the same box rendered into a bitmap as the finished card shows it.
//   tessaly-richtext-demo [FILE.rtf]

#include "richtext/rich_edit_box.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QRect kBoxBounds(40, 40, 360, 240);

void PaintCard(QPainter &painter, const QRect &rect)
{
    QLinearGradient ground(rect.topLeft(), rect.bottomRight());
    ground.setColorAt(0, QColor(255, 214, 170));
    ground.setColorAt(1, QColor(120, 190, 230));
    painter.fillRect(rect, ground);
}

// The card picture with the box lying over it; the dotted outline only shows
// where the box is.
class Card : public QWidget {
public:
    explicit Card(QWidget *parent) : QWidget(parent) { setFixedSize(440, 320); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        PaintCard(painter, rect());
        painter.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        painter.drawRect(kBoxBounds.adjusted(-1, -1, 0, 0));
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Text box"));

    auto *card = new Card(&window);
    auto *box = new TRichEditBox(card);
    box->setGeometry(kBoxBounds);
    QString error;
    if (argc > 1 && !box->LoadFromFile(QString::fromLocal8Bit(argv[1]), &error))
        QMessageBox::warning(&window, QStringLiteral("Text box"), error);
    if (argc <= 1)
        box->setHtml(QStringLiteral("<p align=center style='font-size:24pt; color:#a00000'><b>Happy "
                                    "birthday!</b></p><p style='font-size:14pt'>Dear Anna, "
                                    "<i>many happy returns</i>. Καλή χρονιά, С днём рождения, "
                                    "生日快乐 🎂</p>"));

    auto *rendered = new QLabel(&window);
    rendered->setFixedSize(card->size());
    auto *clicks = new QLabel(QStringLiteral("Clicks: 0"), &window);
    auto *render = new QPushButton(QStringLiteral("&Render"), &window);

    int clickCount = 0;
    box->OnClick = [&](TRichEditBox *) {
        clicks->setText(QStringLiteral("Clicks: %1").arg(++clickCount));
    };
    const auto renderCard = [&] {
        QImage image(card->size(), QImage::Format_RGB32);
        QPainter painter(&image);
        PaintCard(painter, image.rect());
        box->FormatRange(&painter, TTwipsRect{PixelsToTwipsX(&image, kBoxBounds.left()),
                                              PixelsToTwipsY(&image, kBoxBounds.top()),
                                              PixelsToTwipsX(&image, kBoxBounds.right() + 1),
                                              PixelsToTwipsY(&image, kBoxBounds.bottom() + 1)});
        painter.end();
        rendered->setPixmap(QPixmap::fromImage(image));
    };
    QObject::connect(render, &QPushButton::clicked, renderCard);
    renderCard();

    auto *cards = new QHBoxLayout;
    cards->addWidget(card);
    cards->addWidget(rendered);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(clicks);
    buttons->addStretch();
    buttons->addWidget(render);
    auto *layout = new QVBoxLayout(&window);
    layout->addLayout(cards);
    layout->addLayout(buttons);
    window.show();
    return app.exec();
}
