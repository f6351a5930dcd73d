// The worker manager's table, routing, one command at a time, kept requests, relays.
#include "device/DeviceRecord.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "tests/support/QueuedSignalSpy.h"

#include <QPointer>
#include <QtTest>

#include <atomic>

namespace {
class StubWorker : public QHid_Work_Interface
{
public:
    explicit StubWorker(QObject *parent = nullptr) : QHid_Work_Interface(parent) {}
    ~StubWorker() override { alive = false; }

    std::atomic<int> active{0};
    std::atomic<int> maxActive{0};
    std::atomic<bool> alive{true};
    int slowMs = 0;
    QMutex lock;
    QStringList calls;

    void Enter(const QString &what)
    {
        const int now = ++active;
        int seen = maxActive;
        while (now > seen && !maxActive.compare_exchange_weak(seen, now)) {
        }
        {
            QMutexLocker l(&lock);
            calls << what;
        }
        if (slowMs)
            QThread::msleep(static_cast<unsigned long>(slowMs));
        --active;
    }
    QStringList Calls()
    {
        QMutexLocker l(&lock);
        return calls;
    }

    void ChangeLightModel() override { Enter(QStringLiteral("model")); }
    void ChangeLightColor() override { Enter(QStringLiteral("colour")); }
    void ChangeLightSpeedLuminance() override { Enter(QStringLiteral("speed")); }
    void ChangeLightMColor() override { Enter(QStringLiteral("mcolour")); }
    void WriteKeys() override
    {
        const QString before = m_KeyFile + QLatin1Char('/') + QString::number(m_ChangedLayer);
        Enter(QStringLiteral("keys:") + before);
        const QString after = m_KeyFile + QLatin1Char('/') + QString::number(m_ChangedLayer);
        if (before != after) {
            QMutexLocker l(&lock);
            calls << QStringLiteral("ARGUMENTS CHANGED");
        }
    }
    void WriteConfigBlock() override { Enter(QStringLiteral("block")); }
    void RecoverConfig() override { Enter(QStringLiteral("recover:") + m_KeyFile); }
    void WriteDpiTable() override { Enter(QStringLiteral("dpi")); }
    void WriteDiyColorMap() override { Enter(QStringLiteral("diy")); }
    void SynchronizingDeviceData() override { Enter(QStringLiteral("sync")); }
    void SetParam(uchar code, uint a, uint b, uint c, uint d, uint e, uint f) override
    {
        const bool all = a == 0xFFFFFFFFu && b == a && c == a && d == a && e == a && f == a;
        Enter(QStringLiteral("param:%1:%2").arg(code).arg(all ? QStringLiteral("ffffffff") : QStringLiteral("?")));
    }
};
} // namespace

class TestDeviceManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void routing();
    void noCurrentWorkerDoesNothing();
    void oneCommandAtATimeAndKeptRequests();
    void runningArgumentsUntouched();
    void configBlockCommand();
    void duplicateAddKeepsOldWorker();
    void removeWhileRunningWaits();
    void relays();
    void createWorkerByKind();

private:
    QHid_Threads_Manage *m_manager = nullptr;
    DeviceRecord *m_record = nullptr;
    StubWorker *Add(uint32_t id);
};

void TestDeviceManager::init()
{
    m_manager = new QHid_Threads_Manage;
    m_record = new DeviceRecord;
    m_record->connectionState = StateWired; // the awake check answers without traffic
    m_record->deviceType = 2;
}

void TestDeviceManager::cleanup()
{
    QVERIFY(m_manager->WaitIdle(5000));
    delete m_manager;
    m_manager = nullptr;
    delete m_record;
    m_record = nullptr;
}

StubWorker *TestDeviceManager::Add(uint32_t id)
{
    auto *w = new StubWorker(m_manager);
    w->SetDevice(m_record);
    if (!m_manager->AddWorker(id, w))
        return nullptr;
    return w;
}

void TestDeviceManager::routing()
{
    StubWorker *w = Add(7);
    QVERIFY(w);
    QCOMPARE(m_manager->Worker(7), w);
    QCOMPARE(w->m_DeviceId.load(), 7u);
    m_manager->SetCurrentDeviceId(7);
    QCOMPARE(m_manager->CurrentWorker(), w);
    // Sent on the manager's thread.
    QueuedSignalSpy err(m_manager, &QHid_Threads_Manage::ErrorPop);
    QueuedSignalSpy busy(m_manager, &QHid_Threads_Manage::ShowBusy);
    m_manager->on_KeyResetLightModel();
    QVERIFY(m_manager->WaitIdle(5000));
    m_manager->on_KeyResetLightModelColor();
    m_manager->on_KeyBoradLightSleep_Lumina();
    m_manager->on_KeyBoradLightMColor();
    m_manager->on_KeyBoard_Keys_Chenge(QStringLiteral("Base.xml"), 2);
    m_manager->on_ResetKeyboradConfig(QStringLiteral("Saved.xml"));
    m_manager->on_MouseUpdataConfigPram(7);
    m_manager->on_RecoverMouseConfig();
    m_manager->on_KeyBoradDiyColorChange();
    m_manager->on_SynchronizingDeviceData();
    m_manager->on_GrabKeyBoradConfigMaps(); // 5: nothing
    m_manager->updata_KeyConfig();          // 9: nothing
    m_manager->on_GrabMousePram();          // 17: nothing
    QVERIFY(m_manager->WaitIdle(5000));
    QCoreApplication::processEvents();
    QCOMPARE(w->Calls(), QStringList({"model", "colour", "speed", "mcolour", "keys:Base.xml/2", "recover:Saved.xml",
                                      "param:7:ffffffff", "recover:Saved.xml", "diy", "sync"}));
    QCOMPARE(err.count(), 1);
    QCOMPARE(err[0][1].toInt(), 6); // no write result flag was set: never reported as success
    QVERIFY(busy.count() >= 3);
    QCOMPARE(m_manager->CommandCode(), 17);
}

void TestDeviceManager::noCurrentWorkerDoesNothing()
{
    StubWorker *w = Add(7);
    m_manager->on_KeyResetLightModel(); // current id 0
    m_manager->SetCurrentDeviceId(8);   // not registered
    m_manager->on_KeyBoradLightMColor();
    QVERIFY(m_manager->WaitIdle(5000));
    QVERIFY(w->Calls().isEmpty());
}

void TestDeviceManager::oneCommandAtATimeAndKeptRequests()
{
    StubWorker *w = Add(7);
    w->slowMs = 150;
    m_manager->SetCurrentDeviceId(7);
    m_manager->on_KeyResetLightModel();
    QTRY_VERIFY(!w->Calls().isEmpty()); // running
    m_manager->on_KeyBoradLightMColor();
    m_manager->on_KeyBoradLightMColor(); // replaces the waiting one (a dragged slider)
    m_manager->on_KeyBoradLightSleep_Lumina();
    QCOMPARE(m_manager->PendingCommands(), 2);
    QVERIFY(m_manager->WaitIdle(5000));
    QCOMPARE(w->Calls(), QStringList({"model", "mcolour", "speed"}));
    QCOMPARE(w->maxActive.load(), 1);
}

void TestDeviceManager::runningArgumentsUntouched()
{
    StubWorker *w = Add(7);
    w->slowMs = 150;
    m_manager->SetCurrentDeviceId(7);
    m_manager->on_KeyBoard_Keys_Chenge(QStringLiteral("a.xml"), 1);
    QTRY_VERIFY(!w->Calls().isEmpty());
    m_manager->on_KeyBoard_Keys_Chenge(QStringLiteral("b.xml"), 2);
    m_manager->on_KeyBoard_Keys_Chenge(QStringLiteral("c.xml"), 3); // the user's last change wins
    QVERIFY(m_manager->WaitIdle(5000));
    QCOMPARE(w->Calls(), QStringList({"keys:a.xml/1", "keys:c.xml/3"}));
}

void TestDeviceManager::configBlockCommand()
{
    StubWorker *w = Add(7);
    m_manager->SetCurrentDeviceId(7);
    QueuedSignalSpy busy(m_manager, &QHid_Threads_Manage::ShowBusy);
    m_manager->on_KeyBoradConfigPramChange(nullptr);
    QVERIFY(m_manager->WaitIdle(5000));
    QCoreApplication::processEvents();
    QVERIFY(w->Calls().isEmpty());
    QCOMPARE(busy.count(), 0);
    auto *block = static_cast<uchar *>(calloc(520, 1));
    m_manager->on_KeyBoradConfigPramChange(block);
    free(block); // the manager holds its own copy
    QVERIFY(m_manager->WaitIdle(5000));
    QCoreApplication::processEvents();
    QCOMPARE(w->Calls(), QStringList({"block"}));
    QCOMPARE(busy.count(), 1);
}

void TestDeviceManager::duplicateAddKeepsOldWorker()
{
    StubWorker *old = Add(7);
    QPointer<StubWorker> fresh = new StubWorker;
    QVERIFY(m_manager->AddWorker(7, old)); // the same worker again: true, nothing else
    QVERIFY(!m_manager->AddWorker(7, fresh));
    QVERIFY(fresh.isNull());
    QCOMPARE(m_manager->Worker(7), old);
}

void TestDeviceManager::removeWhileRunningWaits()
{
    StubWorker *w = Add(7);
    w->slowMs = 200;
    QPointer<StubWorker> guard = w;
    m_manager->SetCurrentDeviceId(7);
    m_manager->on_KeyResetLightModel();
    QTRY_VERIFY(!w->Calls().isEmpty());
    QElapsedTimer t;
    t.start();
    m_manager->RemoveWorker(7); // waits for the command on it to end
    QVERIFY(guard.isNull());
    QVERIFY(t.elapsed() >= 100);
    QVERIFY(!m_manager->Worker(7));
    m_manager->RemoveWorker(7); // unregistered: nothing
    m_manager->on_KeyResetLightModel();
    QVERIFY(m_manager->WaitIdle(5000));
}

void TestDeviceManager::relays()
{
    StubWorker *w = Add(7);
    QSignalSpy upd(m_manager, &QHid_Threads_Manage::UpdataHidDevice);
    QSignalSpy light(m_manager, &QHid_Threads_Manage::mThreadInputKeyBoradLightChange);
    QSignalSpy model(m_manager, &QHid_Threads_Manage::mChangeResetLightModelSucceed);
    QSignalSpy keys(m_manager, &QHid_Threads_Manage::mChangeResetKeyvalueRetul);
    Q_EMIT w->Device_Put_Chenge(7, true);
    Q_EMIT w->mouse_Pow_Chenge(7, 50);
    Q_EMIT w->Device_Product_Chenge(7);
    Q_EMIT w->ThreadInputKeyBoradLightChange();
    Q_EMIT w->ChangeResetLightModelSucceed();
    Q_EMIT w->ChangeResetKeyvalueRetul(true);
    QCOMPARE(upd.count(), 3);
    QCOMPARE(upd[0][1].value<uchar>(), uchar(2));
    QCOMPARE(upd[1][1].value<uchar>(), uchar(5));
    QCOMPARE(upd[2][1].value<uchar>(), uchar(11));
    QCOMPARE(light.count(), 1);
    QCOMPARE(model.count(), 1);
    QCOMPARE(keys.count(), 1);
    // a removed device's connection notice is dropped; its product notice is relayed
    upd.clear();
    m_manager->on_Device_Put_Chenge(99, true);
    m_manager->on_mouse_Pow_Chenge(99, 10);
    m_manager->on_Device_Product_Chenge(99);
    QCOMPARE(upd.count(), 1);
    QCOMPARE(upd[0][1].value<uchar>(), uchar(11));
    // the DPI value relay
    QSignalSpy dpi(m_manager, &QHid_Threads_Manage::DpiInPut);
    QSignalSpy dpiChange(m_manager, &QHid_Threads_Manage::ThreadDPichange);
    m_manager->on_Mouse_Dpi_Chenge(7u, 800);
    m_manager->on_Mouse_Dpi_Chenge(7u, 40);
    QCOMPARE(dpiChange.count(), 2);
    QCOMPARE(dpi.count(), 1);
}

void TestDeviceManager::createWorkerByKind()
{
    DeviceRecord keyboard;
    keyboard.kind = KindKeyboardReceiver;
    keyboard.connectionState = StateWired;
    QHid_Work_Interface *w = m_manager->CreateWorker(3, &keyboard);
    QVERIFY(w);
    QCOMPARE(w->parent(), m_manager);
    QCOMPARE(w->Device(), &keyboard);
    QVERIFY(!m_manager->CreateWorker(3, &keyboard)); // registered already
    DeviceRecord second;
    second.kind = KindSecondFeatureWired;
    QVERIFY(!m_manager->CreateWorker(4, &second));
    m_manager->StopAll();
    QVERIFY(m_manager->WorkerIds().isEmpty());
}

QTEST_MAIN(TestDeviceManager)
#include "tst_device_manager.moc"
