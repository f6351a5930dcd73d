#include "keyboard/KeyCapText.h"

QString KeyCapText(const QString &code)
{
    static const char16_t *const caps[] = {
        u"[\n{", u"]\n}", u"|\n\\", u":\n;", u"''\n'", u"<\n,", u">\n.", u"/\n?", u"`\n~", u"-\n_",
        u"=\n+", u"/", u"*", u"-", u"+", u".", u"\u2190", u"\u2192", u"\u2191", u"\u2193"};
    if (code.startsWith(QLatin1Char('@'))) {
        bool ok = false;
        const int n = code.midRef(1).toInt(&ok);
        if (ok && n >= 1 && n <= 20 && code == QStringLiteral("@%1").arg(n))
            return QString::fromUtf16(caps[n - 1]);
    }
    return QStringLiteral("NULL");
}
