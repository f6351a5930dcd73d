#include "app/ProgramVersion.h"

#include <QStringList>
#include <QVector>
#include <QVersionNumber>

namespace {

// Dotted decimal numbers only, every part present: "1.0.57.0" yes, "1.0.", "v1" or "1.0beta" no.
QVersionNumber parseWhole(const QString &text, bool *ok)
{
    *ok = false;
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    QVector<int> numbers;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 9)
            return QVersionNumber();
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QVersionNumber();
        }
        numbers.append(part.toInt());
    }
    *ok = true;
    // Trailing zero parts do not count: 1.0.57 and 1.0.57.0 are one version.
    return QVersionNumber(numbers).normalized();
}

} // namespace

bool IsProgramVersionText(const QString &text)
{
    bool ok = false;
    parseWhole(text, &ok);
    return ok;
}

bool IsNewerProgramVersion(const QString &catalogue, const QString &installed)
{
    bool catalogueOk = false;
    const QVersionNumber offered = parseWhole(catalogue, &catalogueOk);
    if (!catalogueOk)
        return false;
    bool installedOk = false;
    const QVersionNumber current = parseWhole(installed, &installedOk);
    if (!installedOk)
        return true;
    return QVersionNumber::compare(offered, current) > 0;
}
