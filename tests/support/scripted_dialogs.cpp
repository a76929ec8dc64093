#include "tests/support/scripted_dialogs.h"

void TScriptedDialogs::ShowMessage(const QString &text)
{
    ShowMessageBox(text, QString(), TMessageIcon::None);
}

void TScriptedDialogs::ShowMessageBox(const QString &text, const QString &caption, TMessageIcon icon)
{
    Messages.append(text);
    MessageCaptions.append(caption);
    MessageIcons.append(icon);
}

bool TScriptedDialogs::AskYesNo(const QString &text, const QString &caption)
{
    Questions.append(text);
    QuestionCaptions.append(caption);
    if (YesNoAnswers.empty()) {
        Unanswered.append(text);
        return false;
    }
    const bool answer = YesNoAnswers.front();
    YesNoAnswers.pop_front();
    return answer;
}

TAnswer TScriptedDialogs::AskYesNoCancel(const QString &text, const QString &caption)
{
    if (YesNoCancelAnswers.empty() && !YesNoAnswers.empty())
        return AskYesNo(text, caption) ? TAnswer::Yes : TAnswer::No;
    Questions.append(text);
    QuestionCaptions.append(caption);
    if (YesNoCancelAnswers.empty()) {
        Unanswered.append(text);
        return TAnswer::Cancel;
    }
    const TAnswer answer = YesNoCancelAnswers.front();
    YesNoCancelAnswers.pop_front();
    return answer;
}

int TScriptedDialogs::AskChoice(const QString &text, const QString &caption, const QStringList &)
{
    Questions.append(text);
    QuestionCaptions.append(caption);
    if (ChoiceAnswers.empty()) {
        Unanswered.append(text);
        return -1;
    }
    const int answer = ChoiceAnswers.front();
    ChoiceAnswers.pop_front();
    return answer;
}

QString TScriptedDialogs::InputBox(const QString &caption, const QString &prompt, const QString &initialText)
{
    InputPrompts.append(prompt);
    if (InputAnswers.empty()) {
        Unanswered.append(caption);
        return initialText;
    }
    const std::optional<QString> answer = InputAnswers.front();
    InputAnswers.pop_front();
    return answer.value_or(initialText);
}

bool TScriptedDialogs::ExecuteOpen(TFileDialog &dialog)
{
    return ExecuteFile(dialog);
}

bool TScriptedDialogs::ExecuteSave(TFileDialog &dialog)
{
    return ExecuteFile(dialog);
}

bool TScriptedDialogs::ExecuteFile(TFileDialog &dialog)
{
    FileDialogs.push_back(dialog);
    if (FileAnswers.empty()) {
        Unanswered.append(dialog.Filter);
        return false;
    }
    const std::optional<FileAnswer> answer = FileAnswers.front();
    FileAnswers.pop_front();
    if (!answer)
        return false;
    dialog.FileName = answer->FileName;
    dialog.FilterIndex = answer->FilterIndex;
    return true;
}
