// The keyboard goes (unplugged, or asleep behind its receiver) on entering each wait of an action
// of its page: tabs and sub-pages, restore, key buttons and drops, the configuration and macro
// lists, the lighting page. No crash, no sanitizer report, no user file changed after.
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QConfigListItemBase.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/AudioMonitor.h"
#include "lighting/QLightConfigWIdget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WaitSweep.h"
#include "widgets/QEditColourDialog.h"
#include "widgets/QInputDialog.h"
#include "widgets/QSliderAlterMax.h"
#include "widgets/RectSwitchButton.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>

#include <memory>

namespace {
QLStyleKeybordTabWidget *Page() { return QLStyleKeybordTabWidget::instance(); }
QMultifunKeyBoard *Board() { return Page()->KeyBoard(); }
QLightConfigWIdget *Light() { return Page()->LightPage(); }
HID_API *Api() { return HID_API::instance(); }

// The pointer over a key of the on-screen keyboard, as a drag brings it there.
void Hover(const char *key)
{
    QWidget *k = Board()->KeyByName(QLatin1String(key));
    Board()->on_MouseDrawMove(k->mapToGlobal(k->rect().center()));
}
// A row of a list tab of the page: 0 keys, 2 macros.
QConfigListItemBase *Row(int tab, const QString &name)
{
    QConfigList *list = Page()->ConfigLists().value(tab);
    return list ? list->Row(list->FindItem(name)) : nullptr;
}
// The sweep answers each dialog once; the name dialog is one dialog shown again after a
// refusal: a showing that stays unanswered is answered here.
class NameAgain
{
public:
    NameAgain()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<quorix::QInputDialog *>(w);
                if (!dialog)
                    continue;
                m_ticks = dialog->isVisible() ? m_ticks + 1 : 0;
                if (m_ticks == 15) {
                    dialog->findChild<QLineEdit *>()->setText(QStringLiteral("Again"));
                    dialog->findChild<QPushButton *>(QStringLiteral("But_Confirm"))->click();
                }
            }
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
    int m_ticks = 0;
};
void ClickModel(int model)
{
    QListWidget *list = Light()->ui->LightListWidget;
    const int row = Light()->ModelIds().indexOf(uchar(model));
    list->setCurrentRow(row);
    Q_EMIT list->itemClicked(list->item(row));
}
} // namespace

class TstWaitSweepKeyboard : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuKeyboard> m_dev;
    uint32_t m_node = 0;

    struct Action
    {
        const char *name;
        // Waits taken in turn. A message's own waits (its slide-in, its wipe) run inside its
        // question's: the first of them stands for all three.
        int maxWaits;
        std::function<void(TstWaitSweepKeyboard &)> before; // not swept: brings the page there
        std::function<void(TstWaitSweepKeyboard &)> action;
        bool asleep = false; // also swept with the receiver keyboard falling asleep
    };
    static const QVector<Action> &Actions();

    // The configuration named by the product's data file made one that cannot be written.
    void Lock()
    {
        QDir().mkpath(m_dir->filePath(QStringLiteral("Products/QK75/UserConfig/Locked.xml")));
        Page()->SetConfigName(QStringLiteral("Locked"));
    }

    // A fresh folder, the keyboard plugged (wired, or through its receiver), its page opened from its tile.
    bool Open(bool receiver)
    {
        emu::Reset();
        emu::SetTimeScale(0.05);
        m_dir = std::make_unique<TestProgramDir>();
        ClearProductListCache();
        m_dev = std::static_pointer_cast<emu::EmuKeyboard>(
            emu::MakeDevice(receiver ? emu::Model::KeyboardReceiver : emu::Model::KeyboardWired));
        m_node = emu::Plug(m_dev);
        m_main = std::make_unique<MainWidget>();
        m_main->show();
        if (!QTest::qWaitFor([this] {
                QKeyLableItem *tile = Api()->TileMap().value(m_node);
                return tile && Api()->Manager()->Worker(m_node) && !tile->ProductFolder().isEmpty();
            }, 5000))
            return false;
        Api()->TileMap().value(m_node)->on_test();
        return Page() && Page()->BuiltProduct() == QLatin1String("QK75") && m_main->TabWidget()->currentIndex() == 2;
    }
    void Close()
    {
        // A page left with its keyboard keeps no audio effect or capture running.
        const AudioMonitor *audio = AudioMonitor::instance();
        const bool left = m_main && m_main->TabWidget()->currentIndex() == 0;
        const bool idle = !audio || (!audio->CurrentEffect() && !audio->isRunning());
        m_main.reset();
        m_dev.reset();
        emu::Reset();
        m_dir.reset();
        QVERIFY2(!left || idle, "an audio effect runs with the device list in front");
    }

private Q_SLOTS:
    void cleanup()
    {
        if (m_main)
            Close(); // a test that failed half-way
    }
    void initTestCase()
    {
        // No sound server: the audio sub-page opens under its mask, the capture finds nothing.
        qputenv("PULSE_SERVER", "unix:/nonexistent/quorix-sweep");
    }
    void actions_data()
    {
        QTest::addColumn<bool>("asleep");
        QTest::addColumn<int>("action");
        for (int a = 0; a < Actions().size(); ++a) {
            QTest::addRow("%s", Actions().at(a).name) << false << a;
            if (Actions().at(a).asleep)
                QTest::addRow("receiver asleep: %s", Actions().at(a).name) << true << a;
        }
    }
    void actions()
    {
        QFETCH(bool, asleep);
        QFETCH(int, action);
        const Action &a = Actions().at(action);
        WaitSweep::Run run;
        run.setup = [this, asleep, &a] {
            if (!Open(asleep))
                return false;
            if (a.before)
                a.before(*this);
            return true;
        };
        run.action = [this, &a] { a.action(*this); };
        if (asleep) {
            run.take = [this] {
                m_dev->SetAsleep(true);
                m_dev->InjectNotice(2, 0);
            };
            run.gone = [this] {
                const DeviceRecord *d = Api() ? Api()->DeviceMap().value(m_node) : nullptr;
                return d && d->connectionState == StateWirelessAsleep && m_main->TabWidget()->currentIndex() == 0;
            };
        } else {
            run.take = [this] { emu::Unplug(m_node); };
            run.gone = [this] { return Api() && !Api()->DeviceMap().contains(m_node); };
        }
        run.teardown = [this] { Close(); };
        run.programDir = [this] { return m_dir ? m_dir->path() : QString(); };
        run.maxWaits = a.maxWaits;
        QVERIFY2(WaitSweep::Sweep(run) > 0, "the action opened no wait");
    }
    // A click given during a wait goes to what is under it then: the lighting list, disabled
    // while its model change waits, drops a second one; no second model request is sent.
    void clickOnTheWaitingListIsDropped()
    {
        QVERIFY(Open(false));
        Page()->ButLight->click();
        QListWidget *list = Light()->ui->LightListWidget;
        QListWidgetItem *other = list->item(Light()->ModelIds().indexOf(uchar(84)));
        QSignalSpy requests(Light(), &QLightConfigWIdget::KeyResetLightModel);
        bool clicked = false;
        NestedWait::SetEnterHook([&](const char *, int) {
            if (!clicked && !list->isEnabled()) {
                clicked = true;
                WaitSweep::SystemClick(list->viewport(), Qt::LeftButton, list->visualItemRect(other).center());
            }
        });
        ClickModel(83);
        NestedWait::SetEnterHook(nullptr);
        QTest::qWait(400);
        QVERIFY(clicked);
        QCOMPARE(requests.count(), 1);
        Close();
    }
    // A right click on the device list during the data wait of a keyboard page is taken by the
    // busy mask; it does not land, after the wait, on the key F5 of the page that opened.
    void clickDuringTheDataWaitStaysThere()
    {
        QVERIFY(Open(false));
        Hover("F5"); // F5 gets a key of its own: a right click would clear it
        Board()->on_MouseDrawRePress(QPoint(), QConfigList::MakeDropRecord(1, QStringLiteral("B"), QStringLiteral("0x05"), 0));
        QTRY_VERIFY(Board()->KeyByName(QStringLiteral("F5"))->Record);
        QWidget *f5 = Board()->KeyByName(QStringLiteral("F5"));
        const QPoint at = f5->mapTo(m_main.get(), f5->rect().center());
        m_main->BackFromDevicePage();
        QCOMPARE(m_main->TabWidget()->currentIndex(), 0);
        const QString base = QStringLiteral("Products/QK75/UserConfig/Base.xml");
        const QByteArray before = m_dir->readFile(base);
        bool clicked = false;
        NestedWait::SetEnterHook([&](const char *, int) {
            if (!clicked && m_main->IsSyncWaiting()) {
                clicked = true;
                WaitSweep::SystemClick(m_main.get(), Qt::RightButton, at);
            }
        });
        Api()->TileMap().value(m_node)->on_test();
        NestedWait::SetEnterHook(nullptr);
        QCOMPARE(m_main->TabWidget()->currentIndex(), 2);
        QTest::qWait(300);
        QVERIFY(clicked);
        QVERIFY(Board()->KeyByName(QStringLiteral("F5"))->Record);
        QCOMPARE(m_dir->readFile(base), before);
        Close();
    }
    void cleanupTestCase() { qInfo("%s", qPrintable(WaitSweep::SitesReport())); }
};

const QVector<TstWaitSweepKeyboard::Action> &TstWaitSweepKeyboard::Actions()
{
    using T = TstWaitSweepKeyboard;
    auto light = [](T &) { Page()->ButLight->click(); };
    auto audio = [](T &) {
        Page()->ButLight->click();
        Page()->ButAudionLight->click();
    };
    auto macros = [](T &) { Page()->on_TabBarClicked(2); };
    auto drop = [](const char *text, const char *code) {
        Hover("A");
        Board()->on_MouseDrawRePress(QPoint(), QConfigList::MakeDropRecord(1, QLatin1String(text), QLatin1String(code), 0));
    };
    static const QVector<Action> actions = {
        {"page reopened", 1, nullptr, [](T &t) { t.m_main->OpenKeyboardPage(QStringLiteral("QK75")); }},
        {"lighting sub-pages: audio, keys, audio again, backlight", 6, nullptr,
         [](T &) {
             // clicked as the user does: a page whose keyboard went takes none of them
             for (QAbstractButton *b : {Page()->ButLight, Page()->ButAudionLight, Page()->ButBora, Page()->ButLight,
                                        Page()->ButBaseLight})
                 QTest::mouseClick(b, Qt::LeftButton);
         }, true},
        {"restore", 1, nullptr, [](T &) { Page()->ButResetConfing->click(); }},
        {"restore into a locked file", 4, nullptr,
         [](T &t) {
             t.Lock();
             Page()->ButResetConfing->click();
         }},
        {"changed macro sent", 1, nullptr, [](T &) { Page()->on_MacroFileChangge(QStringLiteral("Macro1")); }},
        {"key cleared, locked file", 1, nullptr,
         [](T &t) {
             t.Lock();
             QTest::mouseClick(Board()->KeyByName(QStringLiteral("F5")), Qt::RightButton);
         }, true},
        {"Fn dropped on a second layer", 1, nullptr,
         [drop](T &) {
             Page()->SetLevelComboIndex(1);
             drop("Fn2", "0x0d010000");
         }},
        {"key dropped, locked file", 1, nullptr,
         [drop](T &t) {
             t.Lock();
             drop("B", "0x05");
         }},
        {"configuration chosen that is no keyboard file", 1,
         [](T &t) {
             t.m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/Odd.xml"), "<Backinfos/>");
             Page()->ConfigLists().at(3)->AddItem(7, QStringLiteral("Odd"), QString(), QStringLiteral("0x00"));
         },
         [](T &) { QTest::mousePress(Row(3, QStringLiteral("Odd")), Qt::LeftButton, {}, QPoint(40, 10)); }},
        {"macro without its file dropped", 1, macros,
         [](T &t) {
             t.m_dir->removeFile(QStringLiteral("Products/QK75/moidefConfig/Macro1.bin"));
             QWidget *row = Row(2, QStringLiteral("Macro1"));
             Hover("A");
             QTest::mousePress(row, Qt::LeftButton);
             QTest::mouseRelease(row, Qt::LeftButton, {}, QPoint(-5, -5)); // let go over the keyboard
         }},
        {"key group folded", 3, nullptr,
         [](T &) { QTest::mouseClick(Page()->ConfigLists().at(0)->Row(Page()->ConfigLists().at(0)->item(0)), Qt::LeftButton); }},
        {"macro renamed, first name taken", 5, macros,
         [](T &t) {
             t.m_dir->writeFile(QStringLiteral("Products/QK75/moidefConfig/Swept1.bin"), "{}"); // the sweep's first name
             const NameAgain again;
             QTest::mouseClick(Row(2, QStringLiteral("Macro1")), Qt::RightButton);
         }},
        {"lighting model chosen", 1, light, [](T &) { ClickModel(83); }},
        {"lighting colour chosen", 1, light, [](T &) { Q_EMIT Light()->ui->ColourWidget_Back->ChickColorChange(1, 2, 3); }},
        {"lighting slider released", 6, light, [](T &) { Q_EMIT Light()->ui->Backlight_Slider->sliderReleased(); }},
        {"lighting preview on", 1, light,
         [](T &) {
             Page()->ButDIpsAc->setChecked(true);
             Q_EMIT Page()->ButDIpsAc->statusChanged(true);
         }},
        {"audio slider released", 6, audio, [](T &) { Q_EMIT Light()->ui->Audin_Gian_Slider->sliderReleased(); }},
        {"audio colour chosen", 6, audio, [](T &) { Q_EMIT Light()->ui->ColourWidget_Audion->ChickColorChange(1, 2, 3); }},
    };
    return actions;
}

QTEST_MAIN(TstWaitSweepKeyboard)
#include "tst_wait_sweep_keyboard.moc"
