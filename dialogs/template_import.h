#pragma once
// Import template: a template folder (or a .zip file holding one) copied
// into the templates folder the user may write, once it reads as a card
// reads when it is opened and its preview reads. No widgets.

#include <QString>
#include <QStringList>

#include <stdexcept>

// Why a template cannot be imported; the text is shown to the user.
class ETemplateImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Imports the template at `source` (a folder, or a .zip file whose top holds
// the template's files or one folder of them) into `userTemplates`, made if
// missing, under the folder's name (a .zip's own name when its files lie at
// its top). `templateFolders` are every folder the gallery lists, so that no
// name is listed twice. Nothing is added unless the whole template was
// copied and checked. Returns the template's name; raises
// ETemplateImportError with the reason.
QString ImportTemplate(const QString &source, const QString &userTemplates, const QStringList &templateFolders);
