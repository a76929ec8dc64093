#pragma once
// The main window's messages and questions, each written once: several
// commands show the same words, and a user learns them.

#include <QString>

// Shown by every command that needs an open card while none is.
inline const QString NoCardMessage = QStringLiteral("Please Create a new card or open a card first!");
// A card picture (an export, Temp.bmp for printing) that could not be written.
inline const QString SaveErrorMessage =
    QStringLiteral("Save Error, Please contact technical support or retry later!");
// A fixed message with what failed and why below it.
inline QString WithReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\n\n") + reason;
}
// Open or New found no template.bmp in the card's folder.
inline const QString CardErrorMessage = QStringLiteral("Sorry, the Card File is error!");
inline const QString SavedMessage = QStringLiteral("Saved OK!");
// Save refuses to change a shipped template.
inline const QString TemplateSaveMessage =
    QStringLiteral("This card is one of the program's templates, which are never changed. Please make a card "
                   "from the template with New, and edit and save that card.");
// Save As refuses to put a picture among the templates.
inline const QString TemplateExportMessage =
    QStringLiteral("Pictures are not saved among the program's templates, which are never changed. Please "
                   "choose another folder.");

// One card, one window.
inline const QString CardInUseQuestion =
    QStringLiteral("This card is open in another window. Open it read-only? You can look at it, print it and save it "
                   "as a picture, but not save the card.");
inline const QString CardInUseCaption = QStringLiteral("Card in use");
inline const QString ReadOnlyCardMessage =
    QStringLiteral("This card was opened read-only, because another window has it open. Please save it there.");
inline const QString ReadOnlyDiscardQuestion =
    QStringLiteral("This card was opened read-only, so this window cannot save your changes to it. Discard them?");
inline const QString ReadOnlyDiscardCaption = QStringLiteral("Discard changes?");
inline const QString ChangedOnDiskQuestion =
    QStringLiteral("The card's files were changed on disk since this window read them (by another window or "
                   "program). Save this window's card over those changes?");
inline const QString ChangedOnDiskCaption = QStringLiteral("The card has changed");

// Questions and their captions.
inline const QString SaveTheCardQuestion = QStringLiteral("Save the Card?");
inline const QString SaveTheCardCaption = QStringLiteral("Please Make sure.");
inline const QString ExitQuestion = QStringLiteral("Are you sure to Exit?");
inline const QString ExitCaption = QStringLiteral("Are you sure?");
