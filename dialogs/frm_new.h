#pragma once
// The new-card dialog: the templates of Template/ (and the user's own, when
// installed) in a list with the selected one's preview beside it; Create asks
// for a card name and copies the template into the cards' folder (MyCard/).

#include "places/places.h"

#include <QDialog>
#include <QString>
#include <QUrl>

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TDialogs;
class TImage;

class TFrmNew : public QDialog {
    Q_OBJECT
public:
    // `programFolder` ends in '/'; Template/ and MyCard/ lie in it. Boxes
    // are shown through `dialogs`.
    TFrmNew(const QString &programFolder, TDialogs &dialogs, QWidget *parent = nullptr);
    // The templates and the cards' folder where `places` says.
    TFrmNew(const TPlaces &places, TDialogs &dialogs, QWidget *parent = nullptr);

    QString TemplateDir;  // the shipped templates, places.Templates
    QString CardName;     // the name the user gave
    QString CardFolder;   // output: places.Cards + CardName + "/"
    bool Accepted = false;  // a card folder was created and holds the whole template

    // Opens the web-site address; tests replace it so that no browser starts.
    std::function<bool(const QUrl &)> OpenAddress;

    QGroupBox *GroupBox1 = nullptr;
    QListWidget *ListBox1 = nullptr;
    QGroupBox *GroupBox2 = nullptr;
    TImage *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *BitBtn1 = nullptr;  // Create
    QPushButton *BitBtn2 = nullptr;  // Cancel
    QPushButton *ImportButton = nullptr;  // Import template... (template_import.h)

    void ListBox1Click();  // shows the selected template's preview
    void Label1Click();
    void BitBtn1Click();   // Create
    void BitBtn2Click();   // Cancel
    // Import template...: a template folder (its template.bmp chosen) or a
    // .zip file, copied into the user's templates and selected in the list.
    void ImportClick();

    // Where Label1 leads: the build's templates address, or else the
    // guide's page on getting more templates (`guide` is the guide's file).
    static QString TemplatesAddress(const QString &guide);

protected:
    // Enter or Space on the focused web-site label opens the address.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void FormCreate();
    void FillList();
    // Asks for a name until one can be used; the folder it names does not exist.
    QString AskCardName(const QString &cardRoot);
    void CreateCard(const QString &templateFolder);

    // The folder of the template in the list's row.
    QString TemplateFolderAt(int row) const;

    TPlaces m_places;
    TDialogs &m_dialogs;
    bool m_creating = false;
};
