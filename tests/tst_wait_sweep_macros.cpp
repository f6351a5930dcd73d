// The device goes on entering each wait of the macro editor's actions (opened from the
// keyboard page), of the mouse page's configuration files, of the device tile's update question
// and of the woken receiver tile: no crash, no sanitizer report, no user file changed after.
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/ProductCatalogue.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "firmware/QDownTaskManage.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QCreateUserConfigButton.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMacro_Item.h"
#include "macros/QConfigDirs.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"
#include "macros/QJsonConfing.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/FakeInputCapture.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WaitSweep.h"
#include "widgets/QDottomMessgDlg.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QtTest>

#include <memory>

namespace {

enum Page { Keyboard, Mouse, Tiles, NoDevice };
enum Action {
    NewMacro, NewMacroNameTaken, EditorReset, EditorResetWhileDelays, LongMacroLoaded, RecordedPastLimit,
    MacroRenamed, MacroRenamedNameTaken, NewConfigFile, ConfigFileAdded, ConfigFileRenamed, ConfigFileImported,
    TileUpdate, CatalogueRead, ReceiverWoken
};

// What the sweep's answerer leaves: it answers a dialog once, from its own tick (a question that
// answer raises waits for the tick to end), so a name dialog shown again by its loop, or left up
// after a refused name, is answered here. A file dialog gets `file`; its warnings are closed.
class LateAnswers
{
public:
    explicit LateAnswers(const QString &file) : m_file(file)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
        m_timer.start(20);
    }

private:
    void Tick()
    {
        QHash<QDialog *, int> up;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *dlg = qobject_cast<QDialog *>(top); dlg && dlg->isVisible())
                up.insert(dlg, m_up.value(dlg) + 1);
        m_up = up;
        for (auto it = up.cbegin(); it != up.cend(); ++it) {
            QPointer<QDialog> dlg(it.key());
            const bool message = qobject_cast<QDottomMessgDlg *>(dlg), files = qobject_cast<QFileDialog *>(dlg);
            if (it.value() < (files ? 3 : qobject_cast<QMessageBox *>(dlg) ? 5 : message ? 10 : 25)
                || (files && m_files.contains(dlg)))
                continue;
            m_up.remove(dlg);
            if (message) {
                QTest::keyClick(dlg, Qt::Key_Return);
                return;
            }
            if (files) { // queued: the warning a wrong name raises must not stop this tick
                m_files.append(dlg);
                dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(m_file);
            }
            QLineEdit *edit = files ? nullptr : dlg->findChild<QLineEdit *>();
            if (edit) {
                edit->setText(QStringLiteral("Late%1").arg(++m_names));
                QTest::keyClick(edit, Qt::Key_Return);
            }
            if (QPushButton *ok = dlg ? dlg->findChild<QPushButton *>(QStringLiteral("But_Confirm")) : nullptr; ok && ok->isVisible())
                ok->click();
            if (dlg && dlg->isVisible())
                QMetaObject::invokeMethod(dlg, files ? "accept" : "reject", Qt::QueuedConnection);
            return;
        }
    }

    QTimer m_timer;
    QString m_file;
    QHash<QDialog *, int> m_up;
    QList<QPointer<QDialog>> m_files;
    int m_names = 0;
};

} // namespace

class TstWaitSweepMacros : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<LoopbackHttpServer> m_server;
    std::unique_ptr<MainWidget> m_main;
    FakeInputCapture *m_fake = nullptr;
    uint32_t m_node = 0;
    bool m_patchedIds = false;
    bool m_taken = false;

    static HID_API *Api() { return HID_API::instance(); }
    static QWidget *Editor() { return QEditPage::Instance(); }
    DeviceRecord *Record() const { return Api()->DeviceMap().value(m_node, nullptr); }

    // The sample catalogue and firmware, served over loopback; the settings page reads the
    // catalogue when the main window is made.
    void Serve()
    {
        m_server = std::make_unique<LoopbackHttpServer>();
        QVERIFY(m_server->listen());
        for (const char *name : {"catalogue.xml", "qx3_pixart_v200.bin", "qx3_geehy_v27.bin", "qm8_1.0.2.bin"}) {
            QFile f(QStringLiteral(QUORIX_SOURCE_PROGRAMDIR "/../tests/data/firmware/") + QLatin1String(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            m_server->setFile(QByteArray("/") + name, f.readAll().replace("http://127.0.0.1:8765", m_server->url(QString()).toUtf8()));
        }
        QSettings(m_dir->filePath(QStringLiteral("SysBuild.ini")), QSettings::IniFormat)
            .setValue(QStringLiteral("Systime/UpdatadataIp"), m_server->url(QStringLiteral("/catalogue.xml")));
    }

    bool Open(Page page, emu::Model model)
    {
        emu::Reset();
        emu::SetTimeScale(0.05);
        m_dir = std::make_unique<TestProgramDir>();
        ClearProductListCache();
        m_fake = FakeInputCapture::Install();
        m_node = 0;
        m_patchedIds = m_taken = false;
        if (page == Tiles) {
            Serve();
            // The device whose page was opened last is another one: the tile's question is asked
            // from the list, not from the page of the device it is about.
            emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired));
        }
        if (page != NoDevice)
            m_node = emu::Plug(emu::MakeDevice(model));
        m_main = std::make_unique<MainWidget>();
        if (page == NoDevice)
            return true;
        if (!QTest::qWaitFor([this] { return Api()->TileMap().value(m_node) && Api()->Manager()->Worker(m_node); }, 10000))
            return false;
        QKeyLableItem *tile = Api()->TileMap().value(m_node);
        if (page == Tiles) {
            MessageAnswerer told; // how many devices have updates
            return QTest::qWaitFor([tile] { return tile->HasUpdate(); }, 10000) && Api()->Manager()->WaitIdle(10000);
        }
        if (!QTest::qWaitFor([tile] { return !tile->ProductFolder().isEmpty(); }, 10000))
            return false;
        tile->on_test(); // as a click on the tile opens its page
        return m_main->TabWidget()->currentIndex() == (page == Keyboard ? 2 : 1) && Api()->Manager()->WaitIdle(10000);
    }
    void Close()
    {
        m_main.reset();
        emu::Reset();
        m_server.reset();
        m_dir.reset();
    }
    void Take()
    {
        // The record said it was of the product the emulator has no model of; the removal finds
        // it by its own ids.
        if (DeviceRecord *r = m_patchedIds ? Record() : nullptr) {
            r->vendorId = 0x3A7C;
            r->productId = 0x0201;
        }
        emu::Unplug(m_node);
        m_taken = true;
    }
    void WriteMacro(const QString &name, int rows) const
    {
        const QByteArray records = QByteArray::fromHex("00000a0480000a04").repeated((rows + 1) / 2).left(4 * rows); // A down, up
        QVERIFY(QJsonConfing().WriteMacroFile(name, QJsonConfing::ImageToHex(QJsonConfing::MacroImage(name, records)), 1, 1));
    }
    static QPushButton *Button(QWidget *in, const char *name) { return in->findChild<QPushButton *>(QLatin1String(name)); }

    void Act(int action)
    {
        switch (action) {
        case NewMacroNameTaken:
            WriteMacro(QStringLiteral("Swept1"), 2);
            Q_FALLTHROUGH();
        case NewMacro: // the keyboard list's new-macro row
            QLStyleBoraWidget::instance()->on_toEditDefinepage();
            break;
        case EditorReset:
        case EditorResetWhileDelays:
            WriteMacro(QStringLiteral("m1"), 4);
            m_main->on_TabChangeEditkeysDefinition(QStringLiteral("m1"), true); // a macro row's click
            if (action == EditorResetWhileDelays)
                Editor()->findChild<QRadioButton *>(QStringLiteral("ButEditTime"))->click();
            Button(Editor(), "ButSeSet")->click();
            break;
        case LongMacroLoaded:
            WriteMacro(QStringLiteral("long"), QEditMacroPage_Iner::kMaxRows + 3);
            m_main->on_TabChangeEditkeysDefinition(QStringLiteral("long"), true);
            break;
        case RecordedPastLimit:
            WriteMacro(QStringLiteral("full"), QEditMacroPage_Iner::kMaxRows + 1);
            m_main->on_TabChangeEditkeysDefinition(QStringLiteral("full"), true);
            Editor()->findChild<QCheckBox *>(QStringLiteral("ButTool"))->click();
            m_fake->Key(true, 65, 1000);
            break;
        case MacroRenamedNameTaken:
            WriteMacro(QStringLiteral("Swept1"), 2);
            Q_FALLTHROUGH();
        case MacroRenamed: { // a right click on its row in the keyboard page's macro list
            WriteMacro(QStringLiteral("m1"), 4);
            QLStyleKeybordTabWidget::instance()->on_TabBarClicked(2);
            for (QMacro_Item *row : QLStyleKeybordTabWidget::instance()->ConfigLists().at(2)->findChildren<QMacro_Item *>()) {
                if (row->ItemText() != QLatin1String("m1"))
                    continue;
                QMouseEvent release(QEvent::MouseButtonRelease, QPointF(row->rect().center()), Qt::RightButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(row, &release);
                break;
            }
            break;
        }
        case NewConfigFile: // the row of the mouse page's configuration list
            QTest::mousePress(QLStyleBoraWidget::instance()->findChildren<QCreateUserConfigButton *>().value(0), Qt::LeftButton);
            break;
        case ConfigFileAdded:
            Button(QLStyleBoraWidget::instance()->ConfigDirs(), "But_AddFile")->click();
            break;
        case ConfigFileRenamed:
        case ConfigFileImported: {
            QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/cfgA.xml"), "<root/>"));
            QVERIFY(m_dir->writeFile(QStringLiteral("outside/cfgB.xml"), "<Backinfos/>"));
            QConfigDirs *dirs = QLStyleBoraWidget::instance()->ConfigDirs();
            dirs->Refresh();
            dirs->List()->setCurrentItem(dirs->List()->findItems(QStringLiteral("cfgA"), Qt::MatchStartsWith).value(0));
            Button(dirs, action == ConfigFileRenamed ? "But_RenameFile" : "But_InPutFile")->click();
            break;
        }
        case TileUpdate: {
            // The emulator has no model of the wired mouse whose update first shows a notice:
            // the record says it is one until it is taken.
            if (DeviceRecord *r = Record(); r && r->kind == KindMouseWired) {
                r->vendorId = 0x258A;
                r->productId = 0x0136;
                m_patchedIds = true;
            }
            QKeyLableItem *tile = Api()->TileMap().value(m_node);
            tile->on_ButUpdata_clicked();
            // Its downloads, when it started any, end before the files are compared.
            (void)QTest::qWaitFor([] { return QDownTaskManage::Instance()->ActiveCount() == 0; }, 10000);
            break;
        }
        case CatalogueRead: { // the settings page's check: how many devices have updates is told
            bool ended = false;
            QMetaObject::Connection c = connect(QDownTaskManage::Instance(), &QDownTaskManage::TaskEnd, [&ended] { ended = true; });
            Q_EMIT m_main->CheckVersionsStatic();
            (void)QTest::qWaitFor([&ended] { return ended; }, 10000);
            disconnect(c);
            break;
        }
        case ReceiverWoken: { // its tile is built awake: the list shows it after a wait
            m_node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardReceiver));
            (void)QTest::qWaitFor([this] {
                QKeyLableItem *tile = Api()->TileMap().value(m_node);
                return m_taken || (tile && tile->isVisibleTo(tile->parentWidget()) && !NestedWait::Open());
            }, 10000);
            break;
        }
        }
    }

private Q_SLOTS:
    void actions_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("maxWaits");
        const int kb = int(emu::Model::KeyboardWired), mouse = int(emu::Model::MouseWired);
        QTest::newRow("new macro named") << int(Keyboard) << kb << int(NewMacro) << 6;
        QTest::newRow("new macro, its name taken") << int(Keyboard) << kb << int(NewMacroNameTaken) << 6;
        QTest::newRow("editor reset") << int(Keyboard) << kb << int(EditorReset) << 3;
        QTest::newRow("editor reset while delays are edited") << int(Keyboard) << kb << int(EditorResetWhileDelays) << 1;
        QTest::newRow("editor: macro over the row limit opened") << int(Keyboard) << kb << int(LongMacroLoaded) << 1;
        QTest::newRow("editor: recorded past the row limit") << int(Keyboard) << kb << int(RecordedPastLimit) << 1;
        QTest::newRow("macro row renamed") << int(Keyboard) << kb << int(MacroRenamed) << 6;
        QTest::newRow("macro row renamed, its name taken") << int(Keyboard) << kb << int(MacroRenamedNameTaken) << 6;
        QTest::newRow("new configuration file") << int(Mouse) << mouse << int(NewConfigFile) << 6;
        QTest::newRow("configuration file added") << int(Mouse) << mouse << int(ConfigFileAdded) << 6;
        QTest::newRow("configuration file renamed") << int(Mouse) << mouse << int(ConfigFileRenamed) << 6;
        QTest::newRow("configuration file imported") << int(Mouse) << mouse << int(ConfigFileImported) << 6;
        QTest::newRow("tile update, 20/520 mouse") << int(Tiles) << mouse << int(TileUpdate) << 6;
        QTest::newRow("tile update, second family") << int(Tiles) << int(emu::Model::SecondFamilyWired) << int(TileUpdate) << 1;
        QTest::newRow("settings: catalogue read") << int(Tiles) << mouse << int(CatalogueRead) << 1;
        QTest::newRow("woken receiver tile") << int(NoDevice) << kb << int(ReceiverWoken) << 6;
    }
    void actions()
    {
        QFETCH(int, page);
        QFETCH(int, model);
        QFETCH(int, action);
        QFETCH(int, maxWaits);
        WaitSweep::Run run;
        run.setup = [this, page, model] { return Open(Page(page), emu::Model(model)); };
        run.action = [this, action] {
            LateAnswers late(m_dir->filePath(QStringLiteral("outside/cfgB.xml")));
            Act(action);
        };
        run.take = [this] { Take(); };
        run.gone = [this] { return m_node && Api() && !Api()->DeviceMap().contains(m_node); };
        run.teardown = [this] { Close(); };
        run.programDir = [this] { return m_dir ? m_dir->path() : QString(); };
        run.maxWaits = maxWaits;
        QVERIFY2(WaitSweep::Sweep(run) > 0, "the action opened no wait");
    }
    void cleanupTestCase() { qInfo("%s", qPrintable(WaitSweep::SitesReport())); }
};

QTEST_MAIN(TstWaitSweepMacros)
#include "tst_wait_sweep_macros.moc"
