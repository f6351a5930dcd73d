#pragma once
#include <QStyledItemDelegate>

// Shows the DPI presets' file names in the current language: a numbered preset ("灵敏度预设2",
// the name its file keeps) reads as the language's preset name and its number; a name the user
// gave stays as it is.
class QPresetNameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static QString DisplayName(const QString &fileName);
    QString displayText(const QVariant &value, const QLocale &locale) const override;
};
