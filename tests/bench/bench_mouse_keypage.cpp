// Figures of the mouse key page. Left lists: building the configuration list tabs (reading the
// item list and making every row) from an item list of 500 commands in ten groups, as a ratio
// to parsing the same file with QDomDocument alone.
#include "app/MainWidget.h"
#include "keyboard/ConfigItemList.h"
#include "keyboard/QLeftMuenTabWidget.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
QByteArray ItemList(int commands)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ItemConfig>\n    <Tab Text=\"@620\" Hint=\"@621\" Bar=\"Command\">\n";
    for (int g = 0; g < 10; ++g) {
        xml += "        <EXPANDE Text=\"Group " + QByteArray::number(g) + "\">\n";
        for (int i = 0; i < commands / 10; ++i)
            xml += "            <childItem ItemTyp=\"COMMANDE_ITEM\" Lift_text=\"Command " + QByteArray::number(g * 100 + i)
                   + "\" Cent_text=\"@244\" Code=\"0x0200" + QByteArray::number(0x1000 + g * 100 + i, 16) + "\"/>\n";
        xml += "        </EXPANDE>\n";
    }
    xml += "    </Tab>\n    <Tab Text=\"@624\" Hint=\"@625\" Bar=\"Macro\">\n"
           "        <childItem ItemTyp=\"CREAT_MACROBUTTON_ITEM\" Lift_text=\"@637\"/>\n    </Tab>\n"
           "    <Tab Text=\"@626\" Hint=\"@627\" Bar=\"UserConfig\">\n"
           "        <childItem ItemTyp=\"USER_ADD_CONFIGFILE_BUTTON\" Lift_text=\"@638\"/>\n    </Tab>\n</ItemConfig>\n";
    return xml;
}

double MedianMs(int rounds, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void ListBuild()
{
    TestProgramDir dir;
    MainWidget main;
    main.OpenMousePage(QStringLiteral("QM8"));
    const QString path = dir.filePath(QStringLiteral("Products/QM8/ConfigItemList.xml"));
    if (!dir.writeFile(QStringLiteral("Products/QM8/ConfigItemList.xml"), ItemList(500))) {
        std::printf("item list not written\n");
        return;
    }
    int rows = 0;
    const double parse = MedianMs(15, [&] {
        QFile file(path);
        QDomDocument doc;
        if (file.open(QIODevice::ReadOnly))
            doc.setContent(&file);
    });
    const double build = MedianMs(15, [&] {
        QLeftMuenTabWidget tabs;
        QVector<QString> keys;
        ConfigItemList::ItemMap items = ConfigItemList::Load(path, keys);
        for (const QString &key : qAsConst(keys))
            tabs.AddListTab(key, key, 0, nullptr, items.value(key));
        ConfigItemList::Free(items);
        rows = tabs.count();
    });
    std::printf("left lists, 500 commands in %d tabs: parse alone median %.2f ms, list tabs built median %.2f ms;"
                " ratio %.1f\n", rows, parse, build, build / parse);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ListBuild();
    return 0;
}
