#pragma once
// The paper set dialog, "Paper Set": the paper list, the page size in one of
// five units, the orientation; it turns the choice into a PaperSettings head
// with the card's pixel size. The same form lays a picture on a page of that
// paper and previews it (PrintImage), for the Print command, unshown.
//
// The rules live in TPaperSetModel (report/); this form mirrors the model's
// texts and selections into its controls and back.

#include "card/card_layout.h"
#include "card/card_painter.h"
#include "report/paper_set.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPrinter;
class QPushButton;
class QTabWidget;
class TDialogs;
class TFrmPreview;
class TPrinterDialogs;

class TFrmprint : public QDialog {
    Q_OBJECT
public:
    // Messages go through `dialogs`, which must outlive the form.
    explicit TFrmprint(TDialogs &dialogs, QWidget *parent = nullptr);
    ~TFrmprint() override;

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;    // " Paper Set"
    QWidget *TabSheet2 = nullptr;    // "Report"
    QListWidget *ListBox1 = nullptr;
    QLineEdit *PageWidth = nullptr;
    QLineEdit *PageLength = nullptr;
    QComboBox *Units = nullptr;
    QComboBox *OrientationCB = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QGroupBox *MarginsGB = nullptr;
    QLineEdit *Topmargin = nullptr;
    QLineEdit *BottomMargin = nullptr;
    QLineEdit *LeftMargin = nullptr;
    QLineEdit *RightMargin = nullptr;
    QPushButton *Button1 = nullptr;  // OK
    QPushButton *Button2 = nullptr;  // Cancel

    std::unique_ptr<TFrmPreview> Preview;
    QString EnteredText;
    bool Accepted = false;

    // Shows stored settings (indices out of range: entry 0, "MM", portrait).
    void LoadPaper(const PaperSettings &paper);
    // The whole head with the card's pixel size. Raises EPaperError when a
    // size box holds no number.
    void ReadPaper(PaperSettings &paper);
    // "Auto Adjust to fit the new Paper Size": cleared, the layout keeps its
    // pixel values when the card size changes.
    bool AutoAdjust() const;

    // Lays the picture file on one page of the loaded paper and shows the
    // preview; returns when it is closed. Raises ECardError when the file is
    // not a picture.
    void PrintImage(const QString &fileName);
    // PrintImage in its two steps: the file read (so that a file shared
    // with other windows is read under their common lock), then the preview
    // of what was read.
    void LoadPrintPicture(const QString &fileName);
    void ShowPrintPicture();
    // Lays the card itself on the page, drawn at the device's resolution
    // (text as text, pictures at their own resolution), and shows the
    // preview; returns when it is closed. The scene's documents must live
    // until then.
    void PrintCard(const TCardScene &card);

    // Tests answer the printer dialogs; the preview uses Qt's.
    void SetPrinterDialogs(std::unique_ptr<TPrinterDialogs> dialogs);

    // Handlers.
    void ListBox1Click();
    void UnitsChange();
    void PageWidthEnter(QLineEdit *box);
    void PageWidthExit(QLineEdit *box);
    // False when the key is discarded.
    bool PageWidthKeyPress(QLineEdit *box, QChar key);
    void Button1Click();
    void Button2Click();

    const TPaperSetModel &Model() const { return m_model; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void BuildPaperPage();
    void FormCreate();
    void Report1Preview();
    QList<QLineEdit *> SizeBoxes() const;
    // The controls into the model, and the model into the controls (with
    // their signals held, so no handler runs).
    void SyncToModel();
    void SyncFromModel();
    // Runs a handler; a paper error is shown and the controls keep their state.
    void Guard(const std::function<void()> &handler);

    TDialogs &m_dialogs;
    TPaperSetModel m_model;
    PaperSettings m_paper;            // the loaded head, for the page
    std::unique_ptr<QPrinter> m_report;
    TCardScene m_card;               // what the page shows
    int m_rowAtPress = -1;            // the paper list's row when the mouse was pressed on it
};
