#pragma once
#include "keyboard/ConfigItem.h"

#include <QMap>
#include <QStringList>
#include <QVector>

class QDomElement;

// Reader of the product's "ConfigItemList.xml": the tabs of the left configuration list and
// their rows; the macro and user-configuration tabs are filled from the product's folders.
class ConfigItemList
{
public:
    using ItemMap = QMap<QString, QVector<ConfigItem *>>;

    // Appends the key ("Text|Hint") of every "Tab" in document order to keys and returns the
    // items of each tab that has any. The caller owns the records (Free releases them).
    static ItemMap Load(const QString &path, QVector<QString> &keys);
    static void Free(ItemMap &items);

    // Files with the suffix "bin" / "xml" (exactly) under the current product's macro /
    // user-configuration folder and its subfolders, by file name, sorted by name; the product's
    // "imageAndLines.xml" is no user configuration, and a configuration name comes once.
    static QStringList ListMacroFiles();
    static QStringList ListUserConfigFiles();
    static QStringList ListFiles(const QString &folder, const QString &suffix);

    static ConfigItem *MakeCommandItem(const QDomElement &element);
    static ConfigItem *MakeGroupHeader(const QString &text);
    static ConfigItem *MakeType3Item(const QString &text);
    static ConfigItem *MakeType5Item(const QString &text);
    static ConfigItem *MakeType7Item(const QString &text);
    static ConfigItem *MakeType8Item(const QString &text);
};
