#include "richtext/rich_edit_box.h"

#include "imaging/atomicfile.h"
#include "imaging/regularfile.h"

#include "richtext/rich_text_render.h"
#include "richtext/rtf.h"
#include "richtext/text_format_dialog.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

#include <memory>

TRichEditBox::TRichEditBox(QWidget *parent)
    : QTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    QPalette ground = palette();
    ground.setColor(QPalette::Base, Qt::transparent);
    ground.setColor(QPalette::Window, Qt::transparent);
    setPalette(ground);
    // The text starts at the box's edge on screen exactly as in the rendered card.
    document()->setDocumentMargin(0);
    setAcceptRichText(true);
}

bool TRichEditBox::LoadFromFile(const QString &fileName, QString *error)
{
    QByteArray data;
    try {
        // Only a regular file: a FIFO would block the window until a writer came.
        const std::string bytes = ReadRegularFile(QFile::encodeName(fileName).toStdString(), size_t(kMaxRtfBytes) + 1);
        data = QByteArray(bytes.data(), qsizetype(bytes.size()));
    } catch (const std::exception &failure) {
        clear();
        if (error)
            *error = QString::fromUtf8(failure.what());
        return false;
    }
    return LoadFromBytes(data, fileName, error);
}

bool TRichEditBox::LoadFromBytes(const QByteArray &data, const QString &fileName, QString *error)
{
    clear();
    QString why;
    if (!ReadRtfOrPlainText(data, document(), &why)) {
        clear();
        if (error)
            *error = QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, why);
        return false;
    }
    ShowFromTheTop();
    return true;
}

void TRichEditBox::ShowFromTheTop()
{
    document()->setDocumentMargin(0);
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
}

bool TRichEditBox::SaveToFile(const QString &fileName, QString *error) const
{
    const QByteArray rtf = WriteRtf(document());
    try {
        WriteFileAtomically(QFile::encodeName(fileName).toStdString(),
                            std::string_view(rtf.constData(), size_t(rtf.size())));
    } catch (const std::exception &failure) {
        if (error)
            *error = QString::fromUtf8(failure.what());
        return false;
    }
    return true;
}

bool TRichEditBox::FormatRange(QPaintDevice *device, const TTwipsRect &rect) const
{
    if (!device)
        return false;
    QPainter painter(device);
    if (!painter.isActive())
        return false;
    return FormatRange(&painter, rect);
}

bool TRichEditBox::FormatRange(QPainter *painter, const TTwipsRect &rect) const
{
    return RenderRichText(document(), painter, rect);
}

namespace {

// The selection, or the whole text when nothing is selected.
QTextCursor TargetOf(QTextCursor cursor)
{
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::Document);
    return cursor;
}

} // namespace

QTextCharFormat TRichEditBox::FormatForDialog() const
{
    const QTextCursor target = TargetOf(textCursor());
    const int start = target.selectionStart();
    const int end = target.selectionEnd();
    const QFontInfo fallback(document()->defaultFont());
    const QString fallbackFamily = fallback.family();
    const double fallbackSize = fallback.pointSizeF();
    // The properties the dialog shows, each set to its value in effect.
    const auto resolved = [&](const QTextCharFormat &format) {
        QTextCharFormat shown;
        const QString family = format.fontFamilies().toStringList().value(0);
        shown.setFontFamilies(QStringList{family.isEmpty() ? fallbackFamily : family});
        shown.setFontPointSize(format.fontPointSize() > 0 ? format.fontPointSize() : fallbackSize);
        shown.setFontWeight(format.fontWeight() >= QFont::DemiBold ? QFont::Bold : QFont::Normal);
        shown.setFontItalic(format.fontItalic());
        shown.setFontUnderline(format.fontUnderline());
        return shown;
    };

    QTextCursor first(document());
    first.setPosition(start);
    first.movePosition(QTextCursor::NextCharacter);
    const QTextCharFormat format = first.charFormat();
    QTextCharFormat common = resolved(format);
    // A property the rest of the text does not share is left undecided.
    for (QTextBlock block = document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= end || fragment.position() + fragment.length() <= start)
                continue;
            const QTextCharFormat other = resolved(fragment.charFormat());
            const auto properties = common.properties();
            for (auto property = properties.begin(); property != properties.end(); ++property) {
                if (other.property(property.key()) != property.value())
                    common.clearProperty(property.key());
            }
        }
    }
    // The colour is the first character's; the dialog changes it only when
    // the user picks one.
    if (format.hasProperty(QTextFormat::ForegroundBrush))
        common.setForeground(format.foreground());
    return common;
}

void TRichEditBox::ApplyTextFormat(const QTextCharFormat &changes,
                                   std::optional<Qt::Alignment> alignment)
{
    const bool whole = !textCursor().hasSelection();
    QTextCursor target = TargetOf(textCursor());
    target.beginEditBlock();
    target.mergeCharFormat(changes);
    if (alignment) {
        QTextBlockFormat paragraph;
        paragraph.setAlignment(*alignment);
        target.mergeBlockFormat(paragraph);
    }
    target.endEditBlock();
    if (whole)
        mergeCurrentCharFormat(changes);
}

void TRichEditBox::ShowFormatDialog()
{
    TTextFormatDialog dialog(this);
    dialog.SetFormat(FormatForDialog(), textCursor().blockFormat().alignment());
    if (dialog.exec() != QDialog::Accepted)
        return;
    ApplyTextFormat(dialog.CharChanges(), dialog.AlignmentChange());
    setFocus();
}

void TRichEditBox::mousePressEvent(QMouseEvent *event)
{
    m_pressedInside = event->button() == Qt::LeftButton;
    QTextEdit::mousePressEvent(event);
}

void TRichEditBox::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    const bool click = m_pressedInside && event->button() == Qt::LeftButton
                       && viewport()->rect().contains(event->position().toPoint());
    m_pressedInside = false;
    if (click && OnClick)
        OnClick(this);
}

void TRichEditBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTextEdit::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        ShowFormatDialog();
}

bool TRichEditBox::IsHistoryKey(const QKeyEvent *event)
{
    const QKeyCombination keys = event->keyCombination();
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)
           || keys == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)
           || keys == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

bool TRichEditBox::event(QEvent *event)
{
    // Not claimed, so the window's shortcuts get these keys.
    if (event->type() == QEvent::ShortcutOverride && IsHistoryKey(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return false;
    }
    return QTextEdit::event(event);
}

void TRichEditBox::keyPressEvent(QKeyEvent *event)
{
    if (IsHistoryKey(event)) {
        event->ignore();
        return;
    }
    if (event->modifiers() != Qt::ControlModifier) {
        QTextEdit::keyPressEvent(event);
        return;
    }
    const QTextCharFormat current = currentCharFormat();
    QTextCharFormat change;
    switch (event->key()) {
    case Qt::Key_B:
        change.setFontWeight(current.fontWeight() >= QFont::DemiBold ? QFont::Normal : QFont::Bold);
        break;
    case Qt::Key_I:
        change.setFontItalic(!current.fontItalic());
        break;
    case Qt::Key_U:
        change.setFontUnderline(!current.fontUnderline());
        break;
    case Qt::Key_L: setAlignment(Qt::AlignLeft); return;
    case Qt::Key_E: setAlignment(Qt::AlignHCenter); return;
    case Qt::Key_R: setAlignment(Qt::AlignRight); return;
    case Qt::Key_J: setAlignment(Qt::AlignJustify); return;
    default:
        QTextEdit::keyPressEvent(event);
        return;
    }
    mergeCurrentCharFormat(change);
}

void TRichEditBox::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
    // The menu's Undo and Redo would go round the card's history; the
    // toolbar's and the keys' go through it.
    for (QAction *action : menu->actions()) {
        if (action->objectName() == QLatin1String("edit-undo") || action->objectName() == QLatin1String("edit-redo"))
            menu->removeAction(action);
    }
    menu->addSeparator();
    menu->addAction(tr("Format Text..."), this, &TRichEditBox::ShowFormatDialog);
    menu->exec(event->globalPos());
}
