// The audio lighting tab on the keyboard page, against the emulated keyboard (wired and through
// its receiver) and, for the sound itself, a PulseAudio daemon of the test's own: the settings it
// keeps, the sleep it raises and restores, and the frames the keyboard shows for a played tone.
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyBoradMApMange.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "lighting/AudioMonitor.h"
#include "lighting/LightRowsFile.h"
#include "lighting/QAudion_Light_Field_Change.h"
#include "lighting/QLightConfigWIdget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WaitSweep.h"
#include "widgets/QEditColourDialog.h"
#include "widgets/QLR_PopWidget.h"
#include "widgets/QMaskGrayLabel.h"
#include "widgets/QSliderAlterMax.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>
#include <cmath>
#include <memory>

using Wire = emu::Model;

namespace {
constexpr int kWaitMs = 10000;
constexpr int kSleepPos = 10; // "delayed" of the sample layout
} // namespace

class TestAudioTab : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void wires_data();
    void settingsAndSleep_data() { wires_data(); }
    void settingsAndSleep();
    void toneFrames_data() { wires_data(); }
    void toneFrames();
    void sinkUnloadedAndRefresh();
    void exitDuringTheTabsWait_data();
    void exitDuringTheTabsWait();

private:
    void StartServer();
    void Open(Wire wire);
    void Click(uint id);
    void SettleManager();
    QVariant Rhythm(const QString &key) const;
    QString Tip() const { QLR_PopWidget *p = QLR_PopWidget::Current(); return p ? p->Text() : QString(); }
    // The sleep byte of the keyboard's stored block; a value given is put there first.
    static int Sleep(int set = -1);
    QVector<emu::AudioFrame> FramesFor(int ms);
    // The frames of a 1000 Hz tone once it has settled (a busy machine starts the player late).
    QVector<emu::AudioFrame> FramesOfTone(double amplitude);

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<PulseTestServer> m_server;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuKeyboard> m_dev;
    QLStyleKeybordTabWidget *m_page = nullptr;
    QLightConfigWIdget *m_light = nullptr;
};

void TestAudioTab::init()
{
    emu::SetTimeScale(0.05);
    m_dir.reset(new TestProgramDir);
    // Every effect the tab knows, "@"-marked as some layouts give them, LIGHT_OFF last.
    const QString layout = QStringLiteral("Products/QK75/QK75_KeyBoed.xml");
    QString xml = QString::fromUtf8(m_dir->readFile(layout));
    xml.replace(QStringLiteral("names=\"168|169|170|171|172|173\""), QStringLiteral("names=\"@168|169|@171|428|98\""));
    QVERIFY(m_dir->writeFile(layout, xml.toUtf8()));
}

void TestAudioTab::cleanup()
{
    m_main.reset();
    m_dev.reset();
    QVERIFY(emu::Errors().isEmpty());
    emu::Reset();
    m_server.reset();
    m_dir.reset();
}

void TestAudioTab::wires_data()
{
    QTest::addColumn<int>("wire");
    QTest::newRow("wired") << int(Wire::KeyboardWired);
    QTest::newRow("receiver") << int(Wire::KeyboardReceiver);
}

void TestAudioTab::StartServer()
{
    m_server = std::make_unique<PulseTestServer>();
    if (!m_server->failure().isEmpty())
        QSKIP(qPrintable(QStringLiteral("no sound server can run: ") + m_server->failure()));
}

void TestAudioTab::Open(Wire wire)
{
    m_dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(wire));
    const uint32_t node = emu::Plug(m_dev);
    m_main.reset(new MainWidget);
    m_main->show();
    HID_API *api = HID_API::instance();
    QTRY_VERIFY_WITH_TIMEOUT(api->TileMap().value(node) && api->Manager()->Worker(node), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!api->TileMap().value(node)->ProductFolder().isEmpty(), 5000);
    api->TileMap().value(node)->on_test();
    m_page = QLStyleKeybordTabWidget::instance();
    m_light = m_page->LightPage();
    m_page->ButLight->click();
    m_page->on_RestDispText(1);
    QCOMPARE(m_light->ui->LightConfigWIdget->currentIndex(), 1);
}

void TestAudioTab::Click(uint id)
{
    QListWidget *list = m_light->ui->AudionLightWidget;
    const int row = m_light->AudioIds().indexOf(id);
    QVERIFY(row >= 0);
    list->setCurrentRow(row);
    Q_EMIT list->itemClicked(list->item(row));
}

void TestAudioTab::SettleManager()
{
    QTRY_VERIFY_WITH_TIMEOUT(HID_API::instance()->Manager()->PendingCommands() == 0, kWaitMs);
    // the busy mask the commands raise is down: it keeps clicks and keys from the page
    const QMaskGrayLabel *mask = m_main->findChild<QMaskGrayLabel *>();
    QTRY_VERIFY_WITH_TIMEOUT(!mask || mask->isHidden(), kWaitMs);
    QTest::qWait(50);
}

QVariant TestAudioTab::Rhythm(const QString &key) const
{
    QSettings ini(m_dir->filePath(QStringLiteral("Products/QK75/rhythmLight.ini")), QSettings::IniFormat);
    return ini.value(key);
}

int TestAudioTab::Sleep(int set)
{
    QKeyBoradMApMange *store = HID_API::instance()->CurrentDevice()->keyboardStore;
    uint8_t *b = store->KeyBlockCopy(520);
    if (set >= 0)
        b[kSleepPos] = uint8_t(set);
    const int v = b[kSleepPos];
    store->SetKeyBlock(b, 520, true);
    return v;
}

// The list, the settings kept per effect, the edit states, the interval edit, a repeated click,
// and the sleep a wireless keyboard is held at while an audio effect runs.
void TestAudioTab::settingsAndSleep()
{
    QFETCH(int, wire);
    const bool wireless = Wire(wire) == Wire::KeyboardReceiver;
    // No sound server: the tab opens under the mask.
    const QByteArray server = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + m_dir->filePath(QStringLiteral("no-server")).toLocal8Bit());
    Open(Wire(wire));
    server.isEmpty() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", server);
    QVERIFY(m_light->Masked());
    QVERIFY(!m_light->ui->TabAudionPage->isEnabled());
    m_light->ShowMask(true); // as with a speaker: the tab works the same without sound
    QCOMPARE(m_light->AudioIds(), (QList<uint>{168, 169, 171, 428, 98}));
    Sleep(10);
    std::unique_ptr<QSettings> data(m_main->OpenProductDataIni());
    data->remove(QStringLiteral("user/KeybordAudioSleep"));
    data->sync();

    // Stored settings are shown and handed over; the sleep goes up to 40 on a wireless keyboard.
    QSettings rows(m_dir->filePath(QStringLiteral("Products/QK75/rhythmLight.ini")), QSettings::IniFormat);
    rows.setValue(QStringLiteral("Dazzling_rock/LabelColorMap"), QStringLiteral("12,34,56"));
    rows.setValue(QStringLiteral("Dazzling_rock/SliderGain"), 150);
    rows.setValue(QStringLiteral("Dazzling_rock/SliderSmooth"), 30);
    rows.setValue(QStringLiteral("Dazzling_rock/GrabAudioTime"), 60);
    rows.sync();
    Click(169);
    QCOMPARE(m_light->ui->Audin_Gian_Value->text(), QStringLiteral("1.5"));
    QCOMPARE(m_light->ui->Audio_Smoot_Value->text(), QStringLiteral("3"));
    QCOMPARE(m_light->ui->EditVertrefresh->text(), QStringLiteral("60"));
    QCOMPARE(m_light->ui->ColourWidget_Audion->CurrentColour(), QColor(12, 34, 56));
    QVERIFY(m_light->ui->ColourWidget_Audion->IsGradientRampEnabled());
    QVERIFY(!m_light->ui->Audin_Gian_Slider->isHidden());
    AudioMonitor *audio = AudioMonitor::instance();
    QVERIFY(audio && audio->CurrentEffect());
    QCOMPARE(audio->CurrentEffect()->Gain(), 1.5);
    QCOMPARE(audio->CurrentEffect()->Smoothing(), 3.0); // the label's scale, as a slider release gives
    QCOMPARE(audio->GrabTime(), 60u);
    QCOMPARE(Rhythm(QStringLiteral("AudioParam/DefaultAudio")).toString(), QStringLiteral("Dazzling_rock"));
    QVERIFY(Rhythm(QStringLiteral("AudioParam/OPen")).toBool());
    SettleManager();
    data->sync();
    QCOMPARE(Sleep(), wireless ? 40 : 10);
    if (wireless)
        QCOMPARE(int(uint8_t(m_dev->Block().at(kSleepPos))), 40);
    QCOMPARE(data->value(QStringLiteral("user/KeybordAudioSleep")).toInt(), wireless ? 10 : 0);
    QCOMPARE(Tip(), wireless ? GetLangText(859) : QString());

    // The interval: 20 is refused and the stored one put back; 120 is stored and emitted.
    SettleManager();
    QSignalSpy grab(m_light, &QLightConfigWIdget::ResetAudionGrabTime);
    for (const char *typed : {"20", "120"}) {
        m_light->ui->EditVertrefresh->setText(QLatin1String(typed));
        QTest::keyClick(m_light->ui->EditVertrefresh, Qt::Key_Return);
    }
    QCOMPARE(grab.count(), 1);
    QCOMPARE(grab.at(0).at(0).toUInt(), 120u);
    QCOMPARE(Rhythm(QStringLiteral("Dazzling_rock/GrabAudioTime")).toInt(), 120);
    QCOMPARE(audio->GrabTime(), 120u);

    // A slider release stores the positions; a second click on the same row loads nothing.
    m_light->ui->Audin_Gian_Slider->setValue(70);
    Q_EMIT m_light->ui->Audin_Gian_Slider->sliderReleased();
    QCOMPARE(Rhythm(QStringLiteral("Dazzling_rock/SliderGain")).toInt(), 70);
    QAudioEffctBass *running = audio->CurrentEffect();
    Click(169);
    QCOMPARE(audio->CurrentEffect(), running);

    // Light_Field_Change and Dynamic_Spectrum have no colour, gain or smoothing.
    for (uint id : {171u, 428u}) {
        Click(id);
        QVERIFY(!m_light->ui->ColourWidget_Audion->IsGradientRampEnabled());
        QVERIFY(m_light->ui->Audin_Gian_Slider->isHidden() && m_light->ui->Audio_Smoot_Value->isHidden());
    }

    // LIGHT_OFF stops the effect and puts the stored sleep back, through the worker manager.
    Click(98);
    QVERIFY(!audio->CurrentEffect());
    QVERIFY(!Rhythm(QStringLiteral("AudioParam/OPen")).toBool());
    SettleManager();
    QCOMPARE(Sleep(), 10);
    if (wireless) {
        QCOMPARE(int(uint8_t(m_dev->Block().at(kSleepPos))), 10);
        QCOMPARE(Tip(), GetLangText(858));
        // Held at 40 with no stored value: 40 stays rather than "never sleep".
        Sleep(40);
        data->remove(QStringLiteral("user/KeybordAudioSleep"));
        data->sync();
        Click(169);
        Click(98);
        SettleManager();
        QCOMPARE(Sleep(), 40);
    }

    // Opening the tab again runs the stored choice.
    Click(171);
    m_page->on_RestDispText(0);
    audio->on_SetAudioEffectModel(98, false, 0, 0, 0, 0, 0, 0);
    m_page->on_RestDispText(1);
    QCOMPARE(m_light->ui->AudionLightWidget->currentRow(), 2);
    QVERIFY(audio->CurrentEffect());
}

QVector<emu::AudioFrame> TestAudioTab::FramesFor(int ms)
{
    m_dev->ClearAudioFrames();
    QTest::qWait(ms);
    return m_dev->AudioFrames();
}

QVector<emu::AudioFrame> TestAudioTab::FramesOfTone(double amplitude)
{
    m_dev->ClearAudioFrames();
    if (!m_server->playTone(QStringLiteral("test_sink"), int(AudioMonitor::instance()->MixFormat().samplesPerSec), 1000.0,
                            amplitude))
        return {};
    const auto lit = [this] {
        for (const emu::AudioFrame &f : m_dev->AudioFrames())
            if (f.colours.count('\0') != f.colours.size())
                return true;
        return false;
    };
    QElapsedTimer wait;
    wait.start();
    while (!lit() && wait.elapsed() < kWaitMs)
        QTest::qWait(20);
    QTest::qWait(300);
    const QVector<emu::AudioFrame> f = FramesFor(800);
    m_server->stopTone();
    return f;
}

// Light_Field_Change with (200, 100, 50): silence sends nothing; a quiet and a loud tone show in
// the colour of the step their level gives (within one step: packet edges cut the sine), the
// loud one higher; with Dance Soft the lit steps reach higher for the loud tone.
void TestAudioTab::toneFrames()
{
    QFETCH(int, wire);
    const bool wired = Wire(wire) == Wire::KeyboardWired;
    StartServer();
    QSettings rows(m_dir->filePath(QStringLiteral("Products/QK75/rhythmLight.ini")), QSettings::IniFormat);
    // one colour, no gain or smoothing: the level alone chooses the step
    for (const char *name : {"Light_Field_Change", "Audio_dance_Soft"}) {
        rows.setValue(QLatin1String(name) + QStringLiteral("/LabelColorMap"), QStringLiteral("200,100,50"));
        rows.setValue(QLatin1String(name) + QStringLiteral("/MColour"), false);
        rows.setValue(QLatin1String(name) + QStringLiteral("/SliderGain"), 0);
        rows.setValue(QLatin1String(name) + QStringLiteral("/SliderSmooth"), 0);
    }
    rows.sync();
    Open(Wire(wire));
    QVERIFY(!m_light->Masked());
    Click(171);
    AudioMonitor *audio = AudioMonitor::instance();
    QTRY_VERIFY_WITH_TIMEOUT(audio->isRunning(), kWaitMs);
    QCOMPARE(FramesFor(600).size(), 0);

    const int frames = int(audio->MixFormat().samplesPerSec / 100);
    int steps[2] = {0, 0};
    const double amplitudes[2] = {0.1, 0.4};
    for (int loud = 0; loud < 2; ++loud) {
        const QVector<emu::AudioFrame> f = FramesOfTone(amplitudes[loud]);
        QVERIFY(f.size() > 3);
        // A sine of amplitude a over whole cycles: max a*n/2, mean about a (the peak and its mirror).
        const double level = amplitudes[loud] * frames / 2 - amplitudes[loud];
        const int expected = int(std::lround(level * 0.1));
        QMap<QByteArray, int> seen;
        for (const emu::AudioFrame &a : f) {
            QCOMPARE(a.singleColour, !wired);
            QCOMPARE(a.colours.count(a.colours.left(3)) >= 128, true);
            ++seen[a.colours.left(3)];
        }
        const QByteArray mode = std::max_element(seen.begin(), seen.end()) .key();
        int step = -1;
        for (int s = expected - 1; s <= expected + 1; ++s) {
            const QColor c = QAudion_Light_Field_Change::StepColour(uchar(s), 200, 100, 50);
            if (mode == QByteArray() + char(c.red()) + char(c.green()) + char(c.blue()))
                step = s;
        }
        QVERIFY2(step >= 0, qPrintable(QStringLiteral("%1 for step %2").arg(QString::fromLatin1(mode.toHex())).arg(expected)));
        steps[loud] = step;
    }
    QVERIFY(steps[1] > steps[0]);

    Click(168);
    const LightBands bands = LightRowsFile::ReadSteps(rows, QStringLiteral("Audio_dance_Soft"));
    int tops[2] = {-1, -1};
    for (int loud = 0; loud < 2; ++loud) {
        for (const emu::AudioFrame &a : FramesOfTone(amplitudes[loud]))
            for (const LightBand &band : bands)
                for (int k = 0; k < band.size(); ++k)
                    if (!band[k].isEmpty() && a.colours.mid(band[k][0] - 8, 3) != QByteArray(3, '\0'))
                        tops[loud] = std::max(tops[loud], k);
    }
    QVERIFY2(tops[1] > tops[0], qPrintable(QStringLiteral("%1 %2").arg(tops[0]).arg(tops[1])));
}

// The default sink unloaded while an effect runs: the mask on the next opening of the tab. The
// refresh button hands the effect over again, and takes up a sink loaded again.
void TestAudioTab::sinkUnloadedAndRefresh()
{
    StartServer();
    Open(Wire::KeyboardWired);
    AudioMonitor *audio = AudioMonitor::instance();
    Click(171);
    QVERIFY(audio->CurrentEffect());
    m_light->on_ButRefurshButtonchect();
    QCOMPARE(Tip(), GetLangText(861));
    QVERIFY(audio->CurrentEffect()); // not left off after the refresh
    QTRY_VERIFY_WITH_TIMEOUT(audio->isRunning(), kWaitMs);

    QByteArray modules;
    QVERIFY(m_server->pactl({"list", "short", "modules"}, &modules));
    QString index;
    for (const QByteArray &line : modules.split('\n'))
        if (line.contains("sink_name=test_sink"))
            index = QString::fromLatin1(line.split('\t').value(0));
    QVERIFY(m_server->pactl({"unload-module", index}));
    QTRY_VERIFY_WITH_TIMEOUT(!audio->Initialised, kWaitMs);
    m_page->on_RestDispText(0);
    m_page->on_RestDispText(1);
    QVERIFY(m_light->Masked());
    QVERIFY(!m_light->ui->TabAudionPage->isEnabled());

    QVERIFY(m_server->pactl({"load-module", "module-null-sink", "sink_name=again"}));
    QVERIFY(m_server->pactl({"set-default-sink", "again"}));
    QTRY_VERIFY_WITH_TIMEOUT((m_light->on_ButRefurshButtonchect(), Tip() == GetLangText(861)), kWaitMs);
    QCOMPARE(audio->OutputName(), QStringLiteral("again"));
    QVERIFY(audio->CurrentEffect());
    m_page->on_RestDispText(0);
    m_page->on_RestDispText(1);
    QVERIFY(!m_light->Masked());
}

// The page's exit during the 100 ms wait of the tab's opening: Space on the focused exit is
// kept by the busy mask, and the page stays with its effect; a leave asked inside the wait
// follows it, and no audio effect runs after the page has gone.
void TestAudioTab::exitDuringTheTabsWait_data()
{
    QTest::addColumn<bool>("space");
    QTest::newRow("Space under the mask") << true;
    QTest::newRow("left from inside the wait") << false;
}

void TestAudioTab::exitDuringTheTabsWait()
{
    QFETCH(bool, space);
    const QByteArray server = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", "unix:" + m_dir->filePath(QStringLiteral("no-server")).toLocal8Bit());
    Open(Wire::KeyboardWired);
    server.isEmpty() ? qunsetenv("PULSE_SERVER") : qputenv("PULSE_SERVER", server);
    m_light->ShowMask(true);
    Click(169); // the stored choice, run again when the tab opens
    AudioMonitor *audio = AudioMonitor::instance();
    m_page->on_RestDispText(0);
    QVERIFY(!audio->CurrentEffect());
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    m_page->ButExit->setFocus();
    bool armed = true;
    NestedWait::SetEnterHook([&](const char *file, int) {
        if (!armed || !QByteArray(file).endsWith("QMultifunKeyBoard.cpp"))
            return;
        armed = false;
        if (space)
            WaitSweep::SystemKey(m_main.get(), Qt::Key_Space, QStringLiteral(" "));
        else
            m_page->ButExit_on_clicked();
    });
    m_page->on_RestDispText(1);
    NestedWait::SetEnterHook(nullptr);
    QVERIFY(!armed);
    QTest::qWait(100); // what the wait held runs from the event loop
    QCOMPARE(m_main->TabWidget()->currentIndex(), space ? 2 : 0);
    QCOMPARE(bool(audio->CurrentEffect()), space);
    if (!space)
        QVERIFY(!audio->isRunning());
}

QTEST_MAIN(TestAudioTab)
#include "tst_lighting_audio_tab.moc"
