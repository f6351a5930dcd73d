// The mouse takes itself away on entering each wait of an action of its DPI page and of its
// firmware and reset page: no crash, no sanitizer report, no user file changed after.
#include "app/MainWidget.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QKeyLableItem.h"
#include "firmware/QUpdataDlg.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "firmware/Q_ZR_UpdataObjectManage.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QQuorixStyDpiPage.h"
#include "mouse/QReghtListWidget.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MouseWaitSweep.h"
#include "tests/support/WaitSweep.h"
#include "tests/support/TestProgramDir.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
using Action = MouseWaitSweep::Action;

QLStyleMouseTabWidget *Tab() { return QLStyleMouseTabWidget::instance(); }
QQuorixStyDpiPage *Dpi() { return QQuorixStyDpiPage::instance(); }

// The DPI page shown with this many presets, the last one chosen.
void Presets(int count)
{
    Tab()->butlefit_on_buttonClicked(1);
    while (Dpi()->ConfigList->count() < count)
        Dpi()->ButAddConfig->click();
    Dpi()->ConfigList->setCurrentRow(count - 1);
}

// Newer firmware listed for the mouse: Yes downloads it and the page starts the update.
void UpdateFirmware(MouseWaitSweep &s)
{
    LoopbackHttpServer server;
    server.listen();
    server.setFile("/qx3.bin", QByteArray(3000, '\x5a'));
    s.Dir().writeFile("Buff/cat.xml", QStringLiteral(
        "<UpdataProduct><firm name=\"QUORIX\"/><UpdataClass Name=\"QUORIX QX3_PixArt\"><Item Typ=\"Wired_8K\" "
        "Open=\"on\" Version=\"V200\" recpath=\"%1\"/></UpdataClass></UpdataProduct>").arg(server.url("/qx3.bin")).toUtf8());
    QWebDeviceVersionCheck::Instance()->ParseCatalogue(s.Dir().filePath("Buff/cat.xml"));
    HID_API::instance()->TileMap().value(HID_API::instance()->CurrentDevice()->deviceId)->On_CheckUpgrade();
    QTimer ok; // the update dialog's OK once the update has ended
    QObject::connect(&ok, &QTimer::timeout, [] {
        QUpdataDlg *dialog = QUpdataDlg::ExistingInstance();
        if (dialog && dialog->isVisible() && dialog->IsOkShown())
            dialog->on_pushButton_clicked();
    });
    ok.start(50);
    Tab()->m_FirmwareStatus = 2;
    Tab()->FwButUpdata->click();
    // the download ends, the page waits and starts the update (only for a mouse that is there)
    QTest::qWaitFor([] { return Q_ZR_UpdataObjectManage::IsBusy() || !Tab()->IsDeviceLoaded(); }, 20000);
    QVERIFY(!Q_ZR_UpdataObjectManage::IsBusy() || HID_API::instance()->CurrentDevice());
    QTest::qWaitFor([] { return !Q_ZR_UpdataObjectManage::IsBusy(); }, 30000);
}

const QVector<Action> &Actions()
{
    static const QVector<Action> actions{
        {"DPI preset deleted", 3, 1, [](MouseWaitSweep &) {
             Presets(2);
             Dpi()->ButDelete->click();
         }},
        {"DPI presets restored", 3, 1, [](MouseWaitSweep &) {
             Presets(2);
             Dpi()->ButResetConfig->click();
         }},
        {"DPI preset deleted by a right click", 1, 2, [](MouseWaitSweep &) {
             Presets(2);
             Q_EMIT Dpi()->ConfigList->RightChick();
         }},
        {"DPI preset added past ten", 1, 1, [](MouseWaitSweep &) {
             Presets(10);
             Dpi()->ButAddConfig->click();
         }},
        {"page restored", 3, 4, [](MouseWaitSweep &) { Tab()->ButResetConfig->click(); }},
        {"no firmware offered", 2, 1, [](MouseWaitSweep &) {
             Tab()->m_FirmwareStatus = 0;
             Tab()->FwButUpdata->click();
         }},
        {"firmware downloaded", 2, 4, UpdateFirmware},
    };
    return actions;
}
} // namespace

class TstWaitSweepMouseDpi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void actions_data() { MouseWaitSweep::AddRows(Actions(), {0, 4}); }
    void actions() { MouseWaitSweep::SweepRow(Actions()); }
    void cleanupTestCase() { qInfo("%s", qPrintable(WaitSweep::SitesReport())); }
};

QTEST_MAIN(TstWaitSweepMouseDpi)
#include "tst_wait_sweep_mouse_dpi.moc"
