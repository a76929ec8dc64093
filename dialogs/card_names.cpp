#include "dialogs/card_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

const QString CardNameExistsMessage =
    QStringLiteral("Sorry, the Card Name is already exists, please use another name");

namespace {

// A name as a person sorts it: letters without case or accents.
QString Folded(const QString &text)
{
    QString folded;
    for (QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            folded += c.toCaseFolded();
    }
    return folded;
}

} // namespace

int CompareInNameOrder(const QString &a, const QString &b)
{
    // The system collator follows the process's locale, which is often "C"
    // (byte order); this order is the same everywhere.
    const QString x = Folded(a);
    const QString y = Folded(b);
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < x.size() && j < y.size()) {
        if (x[i].isDigit() && y[j].isDigit()) {
            qsizetype ei = i;
            qsizetype ej = j;
            while (ei < x.size() && x[ei].isDigit())
                ++ei;
            while (ej < y.size() && y[ej].isDigit())
                ++ej;
            // Runs of digits by value: without leading zeros, longer is larger.
            QStringView dx = QStringView(x).mid(i, ei - i);
            QStringView dy = QStringView(y).mid(j, ej - j);
            while (dx.size() > 1 && dx.front() == QLatin1Char('0'))
                dx = dx.mid(1);
            while (dy.size() > 1 && dy.front() == QLatin1Char('0'))
                dy = dy.mid(1);
            if (dx.size() != dy.size())
                return dx.size() < dy.size() ? -1 : 1;
            if (const int order = dx.compare(dy); order != 0)
                return order;
            i = ei;
            j = ej;
            continue;
        }
        if (x[i] != y[j])
            return x[i] < y[j] ? -1 : 1;
        ++i;
        ++j;
    }
    return i < x.size() ? 1 : j < y.size() ? -1 : 0;
}

QStringList ListTemplates(const QString &templateDir)
{
    QStringList names;
    for (const QString &name : QDir(templateDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name.trimmed() != QStringLiteral(".") && name.trimmed() != QStringLiteral(".."))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int order = CompareInNameOrder(a, b);
        return order != 0 ? order < 0 : a < b;  // a total order, so the list is the same every time
    });
    return names;
}

QString ProposeCardName(const QString &cardRoot)
{
    for (qint64 n = 1;; ++n) {
        const QString name = QStringLiteral("Default") + QString::number(n);
        if (!QFileInfo::exists(cardRoot + name + QLatin1Char('/')))
            return name;
    }
}

QString CardNameProblem(const QString &name, const QString &cardRoot)
{
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return QStringLiteral("A card name cannot contain / or \\, as the card is a folder inside MyCard.");
    if (name == QStringLiteral(".") || name == QStringLiteral(".."))
        return QStringLiteral("A card name cannot be \".\" or \"..\": these name folders that already exist.");
    if (std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }))
        return QStringLiteral("A card name cannot contain control characters such as tabs or line breaks.");
    if (QFile::encodeName(name).size() > MaxCardNameBytes)
        return QStringLiteral("A card name can be at most %1 bytes long; please use a shorter name.")
            .arg(MaxCardNameBytes);
    // Anything of that name, a plain file or a broken link too, is in the way.
    if (QFileInfo::exists(cardRoot + name) || QFileInfo(cardRoot + name).isSymLink())
        return CardNameExistsMessage;
    if (name.isEmpty())
        return QStringLiteral("Please enter a name for the card.");
    return QString();
}
