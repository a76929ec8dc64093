// The text box as the design surface uses it: files, clicks, transparency,
// formatting the selection.

#include "richtext/rich_edit_box.h"
#include "richtext/text_format_dialog.h"

#include "richtext_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace rtftest;

namespace {

void Select(TRichEditBox &box, const QString &text)
{
    box.setTextCursor(box.document()->find(text));
}

} // namespace

TEST(RichEditBox, SavesAndLoadsRtf)
{
    QTemporaryDir dir;
    TRichEditBox box;
    ASSERT_TRUE(box.LoadFromFile(DataPath("wordpad_card.rtf")));
    const QString saved = dir.filePath(QStringLiteral("0.rtf"));
    QString error;
    ASSERT_TRUE(box.SaveToFile(saved, &error)) << error.toStdString();
    TRichEditBox again;
    ASSERT_TRUE(again.LoadFromFile(saved));
    EXPECT_EQ(Describe(*again.document()), Describe(*box.document()));
    EXPECT_TRUE(again.toPlainText().contains(QStringLiteral("新年快乐")));
    // Undo right after opening must not take the card's text away.
    EXPECT_FALSE(again.document()->isUndoAvailable());
}

TEST(RichEditBox, LoadsPlainTextButNothingBeyondBounds)
{
    QTemporaryDir dir;
    TRichEditBox box;
    box.setPlainText(QStringLiteral("earlier text"));
    QString error;
    const QString missing = dir.filePath(QStringLiteral("3.rtf"));
    EXPECT_FALSE(box.LoadFromFile(missing, &error));
    EXPECT_TRUE(box.document()->isEmpty());
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();

    QFile file(dir.filePath(QStringLiteral("1.rtf")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Dear Zo\xeb,\nhappy birthday!"); // Windows-1252, not UTF-8
    file.close();
    ASSERT_TRUE(box.LoadFromFile(file.fileName()));
    EXPECT_EQ(box.toPlainText(), QStringLiteral("Dear Zoë,\nhappy birthday!"));

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(kMaxRtfBytes + 1, 'x'));
    file.close();
    EXPECT_FALSE(box.LoadFromFile(file.fileName(), &error));
    EXPECT_TRUE(box.document()->isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("16 MB"))) << error.toStdString();

    // A failed save leaves what is in the way as it was.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("2.rtf")));
    EXPECT_FALSE(box.SaveToFile(dir.filePath(QStringLiteral("2.rtf")), &error));
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("2.rtf"))).isDir());
}

TEST(RichEditBox, NotifiesLeftClicks)
{
    TRichEditBox box;
    box.resize(200, 80);
    box.show();
    int clicks = 0;
    box.OnClick = [&](TRichEditBox *sender) {
        EXPECT_EQ(sender, &box);
        ++clicks;
    };
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(box.viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicks, 1);
}

TEST(RichEditBox, ShowsOnlyItsText)
{
    QWidget card;
    card.resize(300, 200);
    QPalette ground = card.palette();
    ground.setColor(QPalette::Window, QColor(0, 128, 0));
    card.setPalette(ground);
    card.setAutoFillBackground(true);
    auto *box = new TRichEditBox(&card);
    box->setGeometry(20, 20, 260, 160);
    box->setPlainText(QStringLiteral("Hi"));
    card.show();
    const QImage shot = card.grab().toImage();
    // Beside and below the text, and at the box's edges: the card itself.
    for (const QPoint at : {QPoint(20, 20), QPoint(150, 100), QPoint(279, 179), QPoint(200, 25)})
        EXPECT_EQ(shot.pixelColor(at), QColor(0, 128, 0)) << at.x() << "," << at.y();
    EXPECT_NE(Ink(shot), QRect());
}

TEST(RichEditBox, FormatsTheSelectionOrTheWholeText)
{
    TRichEditBox box;
    box.setPlainText(QStringLiteral("Happy birthday Anna\nLove, Marc"));
    Select(box, QStringLiteral("birthday"));
    QTextCharFormat changes;
    changes.setFontWeight(QFont::Bold);
    changes.setForeground(QColor(0, 0, 255));
    box.ApplyTextFormat(changes, Qt::AlignHCenter);
    const QTextDocument &doc = *box.document();
    EXPECT_EQ(FormatOf(doc, QStringLiteral("birthday")).fontWeight(), QFont::Bold);
    EXPECT_EQ(ColourOf(FormatOf(doc, QStringLiteral("birthday")).foreground()), QStringLiteral("#0000ff"));
    EXPECT_NE(FormatOf(doc, QStringLiteral("Happy")).fontWeight(), QFont::Bold);
    EXPECT_EQ(BlockFormatOf(doc, QStringLiteral("Happy")).alignment(), Qt::AlignHCenter);
    EXPECT_NE(BlockFormatOf(doc, QStringLiteral("Love")).alignment(), Qt::AlignHCenter);

    QTextCursor none = box.textCursor();
    none.clearSelection();
    box.setTextCursor(none);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    box.ApplyTextFormat(italic, std::nullopt);
    EXPECT_TRUE(FormatOf(doc, QStringLiteral("Happy")).fontItalic());
    EXPECT_TRUE(FormatOf(doc, QStringLiteral("Marc")).fontItalic());
    EXPECT_EQ(FormatOf(doc, QStringLiteral("birthday")).fontWeight(), QFont::Bold);

    // The rich-edit keys act on the selection only.
    Select(box, QStringLiteral("Marc"));
    QTest::keyClick(&box, Qt::Key_U, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(FormatOf(doc, QStringLiteral("Marc")).fontUnderline());
    EXPECT_FALSE(FormatOf(doc, QStringLiteral("Love")).fontUnderline());
    EXPECT_EQ(BlockFormatOf(doc, QStringLiteral("Marc")).alignment(), Qt::AlignRight);
}

TEST(TextFormatDialog, ReportsOnlyWhatTheUserChanged)
{
    QTextCharFormat start;
    start.setFontFamilies(QStringList{QStringLiteral("A Family Not Installed")});
    start.setFontPointSize(14);
    start.setFontWeight(QFont::Normal);
    start.setFontItalic(false);
    start.setFontUnderline(false);
    TTextFormatDialog dialog;
    dialog.SetFormat(start, Qt::AlignLeft);
    EXPECT_TRUE(dialog.CharChanges().properties().isEmpty());
    EXPECT_FALSE(dialog.AlignmentChange());

    dialog.BoldBox->setChecked(true);
    dialog.ChooseColour(QColor(200, 0, 0));
    dialog.AlignmentBox->setCurrentIndex(2);
    const QTextCharFormat changes = dialog.CharChanges();
    EXPECT_EQ(changes.fontWeight(), QFont::Bold);
    EXPECT_EQ(changes.foreground().color(), QColor(200, 0, 0));
    EXPECT_FALSE(changes.hasProperty(QTextFormat::FontFamilies));
    EXPECT_FALSE(changes.hasProperty(QTextFormat::FontPointSize));
    EXPECT_FALSE(changes.hasProperty(QTextFormat::FontItalic));
    EXPECT_EQ(dialog.AlignmentChange(), Qt::AlignRight);
}

TEST(TextFormatDialog, ShowsEverySizeTheReaderAccepts)
{
    TRichEditBox box;
    TTextFormatDialog dialog;
    for (const int halfPoints : {2, 3, 15, 24, 200, 819, 2001, 3275, 3276, 99999}) {
        const QByteArray rtf = "{\\rtf1\\fs" + QByteArray::number(halfPoints) + " Big}";
        ASSERT_TRUE(box.LoadFromBytes(rtf, QStringLiteral("0.rtf")));
        dialog.SetFormat(box.FormatForDialog(), Qt::AlignLeft);
        EXPECT_EQ(dialog.SizeBox->currentText(), QString::number(std::min(halfPoints, 3276) / 2.0))
            << halfPoints;
        EXPECT_TRUE(dialog.CharChanges().properties().isEmpty()) << halfPoints;
    }
}

TEST(TextFormatDialog, WhatTheTextDoesNotShareIsUndecidedUntilTheUserSettlesIt)
{
    TRichEditBox box;
    ASSERT_TRUE(box.LoadFromBytes("{\\rtf1\\fs24 small {\\fs3276 huge} {\\b bold}}", QStringLiteral("0.rtf")));
    TTextFormatDialog dialog;
    dialog.SetFormat(box.FormatForDialog(), Qt::AlignLeft);
    EXPECT_EQ(dialog.SizeBox->currentText(), QString());
    EXPECT_EQ(dialog.BoldBox->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(dialog.ItalicBox->checkState(), Qt::Unchecked);
    EXPECT_EQ(dialog.UnderlineBox->checkState(), Qt::Unchecked);
    EXPECT_TRUE(dialog.CharChanges().properties().isEmpty());

    dialog.SizeBox->setCurrentText(QStringLiteral("12"));
    dialog.ItalicBox->setChecked(true);
    box.ApplyTextFormat(dialog.CharChanges(), dialog.AlignmentChange());
    const QTextDocument &doc = *box.document();
    for (const QString &word : {QStringLiteral("small"), QStringLiteral("huge"), QStringLiteral("bold")}) {
        EXPECT_EQ(FormatOf(doc, word).fontPointSize(), 12) << word.toStdString();
        EXPECT_TRUE(FormatOf(doc, word).fontItalic()) << word.toStdString();
    }
    EXPECT_EQ(FormatOf(doc, QStringLiteral("bold")).fontWeight(), QFont::Bold);
    EXPECT_NE(FormatOf(doc, QStringLiteral("small")).fontWeight(), QFont::Bold);

    // Settling the undecided bold makes all of it bold.
    dialog.SetFormat(box.FormatForDialog(), Qt::AlignLeft);
    dialog.BoldBox->setCheckState(Qt::Checked);
    EXPECT_EQ(dialog.CharChanges().fontWeight(), QFont::Bold);
}

TEST(TextFormatDialog, ReachesARunTooLargeForItsBox)
{
    // A 1638 pt word lies far below a box of a card; a double-click in the
    // box still opens the dialog for it, and the dialog makes it small.
    TRichEditBox box;
    box.resize(200, 80);
    ASSERT_TRUE(box.LoadFromBytes("{\\rtf1{\\fonttbl{\\f0 DejaVu Sans;}}\\f0\\fs3276 Big}", QStringLiteral("0.rtf")));
    box.show();
    QString shown;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<TTextFormatDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        shown = dialog->SizeBox->currentText();
        dialog->SizeBox->setCurrentText(QStringLiteral("14"));
        dialog->accept();
    });
    QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, QPoint(100, 40));
    EXPECT_EQ(shown, QStringLiteral("1638"));
    EXPECT_EQ(FormatOf(*box.document(), QStringLiteral("Big")).fontPointSize(), 14);
}
