// The mouse takes itself away on entering each wait of an action of its page (its columns, its
// DPI page, its firmware area): no crash, no sanitizer report, no user file changed after.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QQuorixStyDpiPage.h"
#include "mouse/QReghtListWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WaitSweep.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

class TstWaitSweepMouse : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    uint32_t m_node = 0;

    static QLStyleMouseTabWidget *Tab() { return QLStyleMouseTabWidget::instance(); }
    static QQuorixStyDpiPage *Dpi() { return QQuorixStyDpiPage::instance(); }
    static HID_API *Api() { return HID_API::instance(); }

    // A fresh folder, one mouse of the family, its page opened as a tile click does.
    bool Open(bool second)
    {
        emu::Reset();
        emu::SetTimeScale(0.05);
        m_dir = std::make_unique<TestProgramDir>();
        ClearProductListCache();
        m_node = emu::Plug(emu::MakeDevice(second ? emu::Model::SecondFamilyWired : emu::Model::MouseWired));
        m_main = std::make_unique<MainWidget>();
        QKeyLableItem *tile = Api()->TileMap().value(m_node);
        if (!tile || Api()->SelectDevice(tile) != 0)
            return false;
        if (!QTest::qWaitFor([] { DeviceRecord *d = Api()->CurrentDevice(); return d && d->mouseData; }, 10000))
            return false;
        if (!Api()->Manager()->WaitIdle(10000))
            return false;
        m_main->OpenMousePage(second ? QStringLiteral("QX3") : QStringLiteral("QM8"));
        Tab()->ConfigMouse(Api()->CurrentDevice()->mouseData.get());
        return Tab() != nullptr;
    }
    void Close()
    {
        m_main.reset();
        emu::Reset();
        m_dir.reset();
    }
    void Sweep(bool second, const std::function<void()> &action)
    {
        WaitSweep::Run run;
        run.setup = [this, second] { return Open(second); };
        run.action = action;
        run.take = [this] { emu::Unplug(m_node); };
        run.gone = [this] { return Api() && !Api()->DeviceMap().contains(m_node); };
        run.teardown = [this] { Close(); };
        run.programDir = [this] { return m_dir ? m_dir->path() : QString(); };
        const int waits = WaitSweep::Sweep(run);
        QVERIFY2(waits > 0, "the action opened no wait");
    }

private Q_SLOTS:
    void actions_data()
    {
        QTest::addColumn<bool>("second");
        QTest::addColumn<int>("action");
        for (bool second : {false, true}) {
            const char *family = second ? "second family" : "20/520";
            QTest::addRow("%s: DPI preset deleted", family) << second << 0;
            QTest::addRow("%s: DPI presets restored", family) << second << 1;
            QTest::addRow("%s: column reset", family) << second << 2;
            QTest::addRow("%s: page restored", family) << second << 3;
            QTest::addRow("%s: macro of a button changed", family) << second << 4;
        }
    }
    void actions()
    {
        QFETCH(bool, second);
        QFETCH(int, action);
        Sweep(second, [action, second, this] {
            switch (action) {
            case 0:
                Tab()->butlefit_on_buttonClicked(1);
                Dpi()->ButAddConfig->click();
                Dpi()->ConfigList->setCurrentRow(1);
                Dpi()->ButDelete->click();
                break;
            case 1:
                Tab()->butlefit_on_buttonClicked(1);
                Dpi()->ButAddConfig->click();
                Dpi()->ButResetConfig->click();
                break;
            case 2:
                if (QGradualChangeLine *column = Tab()->findChild<QGradualChangeLine *>())
                    column->on_ResetButtonCheck();
                break;
            case 3:
                Tab()->ButResetConfig->click();
                break;
            case 4: {
                WriteMacroFile(*m_dir, second ? QStringLiteral("QX3") : QStringLiteral("QM8"), QStringLiteral("m1"),
                               QByteArray::fromHex("10000004"));
                LineKeyRecord row;
                row.sendAddress = 3;
                row.defaultCode = QStringLiteral("01010000");
                row.valueType = 1;
                row.reName = QStringLiteral("m1");
                auto *column = new QGradualChangeLine(Tab()->m_LStyleBoraWidget);
                column->SetColumnName(QStringLiteral("L"));
                column->SetLines({row});
                Tab()->on_MacroFileChangge(QStringLiteral("m1"));
                break;
            }
            }
        });
    }
    void cleanupTestCase()
    {
        qInfo("waiting places reached: %d", int(WaitSweep::Sites().size()));
        QStringList sites = WaitSweep::Sites().values();
        sites.sort();
        qInfo("%s", qPrintable(sites.join(QLatin1Char(' '))));
    }
};

QTEST_MAIN(TstWaitSweepMouse)
#include "tst_wait_sweep_mouse.moc"
