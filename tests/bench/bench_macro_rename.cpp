// Figures of a macro rename through a large keyboard configuration (about 15 MB: three layers of
// 50000 keys, every tenth playing the macro): parsing it alone, reading it with its key order,
// rewriting its keys, and the whole rename (every configuration of the folder read once, those
// that play the macro rewritten, the macro file moved). The parse is the floor of each.
#include "keyboard/QConfigBuildManage_Pro.h"
#include "macros/OpenXmlDocument.h"
#include "macros/QJsonConfing.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramDir dir;
    const QString configs = dir.filePath(QStringLiteral("Products/QK75/UserConfig"));
    const QString macros = dir.filePath(QStringLiteral("Products/QK75/moidefConfig"));
    QByteArray xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KeyBoardRoot>\n");
    constexpr int kLayers = 3, kKeys = 50000;
    for (int layer = 0; layer < kLayers; ++layer) {
        xml += QStringLiteral("    <Keylevel_ID ID=\"%1\" name=\"%1\">\n").arg(layer).toUtf8();
        for (int k = 0; k < kKeys; ++k)
            xml += k % 10 ? QStringLiteral("        <KeyEdit KeyButtonName=\"Key%1\" LeftValue=\"A\" KeyValueTyp=\"Attrib_KeyValue\" Value=\"NULL\"/>\n").arg(k).toUtf8()
                          : QStringLiteral("        <KeyEdit KeyButtonName=\"Key%1\" LeftValue=\"Macro1\" KeyValueTyp=\"Attrib_MacroValue\" Value=\"NULL\"/>\n").arg(k).toUtf8();
        xml += "    </Keylevel_ID>\n";
    }
    xml += "</KeyBoardRoot>\n";
    if (!dir.writeFile(QStringLiteral("Products/QK75/UserConfig/Large.xml"), xml)) {
        std::printf("configuration not written\n");
        return 1;
    }
    std::printf("configuration: %.1f MB, %d layers of %d keys\n", xml.size() / 1e6, kLayers, kKeys);

    QElapsedTimer t;
    t.start();
    const bool parsed = !OpenXmlDocument(configs + QStringLiteral("/Large.xml")).isNull();
    std::printf("parse only:          %8.0f ms %s\n", t.nsecsElapsed() / 1e6, parsed ? "" : "(WRONG)");
    t.restart();
    QVector<QStringList> order;
    KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(configs + QStringLiteral("/Large.xml"), &order);
    const bool read = layers.size() == kLayers && order.value(0).size() == kKeys;
    FreeKeyProfileLayers(layers);
    std::printf("read with key order: %8.0f ms %s\n", t.nsecsElapsed() / 1e6, read ? "" : "(WRONG)");

    t.restart();
    const bool rewritten = QConfigBuildManage_Pro::RenameMacroKeys(configs + QStringLiteral("/Large.xml"), QStringLiteral("Macro1"), QStringLiteral("Macro1"));
    std::printf("rewrite its keys:    %8.0f ms %s\n", t.nsecsElapsed() / 1e6, rewritten ? "" : "(WRONG)");
    t.restart();
    const bool renamed = QJsonConfing(macros).RenameMacro(QStringLiteral("Macro1"), QStringLiteral("Renamed"), configs);
    std::printf("rename:              %8.0f ms %s\n", t.nsecsElapsed() / 1e6, renamed ? "" : "(REFUSED)");
    return parsed && read && rewritten && renamed ? 0 : 1;
}
