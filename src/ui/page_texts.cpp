#include "ui/page_texts.h"

#include <cmath>

namespace ui {

QString NumberToWords(int n)
{
    static const char* const small[] = {
        "none", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten",
        "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen",
        "eighteen", "nineteen"};
    static const char* const tens[] = {"", "", "twenty", "thirty", "forty", "fifty",
                                       "sixty", "seventy", "eighty", "ninety"};
    if (n < 0)
        return {};
    if (n < 20)
        return QString::fromLatin1(small[n]);
    if (n < 100) {
        QString words = QString::fromLatin1(tens[n / 10]);
        if (n % 10 != 0)
            words += QLatin1Char(' ') + QString::fromLatin1(small[n % 10]);
        return words;
    }
    return QString::number(n);
}

QString CapitalizeFirst(const QString& text)
{
    if (text.isEmpty())
        return text;
    return text.left(1).toUpper() + text.mid(1);
}

QString PackCountText(int installedPackCount)
{
    return QStringLiteral("  ") + CapitalizeFirst(NumberToWords(installedPackCount))
        + (installedPackCount == 1 ? QStringLiteral(" pack") : QStringLiteral(" packs"))
        + QStringLiteral(" installed");
}

QSize PreviewSize(int clientHeight, int pictureWidth, int pictureHeight)
{
    double a = 1.0;
    if (pictureWidth != 0)
        a = static_cast<double>(pictureHeight) / pictureWidth;
    if (a > 2.8)
        a = 2.8;
    // A picture with no height would make the width infinite; such a picture shows
    // nothing, so it gets the size of a square one instead.
    if (a <= 0.0)
        a = 1.0;
    const int width = static_cast<int>(clientHeight * 0.4 / std::sqrt(a));
    const int height = static_cast<int>(width * a);
    return {width, height};
}

} // namespace ui
