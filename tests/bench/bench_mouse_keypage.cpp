// Figures of the mouse key page. Left lists: building the configuration list tabs (reading the
// item list and making every row) from an item list of 500 commands in ten groups, as a ratio
// to parsing the same file with QDomDocument alone. Key page: building it (lists and a profile of
// two pictures with 30 rows each) as a ratio to parsing both files alone, and the save that
// follows a drop as a ratio to writing the same bytes through QSaveFile.
#include "app/MainWidget.h"
#include "keyboard/ConfigItemList.h"
#include "keyboard/QLeftMuenTabWidget.h"
#include "mouse/QLStyleBoraWidget.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
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
QByteArray Profile(int rowsPerPicture)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Backinfos>\n    <USer_Defined_Keylevel Names=\"NULL\"/>\n"
                     "    <imageInfo Images=\"QM8_top.png|QM8_side.png\" MinImage=\"QM8_min.png\" Count=\"2\"/>\n";
    for (const char *picture : {"QM8_side.png", "QM8_top.png"}) {
        xml += QByteArray("    <Lines>\n        <levelMap image=\"") + picture + "\"/>\n";
        for (int i = 0; i < rowsPerPicture; ++i)
            xml += "        <SubLine Rect=\"" + QByteArray::number(10 + (i % 3) * 290) + "," + QByteArray::number(10 + (i / 3) * 60)
                   + ",280,50\" DefaultText=\"@244\" DefaultCode=\"01010000\" Slope=\"Linelose\" Direction=\""
                   + QByteArray(i % 2 ? "BLeft" : "SRight") + "\" SendAdderss=\"" + QByteArray::number(8 + 4 * i)
                   + "\" Change=\"1\" ReName=\"NULL\" Recode=\"NULL\" ValueTyp=\"CODITEM\"/>\n";
        xml += "    </Lines>\n";
    }
    return xml + "</Backinfos>\n";
}

void KeyPage()
{
    TestProgramDir dir;
    MainWidget main;
    main.OpenMousePage(QStringLiteral("QM8"));
    QLStyleBoraWidget *frame = QLStyleBoraWidget::instance();
    const QString list = dir.filePath(QStringLiteral("Products/QM8/ConfigItemList.xml"));
    const QString profile = dir.filePath(QStringLiteral("Products/QM8/UserConfig/Bench.xml"));
    if (!frame || !dir.writeFile(QStringLiteral("Products/QM8/ConfigItemList.xml"), ItemList(500))
        || !dir.writeFile(QStringLiteral("Products/QM8/UserConfig/Bench.xml"), Profile(30))) {
        std::printf("key page not set up\n");
        return;
    }
    {
        QSettings ini(dir.filePath(QStringLiteral("Products/QM8/QM8_data.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("default/UserConfig"), QStringLiteral("Bench"));
    }
    const double parse = MedianMs(15, [&] {
        for (const QString &path : {list, profile}) {
            QFile file(path);
            QDomDocument doc;
            if (file.open(QIODevice::ReadOnly))
                doc.setContent(&file);
        }
    });
    const double build = MedianMs(15, [&] {
        frame->on_ClearItems();
        frame->BuildConfigButtons(list);
        frame->LoadProduct(profile);
    });
    std::printf("key page, 500 commands and 2 x 30 rows: parse alone median %.2f ms, page built median %.2f ms;"
                " ratio %.1f\n", parse, build, build / parse);

    const double save = MedianMs(31, [&] { frame->on_ConfigChangeTofile(); });
    QFile saved(profile);
    const QByteArray bytes = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
    const QString plain = dir.filePath(QStringLiteral("Products/QM8/UserConfig/Plain.xml"));
    const double write = MedianMs(31, [&] {
        QSaveFile out(plain);
        if (out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size())
            out.commit();
    });
    std::printf("save after a drop, %d rows, %d bytes: saved median %.2f ms, same bytes through QSaveFile median %.2f ms;"
                " ratio %.1f\n", frame->LineValues().size(), int(bytes.size()), save, write, save / write);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ListBuild();
    KeyPage();
    return 0;
}
