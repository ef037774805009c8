#include "compose/captions.h"


#include <QStringList>

#include <algorithm>

namespace compose {

QString TitleLine(const PictureCaption& record)
{
    QString line = record.Title;
    if (record.Year != 0)
        line += QStringLiteral(", ") + QString::number(record.Year);
    return line;
}

QString CreditLine(const PictureCaption& record)
{
    if (record.Author.isEmpty())
        return {};
    if (record.PlainCredit)
        return record.Author;
    return QStringLiteral("\u00A9 ") + record.Author;
}

QString ShortDescription(const PictureCaption& record, int maximum)
{
    QString text = record.Title;
    QStringList parts;
    if (record.Year != 0)
        parts << QString::number(record.Year);
    if (!record.Author.isEmpty())
        parts << record.Author;
    if (!parts.isEmpty())
        text += QStringLiteral(" (") + parts.join(QStringLiteral(", ")) + QLatin1Char(')');
    if (text.size() > maximum) {
        qsizetype keep = std::max(0, maximum - 5);
        // Never cut a character that needs two UTF-16 units in half.
        if (keep > 0 && text.at(keep - 1).isHighSurrogate())
            --keep;
        text = text.left(keep) + QStringLiteral("...");
    }
    return text;
}

QString SpaceLetters(const QString& text, int n)
{
    QString spaced;
    spaced.reserve(text.size() * (n + 1));
    const QString blanks(std::max(0, n), QLatin1Char(' '));
    for (qsizetype i = 0; i < text.size(); ++i) {
        spaced += text.at(i);
        // The blanks go after whole characters, not between the halves of one.
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            continue;
        spaced += blanks;
    }
    qsizetype first = 0;
    qsizetype last = spaced.size();
    while (first < last && spaced.at(first).unicode() <= ' ')
        ++first;
    while (last > first && spaced.at(last - 1).unicode() <= ' ')
        --last;
    return spaced.mid(first, last - first);
}

} // namespace compose
