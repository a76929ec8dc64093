#pragma once
// The seam between the print preview and Qt's printer dialogs, so that tests
// choose a printer (a PDF file) without a person and without blocking.

#include <QString>

#include <memory>

class QPrinter;
class QWidget;

// Why the printer is chosen: to set it up for later ("Printer Setup", whose
// button only accepts the choice), or to print right away ("Print").
enum class TPrinterChoice { Setup, Print };

class TPrinterDialogs {
public:
    virtual ~TPrinterDialogs() = default;
    // The system's print dialog for `printer`: printer or "Print to File
    // (PDF)", copies, orientation. True when accepted; the choices stay on
    // `printer` for the prints that follow.
    virtual bool SetUpPrinter(QPrinter &printer, QWidget *parent, TPrinterChoice choice) = 0;
};

// The dialog's title for each purpose: "Printer Setup" or "Print".
QString PrinterDialogTitle(TPrinterChoice choice);

// Qt's QPrintDialog, which lists the system's CUPS printers.
std::unique_ptr<TPrinterDialogs> MakeQtPrinterDialogs();
