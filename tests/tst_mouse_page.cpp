// The mouse page and its DPI page against the emulated mice of both families, through the main
// window, the device list and the worker manager: what each control writes and what reaches
// the mouse, the stage rows, the presets, and the inputs that must send or write nothing.
#include "tests/support/MessageAnswerer.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "macros/ConfigDirFiles.h"
#include "macros/QConfigDirs.h"
#include "mouse/QDpiPageItem.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QQuorixStyDpiPage.h"
#include "mouse/QReghtListWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QLR_PopWidget.h"
#include "widgets/QACombxBox.h"
#include "widgets/QACombxBoxView.h"
#include "widgets/QDottomMessgDlg.h"
#include "widgets/QMaskGrayLabel.h"
#include "widgets/QSliderAlterMax.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// What the mouse holds: current stage and stage values.
struct WireStages
{
    int stage = 0;
    QVector<uint> values;
};

void Pick(QACombxBox *box, int index)
{
    box->setCurrentIndex(index);
    Q_EMIT box->currentIndexChanged(index);
}

void Release(QSliderAlterMax *slider, uint value)
{
    slider->setValue(value);
    Q_EMIT slider->sliderReleased(slider->Value());
}
} // namespace

class TstMousePage : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuMouse20> m20;
    std::shared_ptr<emu::MouseYx> myx;
    uint32_t m_node = 0;
    QString m_product;

    QLStyleMouseTabWidget *Tab() const { return QLStyleMouseTabWidget::instance(); }
    QQuorixStyDpiPage *Dpi() const { return QQuorixStyDpiPage::instance(); }
    HID_API *Api() const { return HID_API::instance(); }
    bool Idle() const { return Api()->Manager()->WaitIdle(10000); }

    // Plugs one mouse, builds the main window and opens the mouse as a tile click does.
    void Open(bool second, bool receiver = false)
    {
        using emu::Model;
        if (second)
            myx = std::static_pointer_cast<emu::MouseYx>(emu::MakeDevice(receiver ? Model::SecondFamilyReceiver : Model::SecondFamilyWired));
        else
            m20 = std::static_pointer_cast<emu::EmuMouse20>(emu::MakeDevice(receiver ? Model::MouseReceiver : Model::MouseWired));
        m_node = second ? emu::Plug(myx) : emu::Plug(m20);
        m_product = second ? QStringLiteral("QX3") : QStringLiteral("QM8");
        Start();
    }
    // A new main window over the same folder opens the plugged mouse: the program started again.
    void Start()
    {
        m_main.reset();
        m_main = std::make_unique<MainWidget>();
        QKeyLableItem *tile = Api()->TileMap().value(m_node);
        QVERIFY(tile);
        QCOMPARE(Api()->SelectDevice(tile), 0);
        QTRY_VERIFY_WITH_TIMEOUT(Record(), 10000);
        QVERIFY(Idle());
        m_main->OpenMousePage(m_product);
        Tab()->ConfigMouse(Record().get());
        emu::ClearTraffic();
    }
    std::shared_ptr<MouseConfigRecord> Record() const
    {
        DeviceRecord *d = Api() ? Api()->CurrentDevice() : nullptr;
        return d ? std::atomic_load(&d->mouseData) : nullptr;
    }
    WireStages Wire() const
    {
        WireStages w;
        if (m20) {
            const QByteArray img = m20->Image();
            w.stage = uint8_t(img[12]) >> 4;
            for (int k = 0; k < (uint8_t(img[12]) & 0x0F); ++k)
                w.values << (uint8_t(img[16 + 2 * k]) | (uint8_t(img[17 + 2 * k]) << 8)) * 100u + 100u;
        } else {
            const QByteArray img = myx->Image();
            w.stage = uint8_t(img[2]) >> 4;
            for (int k = 0; k < (uint8_t(img[2]) & 0x0F); ++k)
                w.values << (uint8_t(img[11 + 2 * k]) | (uint8_t(img[12 + 2 * k]) << 8)) * 50u + 50u;
        }
        return w;
    }
    int Sends() const
    {
        return emu::TrafficLog(m_node, emu::Traffic::SendFeature).size();
    }
    QSettings *ParamFile() const
    {
        auto *ini = new QSettings(m_dir->filePath(QStringLiteral("Products/%1/UserConfig/MouseParamConfig.ini").arg(m_product)),
                                  QSettings::IniFormat);
        ini->setIniCodec("UTF-8");
        return ini;
    }

private Q_SLOTS:
    void init()
    {
        emu::Reset();
        emu::SetTimeScale(0.05);
        m_dir = std::make_unique<TestProgramDir>();
        QVERIFY(m_dir->isValid());
        ClearProductListCache();
    }
    void cleanup()
    {
        QVERIFY(HidNoModelErrors());
        m_main.reset();
        emu::Reset();
        m20.reset();
        myx.reset();
        m_dir.reset();
    }

    void fileIsCompleteBeforeTheCode()
    {
        Open(false);
        QCOMPARE(Tab()->SleepSlider->min, 10u); // the memory map's sleep range 1..60, ten times
        QCOMPARE(Tab()->SleepSlider->max, 600u);
        QVariantList seen;
        connect(Tab(), &QLStyleMouseTabWidget::UpdataMouseConfigPram, this, [&](uchar code) {
            std::unique_ptr<QSettings> ini(ParamFile());
            seen = {ini->value("SleepSlider/value").toInt(), ini->value("ChangeParam/Model").toString(),
                    ini->value("ChangeParam/ChangeCode").toInt(), int(code), ini->value("Zr_Mouse/MouseName").toString()};
        });
        Release(Tab()->SleepSlider, 250);
        QCOMPARE(seen, (QVariantList{25, "SleepSlider", 1, 1, "QUORIX QM8"}));
        QVERIFY(Idle());
        QCOMPARE(int(uint8_t(m20->Image()[82])), 25);
    }

    void changesReachTheMouse_data()
    {
        QTest::addColumn<bool>("second");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("value");  // slider value or drop-down index
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("at");     // image byte that must change
        QTest::addColumn<int>("byte");
        // 20/520 image: sleep 82, rate 9, lift-off 10 low, motion sync 13 high / debounce 13 low,
        // ripple 14 high / angle snapping 14 low; starts 0x16, 0x01, 0x12
        QTest::newRow("20/520 sleep") << false << "SleepSlider" << 450 << 1 << 82 << 45;
        QTest::newRow("20/520 report rate 500") << false << "Mose_RorCob" << 1 << 2 << 9 << 3;
        QTest::newRow("20/520 motion sync off") << false << "MotionCombox" << 0 << 3 << 13 << 0x06;
        QTest::newRow("20/520 angle snapping off") << false << "modifiedCombox" << 0 << 4 << 14 << 0x00;
        QTest::newRow("20/520 debounce 9") << false << "ShakeSlider" << 95 << 5 << 13 << 0x19;
        QTest::newRow("20/520 ripple on") << false << "RippleCombox" << 1 << 6 << 14 << 0x11;
        QTest::newRow("20/520 lift-off 1mm") << false << "LodCombox" << 0 << 7 << 10 << 0x11;
        // second family: sleep 8 (twice), rate 1 (high digit wired), lift-off 3, debounce 4,
        // flags 5 (0x40 mode, 0x20 motion, 0x10 ripple, 0x01 angle); starts 0x61
        QTest::newRow("second sleep") << true << "SleepSlider" << 450 << 1 << 8 << 90;
        QTest::newRow("second report rate 8000") << true << "Mose_RorCob" << 0 << 2 << 1 << 0x44;
        QTest::newRow("second motion sync off") << true << "MotionCombox" << 0 << 3 << 5 << 0x41;
        QTest::newRow("second angle snapping off") << true << "modifiedCombox" << 0 << 4 << 5 << 0x60;
        QTest::newRow("second debounce 9") << true << "ShakeSlider" << 95 << 5 << 4 << 9;
        QTest::newRow("second ripple on") << true << "RippleCombox" << 1 << 6 << 5 << 0x71;
        QTest::newRow("second lift-off 2mm") << true << "LodCombox" << 1 << 7 << 3 << 2;
        // through the receivers (the second family's rate is the low digit there)
        QTest::newRow("20/520 receiver sleep") << false << "SleepSlider" << 450 << 1 << 82 << 45;
        QTest::newRow("second receiver ripple on") << true << "RippleCombox" << 1 << 6 << 5 << 0x71;
    }
    void changesReachTheMouse()
    {
        QFETCH(bool, second);
        QFETCH(QString, control);
        QFETCH(int, value);
        QFETCH(int, code);
        QFETCH(int, at);
        QFETCH(int, byte);
        Open(second, QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("receiver")));
        QSignalSpy codes(Tab(), &QLStyleMouseTabWidget::UpdataMouseConfigPram);
        QObject *w = Tab()->findChild<QObject *>(control);
        QVERIFY(w);
        if (auto *slider = qobject_cast<QSliderAlterMax *>(w))
            Release(slider, uint(value));
        else
            Pick(qobject_cast<QACombxBox *>(w), value);
        QCOMPARE(codes.count(), 1);
        QCOMPARE(codes.at(0).at(0).value<uchar>(), uchar(code));
        QVERIFY(Idle());
        const QByteArray image = second ? myx->Image() : m20->Image();
        QCOMPARE(int(uint8_t(image[at])), byte);
    }

    void unreportedSettingsAreGreyed()
    {
        Open(false);
        // the memory map is gone: sleep and debounce have no range to offer
        QVERIFY(m_dir->removeFile(QStringLiteral("Products/QM8/DpiEditConfig.xml")));
        MouseConfigRecord r = *Record();
        r.liftOff = 0;
        r.motionSync = 5; // not one of off/on
        r.angleSnapping = 0xFFFF;
        Tab()->ConfigMouse(&r);
        const QString no = GetLangText(366);
        for (QLabel *l : {Tab()->label_2, Tab()->label_19, Tab()->label_25, Tab()->label_4, Tab()->label_16})
            QCOMPARE(l->text(), no);
        QVERIFY(!Tab()->SleepSlider->isEnabled() && !Tab()->ShakeSlider->isEnabled());
        QVERIFY(!Tab()->LodCombox->CanUnfold && !Tab()->MotionCombox->CanUnfold && !Tab()->modifiedCombox->CanUnfold);
        QVERIFY(Tab()->RippleCombox->CanUnfold);
        QCOMPARE(Tab()->label_22->text(), GetLangText(373));
        // a language change keeps what was loaded
        Pick(Tab()->RippleCombox, 1);
        QVERIFY(Idle());
        Tab()->on_RefreshLangual();
        QCOMPARE(Tab()->RippleCombox->currentIndex(), 1);
        QVERIFY(!Tab()->LodCombox->CanUnfold);
    }

    void stageCountSendsTheChosenStages_data()
    {
        QTest::addColumn<bool>("second");
        QTest::newRow("20/520") << false;
        QTest::newRow("second family") << true;
        QTest::newRow("20/520 receiver") << false;
        QTest::newRow("second family receiver") << true;
    }
    void stageCountSendsTheChosenStages()
    {
        QFETCH(bool, second);
        Open(second, QString::fromLatin1(QTest::currentDataTag()).contains(QLatin1String("receiver")));
        Tab()->butlefit_on_buttonClicked(1);
        Tab()->butlefit_on_buttonClicked(1); // the first preset is listed from the second showing on
        QACombxBox *count = Dpi()->DpiCountCombox;
        QCOMPARE(count->currentText(), QStringLiteral("4")); // the mouse's four stages
        const int step = second ? 50 : 100;
        for (int n : {8, 3, 5}) {
            Pick(count, n - 1);
            QVERIFY(Idle());
        }
        QCOMPARE(Dpi()->Rows().size(), 8); // none deleted
        for (int i = 0; i < 8; ++i)
            QCOMPARE(Dpi()->QDpiListWidget->item(i)->isHidden(), i >= 5);
        const QVector<uint> shown = Dpi()->StageValues();
        QCOMPARE(shown.size(), 5);
        for (uint v : shown)
            QCOMPARE(v % uint(step), 0u);
        const WireStages wire = Wire();
        QCOMPARE(wire.values, shown);
        QCOMPARE(Record()->stageCount, uint8_t(5));
        QVERIFY(wire.stage >= 1 && wire.stage <= 5);
        QCOMPARE(wire.values.at(wire.stage - 1), Dpi()->CheckedStageDpi());
        // the preset keeps every row
        QSettings preset(m_dir->filePath(QStringLiteral("Products/%1/DpiConfig/%2.ini").arg(m_product, QQuorixStyDpiPage::FirstPreset)),
                         QSettings::IniFormat);
        preset.setIniCodec("UTF-8");
        QCOMPARE(preset.value("QDpiListWidget/values").toString().split(',').size(), 8);
    }

    void rowCommitsOnTheStep_data()
    {
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("typed");
        QTest::addColumn<uint>("entered");
        QTest::addColumn<uint>("committed"); // 0: nothing committed
        QTest::newRow("20/520 move under 11") << false << false << 805u << 0u;
        QTest::newRow("20/520 released 1234") << false << false << 1234u << 1200u;
        QTest::newRow("20/520 typed 1250, step 100") << false << true << 1250u << 1200u;
        QTest::newRow("20/520 typed another stage's value") << false << true << 1600u << 0u;
        QTest::newRow("20/520 typed below the range") << false << true << 30u << 100u;
        QTest::newRow("second typed 1250, step 50") << true << true << 1250u << 1250u;
        QTest::newRow("second released 1234") << true << false << 1234u << 1200u;
    }
    void rowCommitsOnTheStep()
    {
        QFETCH(bool, second);
        QFETCH(bool, typed);
        QFETCH(uint, entered);
        QFETCH(uint, committed);
        Open(second);
        QDpiPageItem *row = Dpi()->Rows().value(second ? 1 : 0); // 800 on both mice
        QVERIFY(row);
        QCOMPARE(row->committedValue(), 800u);
        const WireStages before = Wire();
        QSignalSpy changes(Dpi(), &QQuorixStyDpiPage::ChangeDpis);
        if (typed) {
            row->DpiEdit1->setText(QString::number(entered));
            QTest::keyClick(row->DpiEdit1, Qt::Key_Return);
        } else {
            row->Backlight_Slider->setValue(entered);
            Q_EMIT row->Backlight_Slider->sliderReleased(entered);
        }
        QVERIFY(Idle());
        if (committed == 0) {
            QCOMPARE(changes.count(), 0);
            QCOMPARE(row->committedValue(), 800u);
            QCOMPARE(Wire().values, before.values);
            return;
        }
        QCOMPARE(changes.count(), 1); // once, though the commit also takes the focus away
        QCOMPARE(row->committedValue(), committed);
        QVector<uint> expected = before.values;
        expected[second ? 1 : 0] = committed;
        QCOMPARE(Wire().values, expected);
        QCOMPARE(Wire().stage, second ? 2 : 1); // the committed row is the current stage
    }

    void inputsThatSendNothing_data()
    {
        QTest::addColumn<QString>("input");
        QTest::newRow("limit not in its list") << "limit";
        QTest::newRow("another mouse's DPI") << "foreignDpi";
        QTest::newRow("opening the mouse again") << "reopen";
        QTest::newRow("preset of another product") << "foreignPreset";
        QTest::newRow("eleventh preset") << "eleventh";
        QTest::newRow("mouse unplugged") << "unplug";
    }
    void inputsThatSendNothing()
    {
        QFETCH(QString, input);
        Open(false);
        Tab()->butlefit_on_buttonClicked(1);
        const QString dir = QStringLiteral("Products/QM8/DpiConfig/");
        const QByteArray firstPreset = m_dir->readFile(dir + QQuorixStyDpiPage::FirstPreset + ".ini");
        QSignalSpy dpis(Dpi(), &QQuorixStyDpiPage::ChangeDpis);
        QSignalSpy codes(Dpi(), &QQuorixStyDpiPage::MouseUpdataConfigPram);
        emu::ClearTraffic();
        if (input == "limit") {
            Dpi()->MinvalueCombox->addItem(QStringLiteral("x"));
            Dpi()->MinvalueCombox->setCurrentIndex(Dpi()->MinvalueCombox->count() - 1); // reads 0
            QCOMPARE(Dpi()->Rows().first()->Backlight_Slider->min, 50u);
        } else if (input == "foreignDpi") {
            Q_EMIT Api()->Manager()->ThreadDPichange(m_node + 100, 3200);
            QVERIFY(!Dpi()->Rows().at(2)->isChecked());
        } else if (input == "reopen") {
            Dpi()->MaxvalueCombox->setCurrentIndex(1); // the user's earlier pick
            QVERIFY(Idle());
            emu::ClearTraffic();
            dpis.clear();
            codes.clear();
            Tab()->ConfigMouse(Record().get());
        } else if (input == "foreignPreset") {
            QVERIFY(m_dir->writeFile(dir + "other.ini", "[Product]\nname=QX3\n[QDpiListWidget]\nvalues=\"100,200\"\n"));
            Tab()->butlefit_on_buttonClicked(1);
            QListWidgetItem *other = Dpi()->ConfigList->findItems(QStringLiteral("other"), Qt::MatchExactly).value(0);
            QVERIFY(other);
            Dpi()->on_ConfigList_itemClicked(other);
            QCOMPARE(Dpi()->Rows().size(), 4);
        } else if (input == "eleventh") {
            for (int i = 2; i <= 10; ++i)
                QVERIFY(m_dir->writeFile(dir + QStringLiteral("p%1.ini").arg(i), "[Product]\nname=QM8\n"));
            Tab()->butlefit_on_buttonClicked(1);
            QCOMPARE(Dpi()->ConfigList->count(), 10);
            MessageAnswerer ok(true);
            Dpi()->ButAddConfig->click();
            QCOMPARE(ok.count(), 1);
            QVERIFY(ok.shown().contains(GetLangText(382)));
            QCOMPARE(Dpi()->ConfigList->count(), 10);
            QCOMPARE(QDir(m_dir->filePath(dir)).entryList(QDir::Files).size(), 10);
        } else if (input == "unplug") {
            emu::Unplug(m_node);
            QTRY_COMPARE_WITH_TIMEOUT(m_main->TabWidget()->currentIndex(), 0, 5000);
            QVERIFY(!Tab()->IsDeviceLoaded());
            QCOMPARE(Dpi()->ConfigList->count(), 0);
            Pick(Tab()->RippleCombox, 1);
            Pick(Dpi()->Mose_RorCob, 0);
            Release(Tab()->SleepSlider, 200);
            std::unique_ptr<QSettings> ini(ParamFile());
            QCOMPARE(ini->value("ChangeParam/Model").toString(), QString());
        }
        QVERIFY(Idle());
        QCOMPARE(dpis.count(), 0);
        QCOMPARE(codes.count(), 0);
        QCOMPARE(Sends(), 0);
        if (input != "foreignDpi" && input != "reopen")
            QCOMPARE(m_dir->readFile(dir + QQuorixStyDpiPage::FirstPreset + ".ini"), firstPreset);
    }

    void presetsNewCopyRenameRestore()
    {
        Open(false);
        Tab()->butlefit_on_buttonClicked(1); // the first showing lists the first preset it writes
        QReghtListWidget *list = Dpi()->ConfigList;
        const QString dir = m_dir->filePath(QStringLiteral("Products/QM8/DpiConfig/"));
        QCOMPARE(list->count(), 1);
        Dpi()->ButAddConfig->click();
        Dpi()->ButAddConfig->click();
        QCOMPARE(list->item(2)->text(), QStringLiteral("灵敏度预设3"));
        QVERIFY(QFile::exists(dir + "灵敏度预设3.ini"));
        // renames: refused ones change neither file nor list; a good one moves the file first
        list->setCurrentRow(1);
        Dpi()->on_ConfigList_itemDoubleClicked(list->item(1)); // edited as shown; given back, kept
        QCOMPARE(Dpi()->RenameEditor()->text(), GetLangText(381) + "2");
        Q_EMIT Dpi()->RenameEditor()->returnPressed();
        QVERIFY(QFile::exists(dir + "灵敏度预设2.ini"));
        for (const QString &name : {QStringLiteral("a/b"), QStringLiteral("a\\b"), QStringLiteral(".."), QStringLiteral("Base"),
                                    QStringLiteral("v1.5"), QStringLiteral("灵敏度预设3"), QString(), QStringLiteral("Fast")}) {
            Dpi()->on_ConfigList_itemDoubleClicked(list->item(1));
            QVERIFY(Dpi()->RenameEditor());
            Dpi()->RenameEditor()->setText(name);
            Q_EMIT Dpi()->RenameEditor()->returnPressed();
            QVERIFY(!Dpi()->RenameEditor());
        }
        QCOMPARE(list->item(1)->text(), QStringLiteral("Fast"));
        QVERIFY(QFile::exists(dir + "Fast.ini") && !QFile::exists(dir + "灵敏度预设2.ini"));
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 3);
        // the next number is one above the highest
        list->setCurrentRow(2);
        Dpi()->ButCopy->click();
        QCOMPARE(list->item(3)->text(), QStringLiteral("灵敏度预设4"));
        // a limit is kept with its preset; one saved without limits has the product's own
        auto choose = [&](int row) { list->setCurrentRow(row), Dpi()->on_ConfigList_itemClicked(list->item(row)); };
        QVERIFY(m_dir->writeFile("Products/QM8/DpiConfig/old.ini", "[Product]\nname=QM8\n"));
        list->addItem(QStringLiteral("old"));
        choose(1);
        Dpi()->MaxvalueCombox->setCurrentIndex(3);
        choose(4);
        QCOMPARE(Dpi()->MaxvalueCombox->currentText(), QStringLiteral("26000"));
        QCOMPARE(Dpi()->Rows().value(0)->Backlight_Slider->max, 26000u); // no stages of its own: its limits still
        choose(1);
        QCOMPARE(Dpi()->MaxvalueCombox->currentText(), QStringLiteral("3200"));
        QVERIFY(Dpi()->Label_Max_Value->text().endsWith(":3200"));
        QCOMPARE(Dpi()->Rows().value(0)->DpiEdit1->findChildren<QIntValidator *>().size(), 1);
        // restore: only the first preset stays, and its stages go to the mouse
        MessageAnswerer yes(true);
        Dpi()->ButResetConfig->click();
        QVERIFY(yes.shown().contains(GetLangText(384)));
        QCOMPARE(list->count(), 1);
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 1);
        QVERIFY(Idle());
        QCOMPARE(Wire().values, (QVector<uint>{400, 800, 1600, 3200}));
        // leaving the page forgets the presets
        Tab()->ButExit_on_clicked();
        QCOMPARE(list->count(), 0);
    }

    // Showing the DPI tab writes no preset: each keeps its limit and stages over tab changes,
    // preset choices and a restart, and the page opens on the preset chosen last.
    void presetsStayAsStored()
    {
        Open(false);
        Tab()->butlefit_on_buttonClicked(1);
        const QString first = QStringLiteral("Products/QM8/DpiConfig/") + QQuorixStyDpiPage::FirstPreset + ".ini";
        Dpi()->MaxvalueCombox->setCurrentIndex(2); // 6400
        Dpi()->Rows().at(0)->DpiEdit1->setText(QStringLiteral("5000"));
        QTest::keyClick(Dpi()->Rows().at(0)->DpiEdit1, Qt::Key_Return);
        QVERIFY(Idle());
        const QByteArray stored = m_dir->readFile(first);
        QVERIFY(stored.contains("select=6400") && stored.contains("values=\"5000,"));
        auto kept = [&] {
            QCOMPARE(Dpi()->MaxvalueCombox->currentText(), QStringLiteral("6400"));
            QCOMPARE(Dpi()->Rows().at(0)->dpiValue(), 5000u);
            QCOMPARE(m_dir->readFile(first), stored);
        };
        Tab()->butlefit_on_buttonClicked(0);
        Tab()->butlefit_on_buttonClicked(1);
        kept();
        // another preset chosen and the tab left on it: the page comes back on it, the first unchanged
        Dpi()->ButAddConfig->click();
        Dpi()->ConfigList->setCurrentRow(1);
        Dpi()->on_ConfigList_itemClicked(Dpi()->ConfigList->item(1));
        QVERIFY(Idle());
        for (int restart = 0; restart < 2; ++restart) {
            if (restart)
                Start();
            Tab()->butlefit_on_buttonClicked(2);
            Tab()->butlefit_on_buttonClicked(1);
            QCOMPARE(Dpi()->ConfigList->currentItem()->text(), QStringLiteral("灵敏度预设2"));
            QCOMPARE(Dpi()->LabelDPIFileName->text(), GetLangText(381) + "2");
            QCOMPARE(Dpi()->MaxvalueCombox->currentText(), QStringLiteral("26000"));
            QCOMPARE(m_dir->readFile(first), stored);
        }
        Dpi()->ConfigList->setCurrentRow(0);
        Dpi()->on_ConfigList_itemClicked(Dpi()->ConfigList->item(0));
        kept();
    }

    // A preset whose file cannot be written says so, naming it.
    void failedPresetSaveIsSaid()
    {
        Open(false);
        Tab()->butlefit_on_buttonClicked(1);
        Dpi()->ButAddConfig->click();
        Dpi()->ConfigList->setCurrentRow(1);
        Dpi()->on_ConfigList_itemClicked(Dpi()->ConfigList->item(1));
        const QString file = m_dir->filePath(QStringLiteral("Products/QM8/DpiConfig/灵敏度预设2.ini"));
        QVERIFY(QFile::remove(file) && QDir().mkdir(file)); // not writable, even for an administrator
        Dpi()->MaxvalueCombox->setCurrentIndex(1);
        QVERIFY(QLR_PopWidget::Current());
        QVERIFY(QLR_PopWidget::Current()->Text().startsWith(GetLangText(1045).arg(GetLangText(381) + "2")));
    }

    void rightClickAnywhereOnAStage_data()
    {
        QTest::addColumn<QString>("part");
        QTest::newRow("slider") << "Backlight_Slider";
        QTest::newRow("number field") << "DpiEdit1";
        QTest::newRow("number") << "DpiIndex_1";
    }
    void rightClickAnywhereOnAStage()
    {
        QFETCH(QString, part);
        Open(false);
        QDpiPageItem *row = Dpi()->Rows().at(Dpi()->Rows().at(2)->isChecked() ? 1 : 2);
        QSignalSpy dpis(Dpi(), &QQuorixStyDpiPage::ChangeDpis);
        QTest::mousePress(row->findChild<QWidget *>(part), Qt::RightButton);
        QVERIFY(row->isChecked());
        QCOMPARE(dpis.count(), 1);
        QVERIFY(Idle());
        QCOMPARE(Wire().values.value(Wire().stage - 1), row->dpiValue());
    }

    // The mouse goes while a question of its page is open: the page's list and key column go
    // with it, and the answer touches neither.
    void presetDeleteQuestionOutlivesTheMouse()
    {
        Open(false);
        Tab()->butlefit_on_buttonClicked(1);
        QReghtListWidget *list = Dpi()->ConfigList;
        Dpi()->ButAddConfig->click();
        list->setCurrentRow(1);
        QTimer::singleShot(50, [this] { emu::Unplug(m_node); });
        MessageAnswerer yes(true, nullptr, 600);
        Dpi()->ButDelete->click();
        QCOMPARE(yes.count(), 1);
        QTRY_COMPARE(list->count(), 0);
        QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("Products/QM8/DpiConfig/灵敏度预设2.ini"))));
    }

    void columnResetQuestionOutlivesTheMouse()
    {
        Open(false);
        LineKeyRecord row;
        row.sendAddress = 3;
        row.defaultCode = QStringLiteral("01010000");
        QPointer<QGradualChangeLine> column = new QGradualChangeLine(Tab()->m_LStyleBoraWidget);
        column->SetLines({row});
        QTimer::singleShot(50, [this] { emu::Unplug(m_node); });
        MessageAnswerer yes(true, nullptr, 600);
        column->on_ResetButtonCheck();
        QCOMPARE(yes.count(), 1);
        QTRY_VERIFY(!column);
    }

    void productColoursAndShortBase()
    {
        {
            QSettings data(m_dir->filePath(QStringLiteral("Products/QM8/QM8_data.ini")), QSettings::IniFormat);
            data.setValue("default/DpiItemColors", "ff,00|00,ff,00|zz,00,00|10,20,30,40");
        }
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/DpiConfig/Base/Base.ini"),
                                 "[Product]\nname=QM8\n[DpiCountCombox]\nvalues=\"1,2,3,4,5,6,7,8\"\nselect=4\n"
                                 "[MinvalueCombox]\nvalues=50\nselect=50\n[MaxvalueCombox]\nvalues=26000\nselect=26000\n"
                                 "[QDpiListWidget]\nvalues=400\nselect=0\n"));
        Open(false);
        // items with fewer than three parts or no hexadecimal are no colours; the rest repeat
        QCOMPARE(Dpi()->StageColors(), (QVector<QColor>{QColor(0, 255, 0), QColor(0x10, 0x20, 0x30)}));
        MouseConfigRecord r = *Record();
        r.dpiValues = {800, 800, 1600, 1600};
        r.currentDpi = 1600;
        Tab()->ConfigMouse(&r);
        Tab()->butlefit_on_buttonClicked(1);
        QSignalSpy dpis(Dpi(), &QQuorixStyDpiPage::ChangeDpis);
        Pick(Dpi()->DpiCountCombox, 3);
        // the Base preset has a value for the first duplicate only: the others stay as they are
        QCOMPARE(dpis.count(), 1);
        QCOMPARE(dpis.at(0).at(0).value<QVector<uint>>(), (QVector<uint>{400, 800, 1600, 1600}));
        QVERIFY(Idle());
        // a file's limit past any mouse is no limit: the rows keep theirs
        Dpi()->SetDpiRange(4294967295u, 100);
        for (QDpiPageItem *row : Dpi()->Rows())
            QCOMPARE(row->Backlight_Slider->max, 26000u);
    }

    void macroResendNamesItsButton()
    {
        Open(true);
        QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QX3"), QStringLiteral("m1"), QByteArray::fromHex("10000004")));
        AddMacroColumn(Tab(), QStringLiteral("m1"));
        MessageAnswerer yes(true);
        Tab()->on_MacroFileChangge(QStringLiteral("other"));
        QCOMPARE(yes.count(), 0);
        Tab()->on_MacroFileChangge(QStringLiteral("m1"));
        QCOMPARE(yes.count(), 1);
        QCOMPARE(Tab()->m_CurrentKeyIndex, uchar(3));
        QVERIFY(Idle());
        QCOMPARE(myx->DefaultRestores(), 0);
        QCOMPARE(myx->KeyAssignments().keys(), QList<uint8_t>({3}));
    }

    // The mouse goes while the page asks to send a changed macro again: a Yes writes nothing
    // into the configuration in use.
    void macroResendQuestionOutlivesTheMouse()
    {
        {
            QSettings data(m_dir->filePath(QStringLiteral("Products/QM8/QM8_data.ini")), QSettings::IniFormat);
            data.setValue("default/UserConfig", "Burst");
        }
        Open(false);
        const QByteArray burst = m_dir->readFile(QStringLiteral("Products/QM8/UserConfig/Burst.xml"));
        QVERIFY(burst.count("<SubLine ") == 8);
        QTimer::singleShot(50, [this] { emu::Unplug(m_node); });
        MessageAnswerer yes(true, nullptr, 600);
        Tab()->on_MacroFileChangge(QStringLiteral("Burst"));
        QVERIFY(yes.shown().contains(GetLangText(117)));
        QTRY_VERIFY(!Tab()->IsDeviceLoaded());
        QCOMPARE(m_dir->readFile(QStringLiteral("Products/QM8/UserConfig/Burst.xml")), burst);
    }

    // One page serves both mice: the panel lists the open mouse's files, a name is stored only
    // for a file of that mouse, and a page without buttons never empties a configuration.
    void configurationsStayWithTheirMouse()
    {
        Open(false);
        QLStyleBoraWidget *frame = Tab()->m_LStyleBoraWidget;
        QCOMPARE(ConfigDirFiles(m_main->UserConfigDir()).Add(QStringLiteral("Only8")), ConfigDirFiles::Result::Ok);
        frame->on_ButConfig_clicked(true);
        QCOMPARE(frame->ConfigDirs()->List()->findItems(QStringLiteral("Only8"), Qt::MatchExactly).size(), 1);
        myx = std::static_pointer_cast<emu::MouseYx>(emu::MakeDevice(emu::Model::SecondFamilyWired));
        const uint32_t node = emu::Plug(myx);
        QTRY_VERIFY_WITH_TIMEOUT(Api()->TileMap().value(node), 5000);
        QCOMPARE(Api()->SelectDevice(Api()->TileMap().value(node)), 0);
        QTRY_VERIFY_WITH_TIMEOUT(Record(), 10000);
        QVERIFY(Idle());
        m_product = QStringLiteral("QX3");
        m_main->OpenMousePage(m_product);
        QCOMPARE(frame->ConfigDirs()->List()->count(), ConfigDirFiles(m_main->UserConfigDir()).List().size());
        QVERIFY(frame->ConfigDirs()->List()->findItems(QStringLiteral("Only8"), Qt::MatchExactly).isEmpty());
        const auto chosen = [this] {
            return std::unique_ptr<QSettings>(m_main->OpenProductDataIni())->value("default/UserConfig").toString();
        };
        MessageAnswerer said(true);
        Q_EMIT frame->ConfigDirs()->Itemclicked(QStringLiteral("Only8"));
        QCOMPARE(chosen(), QStringLiteral("Base"));
        QCOMPARE(said.shown(), GetLangText(764));
        // the data file names a file that went: the page has no buttons, choosing Base keeps its 8
        const QByteArray base = m_dir->readFile(QStringLiteral("Products/QX3/UserConfig/Base.xml"));
        QCOMPARE(base.count("<SubLine "), 8);
        std::unique_ptr<QSettings>(m_main->OpenProductDataIni())->setValue("default/UserConfig", "Gone");
        m_main->OpenMousePage(m_product);
        QVERIFY(frame->Rows().isEmpty());
        Q_EMIT frame->ConfigDirs()->Itemclicked(QStringLiteral("Base"));
        QVERIFY(Idle());
        QCOMPARE(chosen(), QStringLiteral("Base"));
        QCOMPARE(m_dir->readFile(QStringLiteral("Products/QX3/UserConfig/Base.xml")), base);
    }

    // A configuration name reads back after a restart exactly as it was typed, or is refused.
    void configurationNameSurvivesTheDataFile()
    {
        Open(false);
        const ConfigDirFiles files(m_main->UserConfigDir());
        const QString lost = QString::fromUtf8("Gg\xF0\x9F\x98\x80x"), kept = QString::fromUtf8("G\xC3\xA9 \xE5\x9B\x9B");
        QCOMPARE(files.Add(lost), ConfigDirFiles::Result::BadName); // the data file would say "Ggx"
        QVERIFY(QFile::copy(files.FilePath(QStringLiteral("Base")), files.FilePath(lost))); // put there by hand
        QCOMPARE(files.Add(kept), ConfigDirFiles::Result::Ok);
        QConfigDirs *panel = Tab()->m_LStyleBoraWidget->ConfigDirs();
        MessageAnswerer said(true);
        Q_EMIT panel->Itemclicked(lost);
        QCOMPARE(said.shown(), GetLangText(830));
        Q_EMIT panel->Itemclicked(kept);
        QVERIFY(Idle());
        // read as the next start does: this process's settings objects share a cache per file
        const QString copy = m_dir->filePath(QStringLiteral("next-start.ini"));
        QVERIFY(QFile::copy(m_dir->filePath(QStringLiteral("Products/QM8/QM8_data.ini")), copy));
        QSettings next(copy, QSettings::IniFormat);
        next.setIniCodec("UTF-8");
        QCOMPARE(next.value("default/UserConfig").toString(), kept);
    }

    void resetAsksFirst_data()
    {
        QTest::addColumn<bool>("second");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("source"); // the product ships "UserConfig/Base/Base.xml"
        QTest::newRow("cancel") << false << false << true;
        QTest::newRow("yes, second family") << true << true << true;
        QTest::newRow("yes, no base profile shipped") << false << true << false;
    }
    void resetAsksFirst()
    {
        QFETCH(bool, second);
        QFETCH(bool, yes);
        QFETCH(bool, source);
        Open(second);
        const QString base = QStringLiteral("Products/%1/UserConfig/Base.xml").arg(m_product);
        const QString shipped = QStringLiteral("Products/%1/UserConfig/Base/Base.xml").arg(m_product);
        const QByteArray before = m_dir->readFile(base);
        if (source)
            QVERIFY(m_dir->writeFile(shipped, "<changed/>"));
        else
            QVERIFY(m_dir->removeFile(shipped));
        MessageAnswerer answer(yes);
        bool busyLate = false; // the busy mask near the end of the reset's 3 s wait
        QTimer probe;
        probe.callOnTimeout([&] { busyLate = !m_main->findChild<QMaskGrayLabel *>()->isHidden(); });
        probe.start(2700);
        Tab()->ButResetConfig->click();
        QCOMPARE(busyLate, yes);
        QVERIFY(answer.shown().contains(GetLangText(357)));
        QVERIFY(Idle());
        QCOMPARE(m_dir->readFile(base), yes && source ? QByteArray("<changed/>") : before);
        QCOMPARE(m_main->TabWidget()->currentIndex(), yes ? 0 : 1);
        if (!yes)
            QCOMPARE(Sends(), 0);
        else if (second)
            QCOMPARE(myx->FactoryResets(), 1);
        else
            QCOMPARE(m20->ImageWrites(), 1); // the factory image of the product data
    }

    // ---- rules without a device ----

    void presetNames_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("next");
        QTest::addColumn<QStringList>("sorted");
        QTest::newRow("gap not filled") << QStringList{"灵敏度预设1", "灵敏度预设3"} << 4
                                        << QStringList{"灵敏度预设1", "灵敏度预设3"};
        QTest::newRow("user's own name") << QStringList{"灵敏度预设1", "abc"} << 2 << QStringList{"abc", "灵敏度预设1"};
        QTest::newRow("numeric order") << QStringList{"灵敏度预设10", "灵敏度预设2", "灵敏度预设1"} << 11
                                       << QStringList{"灵敏度预设1", "灵敏度预设2", "灵敏度预设10"};
    }
    void presetNames()
    {
        QFETCH(QStringList, names);
        QTEST(QQuorixStyDpiPage::NextPresetNumber(names), "next");
        QTEST(QQuorixStyDpiPage::SortPresetNames(names), "sorted");
    }

    void reportRateTable_data()
    {
        QTest::addColumn<uint>("max");
        QTest::addColumn<int>("subType");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("shown"); // empty: no selection
        QTest::newRow("1000 sub 4 code 2") << 1000u << 4 << 2 << "250";
        QTest::newRow("1000 sub 4 unknown code") << 1000u << 4 << 9 << "";
        QTest::newRow("1000 sub 2 code 1") << 1000u << 2 << 1 << "125";
        QTest::newRow("1000 sub 2 code 3") << 1000u << 2 << 3 << "500";
        QTest::newRow("1000 sub 2 unknown code") << 1000u << 2 << 0xFFFF << "1000";
        QTest::newRow("8000 code 4") << 8000u << 4 << 4 << "8000";
        QTest::newRow("8000 code 0") << 8000u << 4 << 0 << "1000";
        QTest::newRow("8000 code 6") << 8000u << 4 << 6 << "2000";
        QTest::newRow("8000 unknown code") << 8000u << 4 << 0xFFFF << "8000";
        QTest::newRow("other maximum") << 4000u << 4 << 1 << "";
    }
    void reportRateTable()
    {
        QFETCH(uint, max);
        QFETCH(int, subType);
        QFETCH(int, code);
        const int index = QQuorixStyDpiPage::ReportRateIndex(max, uint8_t(subType), uint16_t(code));
        QTEST(index < 0 ? QString() : QQuorixStyDpiPage::ReportRateItems(max).at(index), "shown");
    }
};

QTEST_MAIN(TstMousePage)
#include "tst_mouse_page.moc"
