#include "mouse/QPresetNameDelegate.h"
#include "app/QXM_Process.h"

QString QPresetNameDelegate::DisplayName(const QString &fileName)
{
    static const QString prefix = QStringLiteral("灵敏度预设");
    const QString number = fileName.mid(prefix.size());
    bool digits = fileName.startsWith(prefix) && !number.isEmpty();
    for (const QChar c : number)
        digits = digits && c.unicode() >= '0' && c.unicode() <= '9';
    return digits ? GetLangText(381) + number : fileName;
}

QString QPresetNameDelegate::displayText(const QVariant &value, const QLocale &locale) const
{
    return value.type() == QVariant::String ? DisplayName(value.toString())
                                            : QStyledItemDelegate::displayText(value, locale);
}
