// Firmware updates from the device tile to the device coming back: the sample catalogue and
// firmware of tests/data/firmware served over loopback, the emulated QX3 (PixArt + Geehy) and a
// wired QM8 through the fake update library; then what must never reach a device.
#include "app/AppDirPath.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "app/TrayIcon.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QKeyLableItem.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/DownTask.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/QUpdataDlg.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "firmware/CatalogueClass.h"
#include "firmware/Q_ZR_UpdataObjectManage.h"
#include "firmware/Q_YX_FW_Updata.h"
#include "firmware/Q_ZY_FW_Updata.h"
#include "device/QHid_Threads_Manage.h"
#include "platform/HidPlatform.h"
#include "platform/UpdateLibrary.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QMaskGrayLabel.h"

#include <QAbstractButton>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <functional>
#include <memory>

namespace {
QByteArray Sample(const char *name)
{
    QFile f(QStringLiteral(QUORIX_SOURCE_PROGRAMDIR "/../tests/data/firmware/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The dialog's last words, read and answered (OK) once the update chain has ended.
struct DialogCloser
{
    QTimer timer;
    QString text;
    int closed = 0;
    std::function<void()> beforeOk; // runs while the ended update's dialog still waits for OK
    DialogCloser()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QUpdataDlg *d = QUpdataDlg::ExistingInstance();
            if (!d || !d->isVisible() || !d->IsOkShown() || Q_ZR_UpdataObjectManage::IsBusy())
                return;
            text = d->MessageText();
            ++closed;
            if (beforeOk)
                beforeOk();
            d->findChild<QPushButton *>(QStringLiteral("pushButton"))->click();
        });
        timer.start(50);
    }
};

QKeyLableItem *TileOf(uint32_t node)
{
    HID_API *hid = HID_API::instance();
    return hid ? hid->TileMap().value(node, nullptr) : nullptr;
}

std::shared_ptr<emu::MouseYx> PlugQx3()
{
    auto mouse = std::static_pointer_cast<emu::MouseYx>(emu::MakeDevice(emu::Model::SecondFamilyWired));
    emu::Plug(mouse);
    return mouse;
}
} // namespace

class TstFirmwareUpdateFlow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void mousePairFromTileToNewVersions();
    void wiredMouseThroughLibrary_data();
    void wiredMouseThroughLibrary();
    void libraryUpdateStopsItsOwnDevice();
    void nothingUnconfirmedOrIncompleteIsWritten_data();
    void nothingUnconfirmedOrIncompleteIsWritten();
    void tasksAndFilesRefused();
    void refusalNamesProductAndCause();
    void exitWaitsForEveryChip();
    void probeReadsPastNotices();
    void dialogTexts();

private:
    // Serves the sample catalogue (its addresses moved to this server) and the three files.
    void Serve();

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<LoopbackHttpServer> m_server;
    // The program folder the shared library updater loaded its library from.
    std::unique_ptr<TestProgramDir> m_libraryDir;
};

void TstFirmwareUpdateFlow::initTestCase()
{
    platform::HidHotplugSource::instance();
    m_libraryDir.reset(new TestProgramDir);
    QVERIFY(QFile::copy(QStringLiteral(FAKE_UPDATE_LIBRARY), UpdateLibrary::FilePath(m_libraryDir->path())));
    QVERIFY(Q_ZY_FW_Updata::Instance()->HasLibrary());
    Q_ZY_FW_Updata::Instance()->SetRestartWaitMs(20);
}

void TstFirmwareUpdateFlow::init()
{
    emu::Reset();
    emu::SetTimeScale(0.01);
    m_dir.reset(new TestProgramDir);
    ClearProductListCache();
    m_server.reset(new LoopbackHttpServer);
    QVERIFY(m_server->listen());
}

void TstFirmwareUpdateFlow::cleanup()
{
    QTRY_VERIFY_WITH_TIMEOUT(!Q_ZR_UpdataObjectManage::IsBusy(), 20000);
    QVERIFY(HidNoModelErrors());
    m_server.reset();
    m_dir.reset();
    emu::Reset();
}

void TstFirmwareUpdateFlow::Serve()
{
    QByteArray xml = Sample("catalogue.xml");
    xml.replace("http://127.0.0.1:8765", m_server->url(QString()).toUtf8());
    m_server->setFile("/catalogue.xml", xml);
    for (const char *name : {"qx3_pixart_v200.bin", "qx3_geehy_v27.bin", "qm8_1.0.2.bin"})
        m_server->setFile(QByteArray("/") + name, Sample(name));
    QSettings ini(m_dir->filePath(QStringLiteral("SysBuild.ini")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Systime/UpdatadataIp"), m_server->url(QStringLiteral("/catalogue.xml")));
}

void TstFirmwareUpdateFlow::mousePairFromTileToNewVersions()
{
    Serve();
    auto mouse = PlugQx3();
    const uint32_t node = mouse->node();
    MessageAnswerer yes(true);
    DialogCloser closer;
    MainWidget w;
    // The catalogue offers both chips: the button with text 339, the offered version in its tip.
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(node) && TileOf(node)->HasUpdate(), 10000);
    QKeyLableItem *tile = TileOf(node);
    QVERIFY(tile->FirstUpdateFound() && tile->SecondUpdateFound());
    QVERIFY(!tile->UpdateButton()->isHidden());
    QCOMPARE(qobject_cast<QAbstractButton *>(tile->UpdateButton())->text(), GetLangText(339) + "  ");
    QVERIFY(tile->UpdateButton()->toolTip().endsWith(": V200"));

    // Once the update has ended the mouse is listed again, before its dialog is answered.
    bool listedBeforeOk = false;
    closer.beforeOk = [&] { listedBeforeOk = QTest::qWaitFor([&] { return TileOf(mouse->node()); }, 5000); };
    tile->on_ButUpdata_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, 60000);
    QVERIFY(listedBeforeOk);
    QVERIFY(closer.text.startsWith(GetLangText(410)));
    QVERIFY(w.findChild<QMaskGrayLabel *>()->isHidden());

    // Both images as sent by the server, the second started 2000 ms after the first ended.
    QByteArray pixArt;
    mouse->WithFlash([&](emu::PixArtFlash &f) { pixArt = f.Written(); });
    QCOMPARE(pixArt, QByteArray::fromStdString(CmdControlPixArt::ImageOf(Sample("qx3_pixart_v200.bin"))));
    QVERIFY(mouse->Bootloader());
    QCOMPARE(mouse->Bootloader()->Written(), Sample("qx3_geehy_v27.bin"));
    qint64 firstEnd = 0; // the first update's last transfer (the old node's handles close later)
    for (const emu::Traffic &t : emu::TrafficLog(node))
        if (t.op != emu::Traffic::Close && t.op != emu::Traffic::Open)
            firstEnd = t.atMs;
    const qint64 secondStart = emu::TrafficLog(mouse->NodeAfterReboot(), emu::Traffic::Write).first().atMs;
    QVERIFY2(secondStart - firstEnd >= 1900, qPrintable(QString::number(secondStart - firstEnd)));

    // The mouse came back with its new versions; nothing is offered any more.
    const uint32_t back = mouse->node();
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(back), 10000);
    QCOMPARE(int(TileOf(back)->Device()->version), 0x200);
    QCOMPARE(int(mouse->GeehyVersion()), 0x27);
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(back)->CheckCount() > 0, 5000);
    QVERIFY(!TileOf(back)->HasUpdate());
    QVERIFY(TileOf(back)->UpdateButton()->isHidden());
    QVERIFY(!HID_API::instance()->IsUpdating());
    QCOMPARE(m_server->requests().count(QStringLiteral("/qx3_pixart_v200.bin")), 1);
}

void TstFirmwareUpdateFlow::wiredMouseThroughLibrary_data()
{
    QTest::addColumn<QByteArray>("loadResult");
    QTest::addColumn<QByteArray>("states");
    QTest::addColumn<int>("textId");
    QTest::addColumn<int>("loads");
    QTest::newRow("written") << QByteArray("0") << QByteArray("0") << 410 << 1;
    QTest::newRow("file refused by the library") << QByteArray("1") << QByteArray("0") << 791 << 1;
    QTest::newRow("library never reports") << QByteArray("0") << QByteArray() << 411 << 1;
    QTest::newRow("library reports twice") << QByteArray("0") << QByteArray("3,0") << 411 << 1;
}

void TstFirmwareUpdateFlow::wiredMouseThroughLibrary()
{
    QFETCH(QByteArray, loadResult);
    QFETCH(QByteArray, states);
    QFETCH(int, textId);
    QFETCH(int, loads);
    qputenv("FAKE_UPDATE_LOAD_RESULT", loadResult);
    qputenv("FAKE_UPDATE_STATES", states);
    Serve();
    const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::MouseWired));
    MessageAnswerer yes(true);
    DialogCloser closer;
    MainWidget w;
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(node) && TileOf(node)->HasUpdate(), 10000);
    QVERIFY(TileOf(node)->UpdateButton()->toolTip().endsWith(": V1.0.2"));
    QLibrary fake(UpdateLibrary::FilePath(m_libraryDir->path()));
    auto loadCalls = reinterpret_cast<int (*)()>(fake.resolve("FakeUpdateLoadCalls"));
    auto lastFile = reinterpret_cast<const char *(*)()>(fake.resolve("FakeUpdateLastFile"));
    QVERIFY(loadCalls && lastFile);
    const int before = loadCalls();

    TileOf(node)->on_ButUpdata_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, 20000);
    // or the failure text followed by the cause
    QVERIFY2(closer.text.startsWith(GetLangText(textId)) || closer.text == GetLangText(411) + "\n" + GetLangText(textId),
             qPrintable(closer.text));
    QCOMPARE(loadCalls() - before, loads);
    QFile handed(QString::fromUtf8(lastFile()));
    QVERIFY(handed.open(QIODevice::ReadOnly));
    QCOMPARE(handed.readAll(), Sample("qm8_1.0.2.bin"));
    // The mouse was stopped for its update and is still plugged in: it comes back.
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(node), 10000);
    QVERIFY(HID_API::instance()->Manager()->Worker(node));
    QVERIFY(!HID_API::instance()->IsUpdating());
}

void TstFirmwareUpdateFlow::libraryUpdateStopsItsOwnDevice()
{
    qputenv("FAKE_UPDATE_LOAD_RESULT", "0");
    qputenv("FAKE_UPDATE_STATES", "0");
    Serve();
    const uint32_t current = emu::Plug(emu::MakeDevice(emu::Model::MouseWired));
    const uint32_t updated = emu::Plug(emu::MakeDevice(emu::Model::MouseWired));
    MessageAnswerer yes(true);
    DialogCloser closer;
    MainWidget w;
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(current) && TileOf(updated) && TileOf(updated)->HasUpdate(), 10000);
    // The other mouse's page was opened last: it keeps its tile, worker and handles.
    HID_API::instance()->SetCurrentDeviceById(current);
    QPointer<QKeyLableItem> keptTile = TileOf(current);
    const int closedBefore = emu::CloseCount(current);
    TileOf(updated)->on_ButUpdata_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, 20000);
    QVERIFY2(closer.text.startsWith(GetLangText(410)), qPrintable(closer.text));
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(updated), 10000);
    QVERIFY(emu::CloseCount(updated) > 0);
    QCOMPARE(emu::CloseCount(current), closedBefore);
    QVERIFY(keptTile && TileOf(current) == keptTile);
}

void TstFirmwareUpdateFlow::nothingUnconfirmedOrIncompleteIsWritten_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("pixArtStatus");   // the PixArt file's answer
    QTest::addColumn<qint64>("pixArtSent");  // sent before hanging up: -1 all, -2 no length, -3 chunked
    QTest::addColumn<int>("knob");           // 1 unplugged mid-update, 2 wrong identity, 3 that and no Geehy file
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<bool>("pixArtWritten");
    QTest::addColumn<bool>("geehyWritten");
    QTest::addColumn<int>("requests");       // firmware downloads asked for
    QTest::newRow("cancel on the question") << false << 200 << qint64(-1) << 0 << false << false << false << 0;
    QTest::newRow("404") << true << 404 << qint64(-1) << 0 << false << false << true << 2;
    QTest::newRow("server error") << true << 500 << qint64(-1) << 0 << false << false << true << 2;
    QTest::newRow("short download") << true << 200 << qint64(1000) << 0 << false << false << true << 2;
    QTest::newRow("no length, ended by closing") << true << 200 << qint64(-2) << 0 << false << false << true << 2;
    QTest::newRow("chunked download") << true << 200 << qint64(-3) << 0 << false << false << true << 2;
    QTest::newRow("unplugged mid-update") << true << 200 << qint64(-1) << 1 << false << false << false << 2;
    QTest::newRow("first of the pair fails") << true << 200 << qint64(-1) << 2 << false << false << true << 2;
    QTest::newRow("fails, stays on its node") << true << 200 << qint64(-1) << 3 << false << false << false << 2;
    QTest::newRow("double click") << true << 200 << qint64(-1) << 0 << true << true << true << 2;
}

void TstFirmwareUpdateFlow::nothingUnconfirmedOrIncompleteIsWritten()
{
    QFETCH(bool, confirm);
    QFETCH(int, pixArtStatus);
    QFETCH(qint64, pixArtSent);
    QFETCH(int, knob);
    QFETCH(bool, doubleClick);
    QFETCH(bool, pixArtWritten);
    QFETCH(bool, geehyWritten);
    QFETCH(int, requests);
    Serve();
    LoopbackHttpServer::Route route;
    route.status = pixArtStatus;
    route.body = Sample("qx3_pixart_v200.bin");
    route.sendBytes = pixArtSent >= 0 ? pixArtSent : -1;
    route.declaredLength = pixArtSent == -2 ? -2 : -1;
    route.chunked = pixArtSent == -3;
    m_server->setRoute("/qx3_pixart_v200.bin", route);
    if (knob == 3)
        m_server->setRoute("/qx3_geehy_v27.bin", LoopbackHttpServer::Route{404, {}, -1, false, -1, {}});
    auto mouse = PlugQx3();
    const uint32_t node = mouse->node();
    mouse->WithFlash([&](emu::PixArtFlash &f) {
        if (knob == 1)
            f.knobs.vanishAtPacket = 3;
        if (knob >= 2)
            f.knobs.identity = QByteArray::fromHex("3a7c030100ff");
    });
    MessageAnswerer answers(confirm);
    DialogCloser closer;
    MainWidget w;
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(node) && TileOf(node)->HasUpdate(), 10000);
    const int handles = emu::OpenHandles(node);
    TileOf(node)->on_ButUpdata_clicked();
    if (doubleClick)
        TileOf(node)->on_ButUpdata_clicked(); // while its downloads run
    if (confirm) {
        QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, 60000);
        const int id = geehyWritten ? 410 : 411; // the Geehy update runs last
        QVERIFY2(closer.text.startsWith(GetLangText(id)), qPrintable(closer.text));
    }
    int asked = 0;
    for (const QString &r : m_server->requests())
        asked += r.endsWith(QLatin1String(".bin"));
    QCOMPARE(asked, requests);
    QByteArray pixArt;
    mouse->WithFlash([&](emu::PixArtFlash &f) { pixArt = f.Written(); });
    QCOMPARE(!pixArt.isEmpty(), pixArtWritten);
    QCOMPARE(mouse->Bootloader() && !mouse->Bootloader()->Written().isEmpty(), geehyWritten);
    QVERIFY(!Q_ZR_UpdataObjectManage::IsBusy());
    QVERIFY(!HID_API::instance()->IsUpdating());
    if (knob == 1) {
        // Gone mid-update: once plugged again it has its tile back.
        QTRY_VERIFY_WITH_TIMEOUT(!TileOf(node), 5000);
        const uint32_t again = emu::Plug(mouse);
        QTRY_VERIFY_WITH_TIMEOUT(TileOf(again), 10000);
    } else if (confirm) {
        // Back, on its node or a new one, holding what it held before; nothing stays open on a
        // node it left.
        QTRY_VERIFY_WITH_TIMEOUT(TileOf(mouse->node()), 10000);
        QTRY_COMPARE(emu::OpenHandles(mouse->node()), handles);
        if (mouse->node() != node)
            QCOMPARE(emu::OpenHandles(node), 0);
    }
}

void TstFirmwareUpdateFlow::tasksAndFilesRefused()
{
    Serve();
    DeviceRecord rec;
    rec.subType = 4;
    rec.kind = KindSecondFeatureWired;
    rec.connectionState = StateWired;
    rec.vendorId = 0x3A7C;
    rec.productId = 0x0301;
    // Device names that are not one plain name make no folder and no task.
    for (const QString &name : {QStringLiteral(".."), QStringLiteral("a/b"), QString()}) {
        rec.name = name;
        std::unique_ptr<DownTask> task(QDownTaskManage::MakeFirmwareTask(&rec));
        QCOMPARE(int(task->type), 0);
        QVERIFY(task->url.isEmpty() && task->folder.isEmpty());
    }
    // So do catalogue class names (a library device's folder is named after its class).
    const QByteArray entry = "><Updata Typ=\"Wired\" Open=\"on\" Version=\"V9\" recpath=\"http://127.0.0.1:1/x.bin\"/>";
    QVERIFY(m_dir->writeFile("bad.xml", "<UpdataProduct><firm name=\"QUORIX\"/><UpdataClass Name=\"..\"" + entry
                                            + "</UpdataClass><UpdataClass Name=\"a/b\"" + entry + "</UpdataClass></UpdataProduct>"));
    QWebDeviceVersionCheck *catalogue = QWebDeviceVersionCheck::Instance();
    QVERIFY(catalogue->ParseCatalogue(m_dir->filePath("bad.xml")));
    DeviceRecord wired;
    wired.subType = 1;
    wired.connectionState = StateWired;
    for (const QString &name : {QStringLiteral(".."), QStringLiteral("a/b")}) {
        QVERIFY(catalogue->ClassNamed(name) && catalogue->ClassNamed(name)->wired);
        wired.name = name;
        std::unique_ptr<DownTask> task(QDownTaskManage::MakeFirmwareTask(&wired));
        QCOMPARE(int(task->type), int(Q_ZR_UpdataObjectManage::TaskLibrary));
        QVERIFY(task->url.isEmpty() && task->folder.isEmpty());
    }
    rec.name = QStringLiteral("QUORIX QX3");
    std::unique_ptr<DownTask> good(QDownTaskManage::MakeFirmwareTask(&rec));
    QCOMPARE(int(good->type), int(Q_ZR_UpdataObjectManage::TaskPixArt));
    QCOMPARE(good->folder, AppDirPath() + "/Buff/QUORIX QX3/PixArt/");
    QCOMPARE(good->maxBytes, CmdControlPixArt::MaxImageBytes); // a larger download is refused

    // Finished downloads the dispatch still refuses: absent, a 10-character path, outside the
    // task's folder (through a link), not completed.
    const QString inside = good->folder + "fw.bin", tenCharacters = QStringLiteral("/tmp/Qx23a");
    QVERIFY(m_dir->writeFile("Buff/QUORIX QX3/PixArt/fw.bin", QByteArray(4096, 'x')));
    QVERIFY(m_dir->writeFile("outside.bin", QByteArray(4096, 'x')));
    QVERIFY(QFile::link(m_dir->filePath("outside.bin"), good->folder + "link.bin"));
    QFile::remove(tenCharacters);
    QVERIFY(QFile::copy(inside, tenCharacters));
    for (const QString &path : {good->folder + "gone.bin", tenCharacters, good->folder + "link.bin", inside}) {
        DownTask task = *good;
        task.filePath = path;
        task.status = path == inside ? DownTaskFailed : DownTaskDone;
        QVERIFY2(!Q_ZR_UpdataObjectManage::RunUpdataFile(&task, false), qPrintable(path));
    }
    QFile::remove(tenCharacters);
    QVERIFY(emu::TrafficLog().isEmpty());
    // Tasks of devices the list no longer holds (gone during their downloads) are dropped and
    // freed; the user is told.
    DialogCloser closer;
    QString product = QStringLiteral("66");
    closer.beforeOk = [&] { product = QUpdataDlg::Instance()->ButtonText(); };
    Q_ZR_UpdataObjectManage::StartUpdate({new DownTask(*good), new DownTask(*good)});
    QTRY_COMPARE(closer.closed, 1);
    QCOMPARE(closer.text, GetLangText(411) + "\n" + GetLangText(420));
    QVERIFY2(product.trimmed().isEmpty(), qPrintable(product));
    Q_ZR_UpdataObjectManage::StartUpdate({});
    QVERIFY(!Q_ZR_UpdataObjectManage::IsBusy());
}

void TstFirmwareUpdateFlow::refusalNamesProductAndCause()
{
    // Neither image comes with a length: both are refused, and the dialog that says so names
    // the mouse and the cause.
    Serve();
    LoopbackHttpServer::Route route;
    route.declaredLength = -2;
    for (const char *name : {"qx3_pixart_v200.bin", "qx3_geehy_v27.bin"}) {
        route.body = Sample(name);
        m_server->setRoute(QByteArray("/") + name, route);
    }
    SetUpdateDialogProduct(QStringLiteral("66"));
    auto mouse = PlugQx3();
    const uint32_t node = mouse->node();
    MessageAnswerer yes(true);
    DialogCloser closer;
    QString product;
    closer.beforeOk = [&] { product = QUpdataDlg::Instance()->ButtonText(); };
    MainWidget w;
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(node) && TileOf(node)->HasUpdate(), 10000);
    TileOf(node)->on_ButUpdata_clicked();
    QTRY_COMPARE_WITH_TIMEOUT(closer.closed, 1, 60000);
    QVERIFY2(product.trimmed().startsWith(GetLangText(415) + " "), qPrintable(product));
    QCOMPARE(closer.text, GetLangText(411) + "\n" + GetLangText(417));
    QByteArray pixArt;
    mouse->WithFlash([&](emu::PixArtFlash &f) { pixArt = f.Written(); });
    QVERIFY(pixArt.isEmpty());
    QVERIFY(!mouse->Bootloader() || mouse->Bootloader()->Written().isEmpty());
}

// The tray's exit at a fifth of the first chip: both chips are written, then the program ends.
void TstFirmwareUpdateFlow::exitWaitsForEveryChip()
{
    Serve();
    auto mouse = PlugQx3();
    MessageAnswerer yes(true);
    MainWidget w;
    QTRY_VERIFY_WITH_TIMEOUT(TileOf(mouse->node()) && TileOf(mouse->node())->HasUpdate(), 10000);
    QElapsedTimer sinceEnd; // from the last chip's end
    QObject within; // the connections end with the test
    connect(Q_YX_FW_Updata::Instance(), &Q_YX_FW_Updata::UpdataStep, &within, [](int step) {
        if (step >= 20)
            QTimer::singleShot(0, TrayIcon::Instance(), &TrayIcon::closeAll);
    });
    connect(Q_YX_FW_Updata::Instance(), &Q_YX_FW_Updata::UpdateEnded, &within, [&] { sinceEnd.start(); });
    TileOf(mouse->node())->on_ButUpdata_clicked();
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(sinceEnd.elapsed() < 1000 && !Q_ZR_UpdataObjectManage::IsBusy());
    QCOMPARE(mouse->Bootloader() ? mouse->Bootloader()->Written() : QByteArray(), Sample("qx3_geehy_v27.bin"));
    NestedWait::ClearEndRequest();
    TrayIcon::Destroy();
}

void TstFirmwareUpdateFlow::probeReadsPastNotices()
{
    auto mouse = PlugQx3();
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    DeviceRecord *io = HidRecordOfKind(found, mouse->node(), KindSecondIoWired);
    QVERIFY(io);
    mouse->InjectNotice(1, 0x55); // waiting before the reply; its byte 3 is no version
    QCOMPARE(Q_ZR_UpdataObjectManage::ProbeDeviceStatus(io), 0x26);
    QCOMPARE(int(io->version), 0x26);
    mouse->SetGeehyVersion(0);
    QCOMPARE(Q_ZR_UpdataObjectManage::ProbeDeviceStatus(io), -1);
    QCOMPARE(int(io->version), 0);
    HidCloseAll(found);
}

void TstFirmwareUpdateFlow::dialogTexts()
{
    QUpdataDlg *d = QUpdataDlg::Instance();
    for (int step : {5, 10, 15, 100})
        d->on_DispStup(step);
    const QByteArray log = m_dir->readFile(QStringLiteral("Log.txt"));
    QCOMPARE(log.count("updata: "), 2);
    QVERIFY(log.contains("updata: 10") && log.contains("updata: 100"));
    for (const QString &text : {QStringLiteral("Mouse firmware V12"), QStringLiteral("Mouse firmware ")}) {
        d->SetButtonText(text);
        d->SetButtonVersion(QStringLiteral("1012  "));
        QCOMPARE(d->ButtonText(), QStringLiteral("Mouse firmware 1012  "));
    }
    // Shown: progress 0, the opening text, no OK button until the update ended.
    d->show();
    QCOMPARE(d->Progress(), 0);
    QCOMPARE(d->MessageText(), GetLangText(414));
    QVERIFY(!d->IsOkShown());
    d->on_Hidebutton();
    QVERIFY(d->IsOkShown());
    d->on_hide();
    QVERIFY(!d->isVisible());
}

QTEST_MAIN(TstFirmwareUpdateFlow)
#include "tst_firmware_update_flow.moc"
