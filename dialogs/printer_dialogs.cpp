#include "dialogs/printer_dialogs.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {

class TQtPrinterDialogs : public TPrinterDialogs {
public:
    bool SetUpPrinter(QPrinter &printer, QWidget *parent, TPrinterChoice choice) override
    {
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(PrinterDialogTitle(choice));
        dialog.setAccessibleName(PrinterDialogTitle(choice));
        // The card is one page: "current page" and a selection mean nothing,
        // a page range (1 to 1) is offered as every print dialog offers it.
        dialog.setMinMax(1, 1);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        // Setting up prints nothing, so its button must not say "Print".
        if (choice == TPrinterChoice::Setup) {
            for (QDialogButtonBox *buttons : dialog.findChildren<QDialogButtonBox *>())
                if (QPushButton *ok = buttons->button(QDialogButtonBox::Ok))
                    ok->setText(QStringLiteral("OK"));
        }
        return dialog.exec() == QDialog::Accepted;
    }
};

} // namespace

QString PrinterDialogTitle(TPrinterChoice choice)
{
    return choice == TPrinterChoice::Setup ? QStringLiteral("Printer Setup") : QStringLiteral("Print");
}

std::unique_ptr<TPrinterDialogs> MakeQtPrinterDialogs()
{
    return std::make_unique<TQtPrinterDialogs>();
}
