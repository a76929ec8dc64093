#pragma once
// The print preview window: a tool bar of five buttons over the preview of
// the report's page. Zoom "100%" is the page at its real size on a 96 dpi
// screen; a click on the page toggles between that and the fitting zoom.

#include <QDialog>

#include <functional>
#include <memory>

class QFrame;
class QPrinter;
class QPrintPreviewWidget;
class QPushButton;
class TPrinterDialogs;

class TFrmPreview : public QDialog {
    Q_OBJECT
public:
    // `printer` is the report's: it carries the page and the chosen printer.
    explicit TFrmPreview(QPrinter *printer, QWidget *parent = nullptr);
    ~TFrmPreview() override;

    QFrame *Panel1 = nullptr;
    QPushButton *BitBtn1 = nullptr;  // Zoom to Fit
    QPushButton *BitBtn2 = nullptr;  // Zoom to 100%
    QPushButton *BitBtn3 = nullptr;  // Printer Setup
    QPushButton *BitBtn4 = nullptr;  // Print
    QPushButton *BitBtn5 = nullptr;  // Close
    QPrintPreviewWidget *ReportPreview1 = nullptr;

    // Attaches the preview control to the report's page: `paint` draws it on
    // the printer it is given (the preview's or the real one).
    void Attach(std::function<void(QPrinter *)> paint);

    // Tests answer the printer dialogs; the window uses Qt's.
    void SetPrinterDialogs(std::unique_ptr<TPrinterDialogs> dialogs);
    // Called with the error text when printing fails.
    std::function<void(const QString &)> OnError;

    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void ReportPreview1PageAvailable();
    void ReportPreview1Click();

    bool IsZoom100() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPrinter *m_printer;
    std::function<void(QPrinter *)> m_paint;
    std::unique_ptr<TPrinterDialogs> m_printerDialogs;
    bool m_printing = false;      // the page is drawn for the printer, not the preview
    bool m_pageRendered = false;  // the preview drew the page; its arrival is not yet reported
};
