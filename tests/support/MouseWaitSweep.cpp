#include "tests/support/MouseWaitSweep.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WaitSweep.h"

#include <QtTest>

MouseWaitSweep::MouseWaitSweep() = default;
MouseWaitSweep::~MouseWaitSweep()
{
    Close();
}

QString MouseWaitSweep::Product() const
{
    return m_second ? QStringLiteral("QX3") : QStringLiteral("QM8");
}

bool MouseWaitSweep::Open(bool second, bool receiver)
{
    using emu::Model;
    emu::Reset();
    emu::SetTimeScale(0.05);
    m_second = second;
    m_dir = std::make_unique<TestProgramDir>();
    ClearProductListCache();
    const Model model = second ? (receiver ? Model::SecondFamilyReceiver : Model::SecondFamilyWired)
                               : (receiver ? Model::MouseReceiver : Model::MouseWired);
    m_node = emu::Plug(emu::MakeDevice(model));
    m_main = std::make_unique<MainWidget>();
    HID_API *api = HID_API::instance();
    QKeyLableItem *tile = api->TileMap().value(m_node);
    if (!tile || api->SelectDevice(tile) != 0)
        return false;
    if (!QTest::qWaitFor([api] { DeviceRecord *d = api->CurrentDevice(); return d && d->mouseData; }, 10000))
        return false;
    if (!api->Manager()->WaitIdle(10000))
        return false;
    m_main->OpenMousePage(Product());
    QLStyleMouseTabWidget *tab = QLStyleMouseTabWidget::instance();
    if (!tab)
        return false;
    tab->ConfigMouse(api->CurrentDevice()->mouseData.get());
    return true;
}

void MouseWaitSweep::Close()
{
    m_main.reset();
    emu::Reset();
    m_dir.reset();
}

void MouseWaitSweep::Sweep(bool second, Take take, const std::function<void()> &action, int maxWaits)
{
    WaitSweep::Run run;
    run.setup = [this, second, take] { return Open(second, take == Take::Sleep); };
    run.action = action;
    run.take = [this, take] {
        if (take == Take::Unplug)
            emu::Unplug(m_node);
        else if (auto m20 = std::dynamic_pointer_cast<emu::EmuMouse20>(emu::DeviceOf(m_node)))
            m20->InjectStatus(2, 0);
        else if (auto myx = std::dynamic_pointer_cast<emu::MouseYx>(emu::DeviceOf(m_node)))
            myx->InjectNotice(2, 0);
    };
    run.gone = [this, take] {
        HID_API *api = HID_API::instance();
        QLStyleMouseTabWidget *tab = QLStyleMouseTabWidget::instance();
        // asleep, the mouse stays listed and current; its page is left either way
        const bool left = !(tab && tab->IsDeviceLoaded());
        return left && (take == Take::Sleep || !api->DeviceMap().contains(m_node));
    };
    run.teardown = [this] { Close(); };
    run.programDir = [this] { return m_dir ? m_dir->path() : QString(); };
    run.maxWaits = maxWaits;
    const int waits = WaitSweep::Sweep(run);
    QVERIFY2(waits > 0, "the action opened no wait");
}

void MouseWaitSweep::AddRows(const QVector<Action> &actions, const QVector<int> &asleep)
{
    QTest::addColumn<bool>("second");
    QTest::addColumn<int>("take");
    QTest::addColumn<int>("action");
    for (int i = 0; i < actions.size(); ++i)
        for (bool second : {false, true})
            if (actions.at(i).families & (second ? 2 : 1))
                QTest::addRow("%s: %s", second ? "second family" : "20/520", actions.at(i).name)
                    << second << int(Take::Unplug) << i;
    for (int i : asleep)
        QTest::addRow("20/520 asleep: %s", actions.at(i).name) << false << int(Take::Sleep) << i;
}

void MouseWaitSweep::SweepRow(const QVector<Action> &actions)
{
    QFETCH(bool, second);
    QFETCH(int, take);
    QFETCH(int, action);
    MouseWaitSweep sweep;
    const Action &a = actions.at(action);
    sweep.Sweep(second, Take(take), [&] { a.run(sweep); }, a.waits);
}

