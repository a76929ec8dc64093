#include "dialogs/frm_preview.h"

#include "controls/accessibility.h"
#include "dialogs/printer_dialogs.h"

#include <QEvent>
#include <QFrame>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

namespace {

// Above any zoom at which a page fits a screen.
constexpr double MaxFitZoom = 50.0;

} // namespace

TFrmPreview::TFrmPreview(QPrinter *printer, QWidget *parent)
    : QDialog(parent), m_printer(printer), m_printerDialogs(MakeQtPrinterDialogs())
{
    setObjectName(QStringLiteral("FrmPreview"));
    setWindowTitle(QStringLiteral("Print Preview"));
    setAccessibleName(QStringLiteral("Print Preview"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    // Qt paints every window through a back buffer: the double buffering
    // the window asks for is already there.

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = Named(new QFrame(this), "Panel1", QStringLiteral("Preview tool bar"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(Panel1);
    row->setContentsMargins(8, 6, 8, 6);

    struct Button {
        QPushButton *TFrmPreview::*Member;
        const char *Name;
        const char *Caption;
        const char *Description;
        void (TFrmPreview::*Handler)();
    };
    const Button buttons[] = {
        {&TFrmPreview::BitBtn1, "BitBtn1", "Zoom to Fit", "Shows the whole page", &TFrmPreview::BitBtn1Click},
        {&TFrmPreview::BitBtn2, "BitBtn2", "Zoom to 100%", "Shows the page at its real size", &TFrmPreview::BitBtn2Click},
        {&TFrmPreview::BitBtn3, "BitBtn3", "Printer Setup", "Chooses the printer and the copies", &TFrmPreview::BitBtn3Click},
        {&TFrmPreview::BitBtn4, "BitBtn4", "Print", "Prints the page", &TFrmPreview::BitBtn4Click},
        {&TFrmPreview::BitBtn5, "BitBtn5", "Close", "Closes the preview without printing", &TFrmPreview::BitBtn5Click},
    };
    for (const Button &b : buttons) {
        auto *button = Named(new QPushButton(QString::fromLatin1(b.Caption), Panel1), b.Name,
                             QString::fromLatin1(b.Caption), QString::fromLatin1(b.Description));
        button->setAutoDefault(false);
        const auto handler = b.Handler;
        connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        row->addWidget(button);
        this->*b.Member = button;
    }
    BitBtn1->setToolTip(QStringLiteral("Zoom to Fit"));
    row->addStretch(1);
    layout->addWidget(Panel1);

    ReportPreview1 = Named(new QPrintPreviewWidget(m_printer, this), "ReportPreview1", QStringLiteral("Page preview"),
                           QStringLiteral("Click to switch between the whole page and its real size"));
    ReportPreview1->setViewMode(QPrintPreviewWidget::SinglePageView);
    ReportPreview1->setZoomMode(QPrintPreviewWidget::CustomZoom);
    ReportPreview1->setZoomFactor(1.0);
    layout->addWidget(ReportPreview1, 1);
    // The page itself is what a click zooms, so a screen reader stops there.
    if (auto *view = ReportPreview1->findChild<QGraphicsView *>()) {
        NameScrollBars(view);
        view->viewport()->setAccessibleName(QStringLiteral("Page"));
        view->viewport()->setAccessibleDescription(
            QStringLiteral("The page as it is printed; click to switch between the whole page and its real size"));
        view->viewport()->setCursor(Qt::PointingHandCursor);
        view->viewport()->installEventFilter(this);
    }
    // The preview also reports every change of zoom or page as a change:
    // only one that follows the drawing of the page is a page arriving.
    connect(ReportPreview1, &QPrintPreviewWidget::previewChanged, this, [this] {
        if (!m_pageRendered)
            return;
        m_pageRendered = false;
        ReportPreview1PageAvailable();
    });
    resize(1000, 700);
}

TFrmPreview::~TFrmPreview() = default;

void TFrmPreview::Attach(std::function<void(QPrinter *)> paint)
{
    m_paint = std::move(paint);
    disconnect(ReportPreview1, &QPrintPreviewWidget::paintRequested, this, nullptr);
    connect(ReportPreview1, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        // Painting runs inside Qt's signal: nothing may be thrown through it.
        try {
            if (!m_printing)
                m_pageRendered = true;
            if (m_paint)
                m_paint(printer);
        } catch (const std::exception &e) {
            if (OnError)
                OnError(QString::fromUtf8(e.what()));
        }
    });
    ReportPreview1->updatePreview();
}

void TFrmPreview::SetPrinterDialogs(std::unique_ptr<TPrinterDialogs> dialogs)
{
    m_printerDialogs = std::move(dialogs);
}

void TFrmPreview::BitBtn1Click()
{
    // Qt fits a page only when it does not fit already, so a page smaller
    // than the window would stay small: make it too big first, then fit.
    ReportPreview1->setZoomMode(QPrintPreviewWidget::CustomZoom);
    ReportPreview1->setZoomFactor(MaxFitZoom);
    ReportPreview1->fitInView();
}

void TFrmPreview::BitBtn2Click()
{
    ReportPreview1->setZoomMode(QPrintPreviewWidget::CustomZoom);
    ReportPreview1->setZoomFactor(1.0);
}

void TFrmPreview::BitBtn3Click()
{
    m_printerDialogs->SetUpPrinter(*m_printer, this, TPrinterChoice::Setup);
}

void TFrmPreview::BitBtn4Click()
{
    // As in every program that prints: the system's print dialog first
    // (printer, copies, "Print to File (PDF)"), then the page, or nothing
    // when it is cancelled.
    if (!m_printerDialogs->SetUpPrinter(*m_printer, this, TPrinterChoice::Print))
        return;
    m_printing = true;
    ReportPreview1->print();
    m_printing = false;
}

void TFrmPreview::BitBtn5Click()
{
    close();
}

void TFrmPreview::ReportPreview1PageAvailable()
{
    BitBtn2Click();
}

void TFrmPreview::ReportPreview1Click()
{
    if (IsZoom100())
        BitBtn1Click();
    else
        BitBtn2Click();
}

bool TFrmPreview::IsZoom100() const
{
    return ReportPreview1->zoomMode() == QPrintPreviewWidget::CustomZoom &&
           qFuzzyCompare(ReportPreview1->zoomFactor(), 1.0);
}

bool TFrmPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        ReportPreview1Click();
    return QDialog::eventFilter(watched, event);
}
