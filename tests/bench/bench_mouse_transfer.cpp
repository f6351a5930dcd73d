// Time to read a mouse's whole configuration and to write its DPI stages, for both mouse
// families, with every feature report taking 1 ms each way in the emulator; printed with its
// ratio to the transfer floor (the reports exchanged times 1 ms).
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/ZR_2_0_MouseThread.h"
#include "device/ZR_YX_MouseThread.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <functional>

static void Measure(const char *what, uint32_t node, const std::function<void()> &step)
{
    emu::ClearTraffic();
    QElapsedTimer t;
    t.start();
    step();
    const double ms = t.nsecsElapsed() / 1e6;
    const int reports = emu::TrafficLog(node, emu::Traffic::SendFeature).size() + emu::TrafficLog(node, emu::Traffic::GetFeature).size();
    std::printf("%-34s %8.1f ms  %3d reports  floor %4d ms  ratio %6.1f\n", what, ms, reports, reports,
                reports ? ms / reports : 0.0);
}

// A second-family macro key: 2000 bytes of macro data in 25-byte frames, then the macro key.
static void MeasureYxMacroUpload(const TestProgramDir &dir, ZR_YX_MouseThread &worker, uint32_t node)
{
    QLStyleMouseTabWidget page;
    page.m_CurrentKeyIndex = 1;
    auto *column = new QGradualChangeLine(QLStyleBoraWidget::instance());
    LineKeyRecord row;
    row.sendAddress = 1;
    row.defaultCode = QStringLiteral("00000000");
    row.valueType = 1;
    row.reName = QStringLiteral("benchyx");
    WriteMacroFile(dir, QStringLiteral("QX3"), QStringLiteral("benchyx"), QByteArray(1996, '\x07'));
    column->SetLines({row});
    Measure("second family: upload a macro key", node, [&] { worker.WriteKeys(); });
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramDir dir;
    ClearProductListCache();
    QList<DeviceRecord *> records;

    auto m20 = std::static_pointer_cast<emu::EmuMouse20>(emu::MakeDevice(emu::Model::MouseWired));
    m20->SetFeatureDelayMs(1);
    const uint32_t n20 = emu::Plug(m20);
    auto yx = std::static_pointer_cast<emu::MouseYx>(emu::MakeDevice(emu::Model::SecondFamilyWired));
    yx->SetFeatureDelayMs(1);
    const uint32_t nyx = emu::Plug(yx);
    HID_API::OpenDevices(records);

    DeviceRecord *r20 = HidRecordOfKind(records, n20, KindMouseWired);
    DeviceRecord *cmd = HidRecordOfKind(records, nyx, KindSecondFeatureWired);
    DeviceRecord *io = HidRecordOfKind(records, nyx, KindSecondIoWired);
    if (!r20 || !cmd || !io) {
        std::printf("emulated mice not found\n");
        return 1;
    }
    r20->subType = 2;
    r20->deviceType = 1;
    r20->connectionState = StateWired;
    cmd->connectionState = io->connectionState = StateWired;
    cmd->name = QStringLiteral("QUORIX QX3");

    ZR_2_0_MouseThread w20;
    w20.SetDevice(r20);
    ZR_YX_MouseThread wyx;
    wyx.SetCommandDevice(cmd);
    wyx.SetDevice(io);

    std::printf("1 ms per feature report each way; the protocols' own waits (100 ms per read) included\n");
    Measure("20/520 mouse: read configuration", n20, [&] { w20.SynchronizingDeviceData(); });
    if (auto r = r20->mouseData) {
        r->dpiValues = {400, 800, 1600, 3200, 6400, 12800};
        r->currentStage = 3;
    }
    Measure("20/520 mouse: write DPI stages", n20, [&] { w20.WriteDpiTable(); });
    {
        // six buttons, two of them macros whose 4 KB of data go in eight pieces
        QLStyleMouseTabWidget page;
        auto *column = new QGradualChangeLine(QLStyleBoraWidget::instance());
        QVector<LineKeyRecord> rows(6);
        for (int i = 0; i < rows.size(); ++i) {
            rows[i].sendAddress = static_cast<uint16_t>(8 + 4 * i);
            rows[i].defaultCode = QStringLiteral("000100%1").arg(4 + i, 2, 16, QLatin1Char('0'));
        }
        for (int i : {4, 5}) {
            const QString name = QStringLiteral("bench%1").arg(i);
            rows[i].valueType = 1;
            rows[i].reName = name;
            WriteMacroFile(dir, QStringLiteral("QM8"), name, QByteArray(2000, '\x05'));
        }
        column->SetLines(rows);
        Measure("20/520 mouse: write keys and macros", n20, [&] { w20.WriteKeyTable(); });
    }
    Measure("second family: read configuration", nyx, [&] { wyx.SynchronizingDeviceData(); });
    if (auto r = cmd->mouseData) {
        r->dpiValues = {400, 800, 1600, 3200, 6400, 12800};
        r->currentStage = 3;
    }
    Measure("second family: write DPI stages", nyx, [&] { wyx.WriteDpiTable(); });
    MeasureYxMacroUpload(dir, wyx, nyx);
    const QStringList errors = emu::Errors();
    HidCloseAll(records);
    emu::Reset();
    if (!errors.isEmpty()) {
        std::printf("model errors:\n%s\n", qPrintable(errors.join(QLatin1Char('\n'))));
        return 1;
    }
    return 0;
}
