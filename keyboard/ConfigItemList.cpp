#include "keyboard/ConfigItemList.h"
#include "app/MainWidget.h"
#include "macros/OpenXmlDocument.h"

#include <QDirIterator>
#include <QDomElement>
#include <QFileInfo>
#include <algorithm>

namespace {
ConfigItem *Make(uint8_t kind, const QString &left, const QString &centre = QString(), const QString &code = QString())
{
    auto *item = new ConfigItem;
    item->Set(kind, left, centre, code);
    return item;
}

QString ProductDir()
{
    const MainWidget *main = MainWidget::instance();
    return main && !main->CurrentProductName().isEmpty() ? main->ProductDir() : QString();
}
} // namespace

ConfigItemList::ItemMap ConfigItemList::Load(const QString &path, QVector<QString> &keys)
{
    ItemMap items;
    const QDomElement root = OpenXmlDocument(path).documentElement();
    if (root.tagName() != QLatin1String("ItemConfig"))
        return items;
    for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling()) {
        const QDomElement tab = node.toElement();
        if (tab.tagName() != QLatin1String("Tab"))
            continue;
        const QString key = tab.attribute(QStringLiteral("Text")) + QLatin1Char('|') + tab.attribute(QStringLiteral("Hint"));
        keys.append(key);
        QVector<ConfigItem *> rows;
        const QString bar = tab.attribute(QStringLiteral("Bar"));
        if (bar == QLatin1String("Macro") || bar == QLatin1String("UserConfig")) {
            const bool macro = bar == QLatin1String("Macro");
            const QDomElement first = tab.firstChild().toElement();
            const QString type = first.attribute(QStringLiteral("ItemTyp"));
            if (type == QLatin1String(macro ? "CREAT_MACROBUTTON_ITEM" : "USER_ADD_CONFIGFILE_BUTTON")) {
                const QString caption = first.attribute(QStringLiteral("Lift_text"));
                rows.append(macro ? MakeType5Item(caption) : MakeType8Item(caption));
                for (const QString &file : macro ? ListMacroFiles() : ListUserConfigFiles())
                    rows.append(macro ? MakeType3Item(file) : MakeType7Item(file));
            }
        } else {
            for (QDomNode g = tab.firstChild(); !g.isNull(); g = g.nextSibling()) {
                const QDomElement group = g.toElement();
                if (group.tagName() != QLatin1String("EXPANDE"))
                    continue;
                const QString text = group.attribute(QStringLiteral("Text"));
                if (text != QLatin1String("HIDE"))
                    rows.append(MakeGroupHeader(text));
                if (text.isEmpty())
                    continue;
                for (QDomNode c = group.firstChild(); !c.isNull(); c = c.nextSibling())
                    if (c.toElement().tagName() == QLatin1String("childItem"))
                        rows.append(MakeCommandItem(c.toElement()));
            }
        }
        if (rows.isEmpty())
            continue;
        // A later tab of the same key replaces the earlier one.
        if (items.contains(key))
            qDeleteAll(items.value(key));
        items.insert(key, rows);
    }
    return items;
}

void ConfigItemList::Free(ItemMap &items)
{
    for (auto &rows : items)
        qDeleteAll(rows);
    items.clear();
}

QStringList ConfigItemList::ListFiles(const QString &folder, const QString &suffix)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    QDirIterator it(folder, QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().suffix() == suffix)
            names.append(it.fileName());
    }
    // The folder's own order differs between file systems: rows come by name.
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

QStringList ConfigItemList::ListMacroFiles()
{
    const QString dir = ProductDir();
    return ListFiles(dir.isEmpty() ? dir : dir + QStringLiteral("/moidefConfig"), QStringLiteral("bin"));
}

QStringList ConfigItemList::ListUserConfigFiles()
{
    const QString dir = ProductDir();
    QStringList names = ListFiles(dir.isEmpty() ? dir : dir + QStringLiteral("/UserConfig"), QStringLiteral("xml"));
    // The product's delivered description is no user configuration: never listed, never deleted.
    names.removeAll(QStringLiteral("imageAndLines.xml"));
    // The factory copy "Base/Base.xml" is no second configuration: one row per name.
    names.removeDuplicates();
    return names;
}

ConfigItem *ConfigItemList::MakeCommandItem(const QDomElement &element)
{
    // Only "COMMANDE_ITEM" makes a command; anything else gets a kind no row is made for.
    const bool command = element.attribute(QStringLiteral("ItemTyp")) == QLatin1String("COMMANDE_ITEM");
    return Make(command ? 1 : 2, element.attribute(QStringLiteral("Lift_text")),
                element.attribute(QStringLiteral("Cent_text")), element.attribute(QStringLiteral("Code")));
}

ConfigItem *ConfigItemList::MakeGroupHeader(const QString &text) { return Make(0, text); }
ConfigItem *ConfigItemList::MakeType3Item(const QString &text) { return Make(3, text); }
ConfigItem *ConfigItemList::MakeType5Item(const QString &text) { return Make(5, text); }
ConfigItem *ConfigItemList::MakeType7Item(const QString &text) { return Make(7, text); }
ConfigItem *ConfigItemList::MakeType8Item(const QString &text) { return Make(8, text); }
