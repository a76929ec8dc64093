#include "dialogs/frm_new.h"

#include "controls/accessibility.h"
#include "controls/dialogs.h"
#include "controls/image.h"
#include "dialogs/card_names.h"
#include "dialogs/directory_copy.h"
#include "dialogs/template_import.h"
#include "dialogs/template_preview.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef TESSALY_TEMPLATES_ADDRESS
#define TESSALY_TEMPLATES_ADDRESS ""
#endif

TFrmNew::TFrmNew(const QString &programFolder, TDialogs &dialogs, QWidget *parent)
    : TFrmNew(PlacesBeside(programFolder), dialogs, parent)
{
}

TFrmNew::TFrmNew(const TPlaces &places, TDialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_places(places), m_dialogs(dialogs)
{
    OpenAddress = [](const QUrl &address) { return QDesktopServices::openUrl(address); };
    BuildControls();
    FormCreate();
}

QString TFrmNew::TemplatesAddress(const QString &guide)
{
    const QString configured = QStringLiteral(TESSALY_TEMPLATES_ADDRESS);
    if (!configured.isEmpty())
        return configured;
    QUrl page = QUrl::fromLocalFile(guide);
    page.setFragment(QStringLiteral("more-templates"));
    return page.toString();
}

void TFrmNew::BuildControls()
{
    setObjectName(QStringLiteral("FrmNew"));
    setWindowTitle(QStringLiteral("New Card"));
    setAccessibleName(QStringLiteral("New Card"));
    setModal(true);
    setFixedSize(691, 440);
    // A fixed dialog: nothing to minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    GroupBox1 = new QGroupBox(QStringLiteral("Select A Template"), this);
    Named(GroupBox1, "GroupBox1", QStringLiteral("Select A Template"));
    GroupBox1->setGeometry(8, 8, 233, 345);
    ListBox1 = new QListWidget(GroupBox1);
    Named(ListBox1, "ListBox1", QStringLiteral("Templates"),
         QStringLiteral("The templates a new card can start from; the preview shows the selected one"));
    ListBox1->setUniformItemSizes(true);
    auto *listLayout = new QVBoxLayout(GroupBox1);
    listLayout->addWidget(ListBox1);
    ImportButton = new QPushButton(QStringLiteral("Import template..."), GroupBox1);
    Named(ImportButton, "ImportButton", QStringLiteral("Import template"),
          QStringLiteral("Adds a template from a folder or a .zip file to the list"));
    listLayout->addWidget(ImportButton);

    GroupBox2 = new QGroupBox(QStringLiteral("Card Preview"), this);
    Named(GroupBox2, "GroupBox2", QStringLiteral("Card Preview"));
    GroupBox2->setGeometry(248, 8, 436, 345);
    Image1 = new TImage(GroupBox2);
    Named(Image1, "Image1", QStringLiteral("Card preview"), QStringLiteral("The selected template as a card"));
    Image1->setGeometry(16, 34, 400, 280);
    Image1->SetStretch(true);

    Label1 = new QLabel(this);
    Named(Label1, "Label1", QStringLiteral("Please check our web site to Get more free templates..."),
         QStringLiteral("Opens the address below"));
    Label1->setGeometry(8, 372, 473, 21);  // 17 and the focus frame round it
    Label1->setText(QStringLiteral("<a href=\"more\" style=\"color:#0000ff; text-decoration:underline\">"
                                   "Please check our web site to Get more free templates...</a>"));
    Label1->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    Label1->setCursor(Qt::PointingHandCursor);
    // Reached with Tab like a button, and shown so when it has the focus.
    Label1->setFocusPolicy(Qt::StrongFocus);
    Label1->setStyleSheet(QStringLiteral("QLabel { border: 1px solid transparent; }"
                                         "QLabel:focus { border: 1px dotted #0000ff; }"));
    Label1->installEventFilter(this);
    connect(Label1, &QLabel::linkActivated, this, [this] { Label1Click(); });

    Edit1 = new QLineEdit(this);
    Named(Edit1, "Edit1", QStringLiteral("Templates address"), QStringLiteral("Where more templates are found"));
    Edit1->setGeometry(8, 403, 473, 17);
    Edit1->setReadOnly(true);
    Edit1->setFrame(false);
    Edit1->setStyleSheet(QStringLiteral("QLineEdit { background: palette(button); }"));

    BitBtn1 = new QPushButton(QStringLiteral("Create"), this);
    Named(BitBtn1, "BitBtn1", QStringLiteral("Create"), QStringLiteral("Makes a new card from the selected template"));
    BitBtn1->setGeometry(488, 376, 81, 31);
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    Named(BitBtn2, "BitBtn2", QStringLiteral("Cancel"));
    BitBtn2->setGeometry(602, 376, 81, 31);

    // Moving through the list by mouse or keyboard shows each preview; a
    // double-click creates, and Enter presses the default button Create.
    connect(ListBox1, &QListWidget::currentRowChanged, this, [this] { ListBox1Click(); });
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(ImportButton, &QPushButton::clicked, this, [this] { ImportClick(); });
    setTabOrder(ListBox1, ImportButton);
    setTabOrder(ImportButton, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, Label1);
    setTabOrder(Label1, Edit1);
}

void TFrmNew::FormCreate()
{
    Accepted = false;
    ListBox1->clear();
    TemplateDir = m_places.Templates;
    Edit1->setText(TemplatesAddress(m_places.Guide));
    // The template folder becomes the current directory, as it always did.
    if (!QFileInfo(TemplateDir).isDir() || !QDir::setCurrent(TemplateDir)) {
        m_dialogs.ShowMessage(QStringLiteral("The template folder \"%1\" cannot be opened.")
                                  .arg(QDir::toNativeSeparators(TemplateDir)));
        return;
    }
    FillList();
}

void TFrmNew::FillList()
{
    const QSignalBlocker quiet(ListBox1);
    ListBox1->clear();
    for (const QString &folder : m_places.TemplateFolders())
        for (const QString &name : ListTemplates(folder)) {
            auto *item = new QListWidgetItem(name, ListBox1);
            item->setData(Qt::UserRole, folder + name + QLatin1Char('/'));
        }
    for (int i = 0; i < ListBox1->count(); ++i)
        ListBox1->item(i)->setSizeHint(QSize(ListBox1->item(i)->sizeHint().width(), 16));
    if (ListBox1->count() > 0) {
        ListBox1->setCurrentRow(0);
        ListBox1Click();
    }
}

void TFrmNew::ListBox1Click()
{
    if (ListBox1->currentRow() < 0)
        return;
    const TPreview preview = LoadPreview(TemplateFolderAt(ListBox1->currentRow()) + QStringLiteral("preview.jpg"));
    if (preview.Image.isNull()) {
        m_dialogs.ShowMessage(preview.Error);  // the previous preview stays
        return;
    }
    Image1->SetPicture(FitPreview(preview.Image, Image1->size()));
}

bool TFrmNew::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            Label1Click();
            return true;  // not the default button's Enter
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmNew::Label1Click()
{
    if (!OpenAddress(QUrl(Edit1->text())))
        m_dialogs.ShowMessage(QStringLiteral("The address \"%1\" could not be opened.").arg(Edit1->text()));
}

void TFrmNew::BitBtn1Click()
{
    if (m_creating)
        return;
    if (ListBox1->currentRow() < 0 || ListBox1->selectedItems().isEmpty()) {
        m_dialogs.ShowMessage(QStringLiteral("Please select a template!"));
        return;
    }
    m_creating = true;
    CreateCard(TemplateFolderAt(ListBox1->currentRow()));
    m_creating = false;
    if (Accepted)
        accept();
}

void TFrmNew::BitBtn2Click()
{
    Accepted = false;
    reject();
}

QString TFrmNew::AskCardName(const QString &cardRoot)
{
    const QString proposal = ProposeCardName(cardRoot);
    for (;;) {
        // Cancel gives back the proposal, so it counts as accepting it.
        const QString name = m_dialogs.InputBox(QStringLiteral("Please Enter a Card Name"),
                                                QStringLiteral("Name your Calendar:"), proposal);
        const QString problem = CardNameProblem(name, cardRoot);
        if (problem.isEmpty())
            return name;
        m_dialogs.ShowMessage(problem);
    }
}

QString TFrmNew::TemplateFolderAt(int row) const
{
    return ListBox1->item(row)->data(Qt::UserRole).toString();
}

void TFrmNew::CreateCard(const QString &templateFolder)
{
    const QString cardRoot = m_places.Cards;
    CardName = AskCardName(cardRoot);
    CardFolder = cardRoot + CardName + QLatin1Char('/');
    // Without MyCard/ nothing is created.
    if (!QDir(cardRoot).exists()) {
        m_dialogs.ShowMessage(QStringLiteral("The card folder \"%1\" cannot be created: the folder \"%2\" does not "
                                             "exist.")
                                  .arg(QDir::toNativeSeparators(CardFolder), QDir::toNativeSeparators(cardRoot)));
        return;
    }
    // What a New killed part-way left behind goes first.
    RemoveAbandonedHiddenFolders(cardRoot);
    // The card is built out of sight and appears under its name whole or
    // not at all.
    QString failure;
    const QString building = StartHiddenFolder(cardRoot, &failure);
    bool copied = false;
    if (!building.isEmpty()) {
        try {
            copied = CopyDirectory(templateFolder, building, &failure)
                     && MoveFolderIntoPlace(building, cardRoot + CardName, &failure);
        } catch (const EDirectoryError &e) {
            failure = QString::fromUtf8(e.what());
        }
        if (!copied)
            QDir(building).removeRecursively();
    }
    if (!copied) {
        // The copy's own words, with the file and the system's reason below.
        const bool copyError = !failure.startsWith(QLatin1String("The folder \""));
        m_dialogs.ShowMessage(copyError ? QStringLiteral("Sorry, copy error!\n") + failure : failure);
        return;
    }
    Accepted = true;
}

void TFrmNew::ImportClick()
{
    TFileDialog chooser;
    chooser.Title = QStringLiteral("Import template");
    chooser.Filter = QStringLiteral("Template (template.bmp *.zip)");
    chooser.InitialDir = QDir::homePath();
    if (!m_dialogs.ExecuteOpen(chooser))
        return;
    // A folder is chosen by its template.bmp, as a card is by its Card.crd.
    const QFileInfo chosen(chooser.FileName);
    const QString source = chosen.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0
                               ? chosen.absoluteFilePath()
                               : chosen.absolutePath();
    QString name;
    try {
        name = ImportTemplate(source, m_places.UserTemplates, m_places.TemplateFolders());
    } catch (const ETemplateImportError &e) {
        m_dialogs.ShowMessage(QString::fromUtf8(e.what()));
        return;
    }
    FillList();
    const QString folder = QDir(m_places.UserTemplates).absolutePath() + QLatin1Char('/') + name + QLatin1Char('/');
    for (int row = 0; row < ListBox1->count(); ++row)
        if (QDir::cleanPath(TemplateFolderAt(row)) == QDir::cleanPath(folder))
            ListBox1->setCurrentRow(row);  // shows its preview
}
