// Time to read a mouse's whole configuration and to write its DPI stages, for both mouse
// families, with every feature report taking 1 ms each way in the emulator; printed with its
// ratio to the transfer floor (the reports exchanged times 1 ms). Then the same through the
// mouse page: from the sleep slider's release and from a stage-count change to the last report
// reaching the emulated mouse.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "device/ZR_2_0_MouseThread.h"
#include "device/ZR_YX_MouseThread.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QQuorixStyDpiPage.h"
#include "widgets/QACombxBox.h"
#include "widgets/QACombxBoxView.h"
#include "widgets/QSliderAlterMax.h"
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
#include <hidapi.h>

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

// The emulator's clock (milliseconds of its traffic log) against the bench's: an open of a
// plain device is logged in the emulator's clock while the bench reads its own around it.
static qint64 EmuClockOffset(const QElapsedTimer &clock)
{
    const uint32_t node = emu::Plug(emu::MakePlainDevice(0x1234, 0x5678, emu::VendorTlc(0xFF00, 1, 0, 8, 8, 0)), false);
    const qint64 before = clock.elapsed();
    hid_device *h = hid_open_path(emu::PathOf(node).toUtf8().constData());
    const qint64 after = clock.elapsed();
    if (h)
        hid_close(h);
    const QVector<emu::Traffic> opens = emu::TrafficLog(node, emu::Traffic::Open);
    emu::Unplug(node, false);
    return opens.isEmpty() ? 0 : opens.last().atMs - (before + after) / 2;
}

// From a user's change on the mouse page to the last feature report the mouse received for it.
static void MeasurePage(const char *what, uint32_t node, const QElapsedTimer &clock, qint64 offset,
                        const std::function<void()> &change)
{
    emu::ClearTraffic();
    const qint64 start = clock.elapsed() + offset;
    change();
    HID_API::instance()->Manager()->WaitIdle(20000);
    QVector<emu::Traffic> reports = emu::TrafficLog(node, emu::Traffic::SendFeature);
    reports += emu::TrafficLog(node, emu::Traffic::GetFeature);
    qint64 last = start;
    for (const emu::Traffic &t : reports)
        last = std::max(last, t.atMs);
    const double ms = double(last - start);
    std::printf("%-34s %8.1f ms  %3d reports  floor %4d ms  ratio %6.1f\n", what, ms, int(reports.size()),
                int(reports.size()), reports.isEmpty() ? 0.0 : ms / reports.size());
}

// Opens the plugged mouse on the mouse page as a click on its tile does.
static bool OpenOnPage(MainWidget &main, uint32_t node, const QString &product)
{
    HID_API *api = HID_API::instance();
    QKeyLableItem *tile = api->TileMap().value(node);
    if (!tile || api->SelectDevice(tile) != 0)
        return false;
    api->Manager()->WaitIdle(20000);
    DeviceRecord *device = api->CurrentDevice();
    if (!device || !device->mouseData)
        return false;
    main.OpenMousePage(product);
    QLStyleMouseTabWidget::instance()->ConfigMouse(device->mouseData.get());
    QLStyleMouseTabWidget::instance()->butlefit_on_buttonClicked(1);
    return true;
}

static void MeasureThroughPage(const QElapsedTimer &clock)
{
    auto m20 = emu::MakeDevice(emu::Model::MouseWired);
    auto yx = emu::MakeDevice(emu::Model::SecondFamilyWired);
    std::static_pointer_cast<emu::EmuMouse20>(m20)->SetFeatureDelayMs(1);
    std::static_pointer_cast<emu::MouseYx>(yx)->SetFeatureDelayMs(1);
    const uint32_t n20 = emu::Plug(m20);
    const uint32_t nyx = emu::Plug(yx);
    const qint64 offset = EmuClockOffset(clock);
    MainWidget main;
    const struct { uint32_t node; const char *product; const char *sleep; const char *stages; } mice[] = {
        {n20, "QM8", "20/520 page: sleep slider released", "20/520 page: stage count 4 -> 6"},
        {nyx, "QX3", "second page: sleep slider released", "second page: stage count 4 -> 6"},
    };
    std::printf("through the mouse page (time from the change to the last report the mouse received)\n");
    for (const auto &m : mice) {
        if (!OpenOnPage(main, m.node, QString::fromLatin1(m.product))) {
            std::printf("%s: the mouse did not open\n", m.product);
            continue;
        }
        QLStyleMouseTabWidget *tab = QLStyleMouseTabWidget::instance();
        MeasurePage(m.sleep, m.node, clock, offset, [tab] {
            tab->SleepSlider->setValue(200);
            Q_EMIT tab->SleepSlider->sliderReleased(tab->SleepSlider->Value());
        });
        QACombxBox *count = QQuorixStyDpiPage::instance()->DpiCountCombox;
        MeasurePage(m.stages, m.node, clock, offset, [count] {
            count->setCurrentIndex(5);
            Q_EMIT count->currentIndexChanged(5);
        });
        tab->ButExit_on_clicked();
    }
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
    HidCloseAll(records);
    emu::Reset();
    QElapsedTimer clock;
    clock.start();
    MeasureThroughPage(clock);
    const QStringList errors = emu::Errors();
    emu::Reset();
    if (!errors.isEmpty()) {
        std::printf("model errors:\n%s\n", qPrintable(errors.join(QLatin1Char('\n'))));
        return 1;
    }
    return 0;
}
