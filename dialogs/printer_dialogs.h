#pragma once
// The seam between the print preview and Qt's printer dialogs, so that tests
// choose a printer (a PDF file) without a person and without blocking.

#include <memory>

class QPrinter;
class QString;
class QWidget;

class TPrinterDialogs {
public:
    virtual ~TPrinterDialogs() = default;
    // The system's print dialog for `printer`: printer or "Print to File
    // (PDF)", copies, orientation. True when accepted; the choices stay on
    // `printer` for the prints that follow.
    virtual bool SetUpPrinter(QPrinter &printer, QWidget *parent, const QString &title) = 0;
};

// Qt's QPrintDialog, which lists the system's CUPS printers.
std::unique_ptr<TPrinterDialogs> MakeQtPrinterDialogs();
