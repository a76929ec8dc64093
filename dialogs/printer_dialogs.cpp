#include "dialogs/printer_dialogs.h"

#include <QPrintDialog>
#include <QPrinter>

namespace {

class TQtPrinterDialogs : public TPrinterDialogs {
public:
    bool SetUpPrinter(QPrinter &printer, QWidget *parent, const QString &title) override
    {
        QPrintDialog dialog(&printer, parent);
        dialog.setWindowTitle(title);
        dialog.setAccessibleName(title);
        // One page only: a page range or "current page" has nothing to choose.
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        return dialog.exec() == QDialog::Accepted;
    }
};

} // namespace

std::unique_ptr<TPrinterDialogs> MakeQtPrinterDialogs()
{
    return std::make_unique<TQtPrinterDialogs>();
}
