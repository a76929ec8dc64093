#include "dialogs/frm_print.h"

#include "card/card_compose.h"
#include "card/paper_config.h"
#include "controls/accessibility.h"
#include "controls/dialogs.h"
#include "dialogs/frm_preview.h"
#include "dialogs/printer_dialogs.h"
#include "report/card_page.h"
#include "report/paper_list.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QLineEdit *SizeBox(const char *name, const QString &accessibleName, QWidget *parent)
{
    return Named(new QLineEdit(parent), name, accessibleName);
}

QComboBox *DropDown(const char *name, const QString &accessibleName, const QStringList &items, QWidget *parent)
{
    auto *list = Named(new QComboBox(parent), name, accessibleName);
    list->addItems(items);
    return list;
}

bool IsWindowFocusChange(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

TFrmprint::TFrmprint(TDialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_dialogs(dialogs), m_model(TUnitScale{})
{
    setObjectName(QStringLiteral("Frmprint"));
    setWindowTitle(QStringLiteral("Paper Set"));
    setAccessibleName(QStringLiteral("Paper Set"));
    InitPaperSettings(m_paper);

    auto *layout = new QVBoxLayout(this);
    PageControl1 = Named(new QTabWidget(this), "PageControl1", QStringLiteral("Paper Set pages"));
    layout->addWidget(PageControl1);
    BuildPaperPage();

    // The report's page: what PrintImage lays on it is seen in the preview.
    TabSheet2 = Named(new QWidget, "TabSheet2", QStringLiteral("Report"));
    auto *reportLayout = new QVBoxLayout(TabSheet2);
    auto *reportLabel = new QLabel(QStringLiteral("The card is printed on one page of this paper, "
                                                  "from its top-left corner, without margins."),
                                   TabSheet2);
    reportLabel->setObjectName(QStringLiteral("Report1"));
    reportLabel->setWordWrap(true);
    reportLayout->addWidget(reportLabel);
    reportLayout->addStretch(1);
    PageControl1->addTab(TabSheet2, QStringLiteral("Report"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Button1 = Named(new QPushButton(QStringLiteral("OK"), this), "Button1", QStringLiteral("OK"));
    Button1->setDefault(false);
    Button1->setAutoDefault(false);
    Button2 = Named(new QPushButton(QStringLiteral("Cancel"), this), "Button2", QStringLiteral("Cancel"));
    Button2->setAutoDefault(false);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    FormCreate();
}

TFrmprint::~TFrmprint() = default;

void TFrmprint::BuildPaperPage()
{
    TabSheet1 = Named(new QWidget, "TabSheet1", QStringLiteral("Paper Set"));
    PageControl1->addTab(TabSheet1, QStringLiteral(" Paper Set"));
    auto *page = new QVBoxLayout(TabSheet1);

    auto *paperSize = Named(new QGroupBox(QStringLiteral("Paper size"), TabSheet1), "GroupBox1",
                            QStringLiteral("Paper size"));
    auto *paperLayout = new QHBoxLayout(paperSize);
    ListBox1 = Named(new QListWidget(paperSize), "ListBox1", QStringLiteral("Paper"),
                     QStringLiteral("The paper the card is printed on"));
    for (int i = 0; i < PaperEntryCount; ++i)
        ListBox1->addItem(QString::fromLatin1(PaperEntry(i).Text));
    ListBox1->setMinimumWidth(260);
    paperLayout->addWidget(ListBox1, 1);

    auto *sizes = new QFormLayout;
    PageWidth = SizeBox("PageWidth", QStringLiteral("Width"), paperSize);
    PageLength = SizeBox("PageLength", QStringLiteral("Length"), paperSize);
    QStringList unitNames;
    for (int u = 0; u < PaperUnitCount; ++u)
        unitNames << QString::fromLatin1(PaperUnitName(PaperUnitFromIndex(u)));
    Units = DropDown("Units", QStringLiteral("Units"), unitNames, paperSize);
    OrientationCB = DropDown("OrientationCB", QStringLiteral("Direction"),
                             {QStringLiteral("Portrait"), QStringLiteral("Landscape")}, paperSize);
    sizes->addRow(QStringLiteral("Width"), PageWidth);
    sizes->addRow(QStringLiteral("Length"), PageLength);
    sizes->addRow(QStringLiteral("Units"), Units);
    sizes->addRow(QStringLiteral("Direction"), OrientationCB);
    paperLayout->addLayout(sizes);
    page->addWidget(paperSize);

    const QString autoAdjust = QStringLiteral("Auto Adjust to fit the new Paper Size");
    CheckBox1 = Named(new QCheckBox(autoAdjust, TabSheet1), "CheckBox1", autoAdjust,
                      QStringLiteral("Stretches the pictures and text boxes with the card; cleared, they keep their place"));
    CheckBox1->setChecked(true);
    page->addWidget(CheckBox1);

    // The margins are always 0: the card is printed from the paper's edge.
    MarginsGB = new QGroupBox(QStringLiteral("Margins"), TabSheet1);
    MarginsGB->setObjectName(QStringLiteral("MarginsGB"));
    auto *margins = new QFormLayout(MarginsGB);
    Topmargin = SizeBox("Topmargin", QStringLiteral("Top"), MarginsGB);
    BottomMargin = SizeBox("BottomMargin", QStringLiteral("Bottom"), MarginsGB);
    LeftMargin = SizeBox("LeftMargin", QStringLiteral("Left"), MarginsGB);
    RightMargin = SizeBox("RightMargin", QStringLiteral("Right"), MarginsGB);
    margins->addRow(QStringLiteral("Top"), Topmargin);
    margins->addRow(QStringLiteral("Bottom"), BottomMargin);
    margins->addRow(QStringLiteral("Left"), LeftMargin);
    margins->addRow(QStringLiteral("Right"), RightMargin);
    MarginsGB->hide();
    page->addWidget(MarginsGB);
    page->addStretch(1);

    for (QLineEdit *box : SizeBoxes()) {
        box->setText(QStringLiteral("0"));
        box->installEventFilter(this);
    }
    // A click on the paper that is already chosen runs the list click too
    // (it brings a half-fold entry's preset back); a click that chooses
    // another paper runs it once, through the change of row.
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { Guard([this] { ListBox1Click(); }); });
    ListBox1->viewport()->installEventFilter(this);
    connect(ListBox1, &QListWidget::itemClicked, this, [this] {
        if (ListBox1->currentRow() == m_rowAtPress)
            Guard([this] { ListBox1Click(); });
    });
    connect(Units, &QComboBox::currentIndexChanged, this, [this] { Guard([this] { UnitsChange(); }); });
}

void TFrmprint::FormCreate()
{
    m_report = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_report->setDocName(QStringLiteral("Card"));
    Preview = std::make_unique<TFrmPreview>(m_report.get());
    Preview->OnError = [this](const QString &message) { m_dialogs.ShowMessage(message); };
    m_card = TCardScene{};
    // The model starts on entry 0 clicked: A5 portrait in millimetres.
    SyncFromModel();
    Accepted = false;
}

QList<QLineEdit *> TFrmprint::SizeBoxes() const
{
    return {PageWidth, PageLength, Topmargin, BottomMargin, LeftMargin, RightMargin};
}

void TFrmprint::SyncToModel()
{
    m_model.PaperIndex = ListBox1->currentRow();
    m_model.UnitIndex = Units->currentIndex();
    m_model.OrientationIndex = OrientationCB->currentIndex();
    m_model.WidthText = PageWidth->text();
    m_model.LengthText = PageLength->text();
    m_model.MarginTexts[0] = Topmargin->text();
    m_model.MarginTexts[1] = BottomMargin->text();
    m_model.MarginTexts[2] = LeftMargin->text();
    m_model.MarginTexts[3] = RightMargin->text();
}

void TFrmprint::SyncFromModel()
{
    const QSignalBlocker list(ListBox1);
    const QSignalBlocker units(Units);
    const QSignalBlocker orientation(OrientationCB);
    ListBox1->setCurrentRow(m_model.PaperIndex);
    Units->setCurrentIndex(m_model.UnitIndex);
    OrientationCB->setCurrentIndex(m_model.OrientationIndex);
    PageWidth->setText(m_model.WidthText);
    PageLength->setText(m_model.LengthText);
    Topmargin->setText(m_model.MarginTexts[0]);
    BottomMargin->setText(m_model.MarginTexts[1]);
    LeftMargin->setText(m_model.MarginTexts[2]);
    RightMargin->setText(m_model.MarginTexts[3]);
}

void TFrmprint::Guard(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        m_dialogs.ShowMessage(QString::fromUtf8(e.what()));
        SyncFromModel();
    }
}

void TFrmprint::LoadPaper(const PaperSettings &paper)
{
    m_paper = paper;
    m_model.LoadPaper(paper);
    SyncFromModel();
}

void TFrmprint::ReadPaper(PaperSettings &paper)
{
    SyncToModel();
    m_model.ReadPaper(paper);
    SyncFromModel();
}

bool TFrmprint::AutoAdjust() const
{
    return CheckBox1->isChecked();
}

void TFrmprint::SetPrinterDialogs(std::unique_ptr<TPrinterDialogs> dialogs)
{
    if (Preview)
        Preview->SetPrinterDialogs(std::move(dialogs));
}

void TFrmprint::ListBox1Click()
{
    const int row = ListBox1->currentRow();
    SyncToModel();
    m_model.ListClick(row);
    SyncFromModel();
}

void TFrmprint::UnitsChange()
{
    const int unit = Units->currentIndex();
    SyncToModel();
    m_model.UnitsChange(unit);
    SyncFromModel();
}

void TFrmprint::PageWidthEnter(QLineEdit *box)
{
    EnteredText = box->text();
}

void TFrmprint::PageWidthExit(QLineEdit *box)
{
    QString text = box->text();
    std::optional<QString> message;
    try {
        message = m_model.LeaveBox(text, EnteredText);
        box->setText(text);
    } catch (const EPaperError &e) {
        // Not a number: the box keeps what was typed, for the user to mend;
        // the other boxes keep theirs.
        message = QString::fromUtf8(e.what());
    }
    if (message)
        m_dialogs.ShowMessage(*message);
}

bool TFrmprint::PageWidthKeyPress(QLineEdit *box, QChar key)
{
    if (key == QChar(13)) {
        PageWidthExit(box);
        return true;
    }
    return m_model.AcceptsKey(key);
}

void TFrmprint::Button1Click()
{
    Guard([this] {
        SyncToModel();
        if (const std::optional<QString> refusal = m_model.CheckCardSize()) {
            m_dialogs.ShowMessage(*refusal);
            return;
        }
        Accepted = true;
        close();
    });
}

void TFrmprint::Button2Click()
{
    Accepted = false;
    close();
}

void TFrmprint::done(int result)
{
    // The preview belongs to one use of the dialog.
    Preview.reset();
    QDialog::done(result);
}

bool TFrmprint::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonPress)
        m_rowAtPress = ListBox1->currentRow();
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box || !SizeBoxes().contains(box))
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    // Only a move of the focus between the dialog's own controls enters or
    // leaves a box: a message box or a menu popping up over the dialog, or
    // another window being activated, does not.
    case QEvent::FocusIn:
        if (!IsWindowFocusChange(static_cast<QFocusEvent *>(event)->reason()))
            PageWidthEnter(box);
        break;
    case QEvent::FocusOut:
        if (!IsWindowFocusChange(static_cast<QFocusEvent *>(event)->reason()))
            PageWidthExit(box);
        break;
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            PageWidthKeyPress(box, QChar(13));
            return true;
        }
        // Only typed characters are judged; editing keys (Delete, whose
        // text is DEL, among them) and shortcuts pass.
        const QString text = key->text();
        const bool typed = text.size() == 1 && ((text[0].unicode() >= 32 && text[0].unicode() != 127) ||
                                                text[0] == QChar(8));
        if (typed && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return !PageWidthKeyPress(box, text[0]);
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmprint::PrintImage(const QString &fileName)
{
    LoadPrintPicture(fileName);
    ShowPrintPicture();
}

void TFrmprint::LoadPrintPicture(const QString &fileName)
{
    m_card = PictureCardScene(LoadCardPicture(fileName));
}

void TFrmprint::PrintCard(const TCardScene &card)
{
    m_card = card;
    ShowPrintPicture();
}

void TFrmprint::ShowPrintPicture()
{
    // The margins are 0 and the band is the whole page: the card lies at
    // the paper's top-left corner, one card pixel to 1/96 inch.
    for (QLineEdit *margin : {Topmargin, BottomMargin, LeftMargin, RightMargin})
        margin->setText(QStringLiteral("0"));
    SetCardPage(*m_report, m_paper);
    m_report->setFullPage(true);
    Report1Preview();
}

void TFrmprint::Report1Preview()
{
    if (!Preview)
        return;
    Preview->Attach([this](QPrinter *printer) {
        printer->setFullPage(true);
        PrintCardPage(m_card, m_paper, *printer);
    });
    Preview->setWindowState(Preview->windowState() | Qt::WindowMaximized);
    Preview->exec();
}
