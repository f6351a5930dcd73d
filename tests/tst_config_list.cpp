// The left configuration lists: the mouse products' item lists per tab, the rows built from
// them, the drag protocol of command and macro rows in both drop modes, group folding and the
// row deletes.
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "app/TrayIcon.h"
#include "keyboard/ConfigItemList.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "keyboard/QCreateUserConfigButton.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QConfigListItemBase.h"
#include "keyboard/QLeftMuenTabWidget.h"
#include "macros/QConfigDirs.h"
#include "macros/QGenderConfigInput.h"
#include "macros/QJsonConfing.h"
#include "mouse/QLStyleBoraWidget.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
using Record = std::unique_ptr<_KeyValueInfo, void (*)(_KeyValueInfo *)>;

void Send(QWidget *row, QEvent::Type type, Qt::MouseButton button, QPoint local)
{
    // Moves are sent with the left button held: the rows track no moves without a button.
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                  : type == QEvent::MouseMove         ? Qt::LeftButton
                                                                      : Qt::MouseButtons(button);
    QMouseEvent event(type, local, row->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(row, &event);
}

// The rows' texts, only those named in keep when it is given (other sample files may be there).
QStringList Texts(QConfigList *list, const QStringList &keep = {})
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        if (const QString t = list->Row(list->item(i))->ItemText(); keep.isEmpty() || keep.contains(t))
            texts << t;
    return texts;
}
} // namespace

class TestConfigList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void sampleItemLists_data();
    void sampleItemLists();
    void mouseDrag();
    void keyboardDrop_data();
    void keyboardDrop();
    void foldingAndFileRows();
    void macroRename();
    void namePopupSaysWhy();
    void panelSaysWhy();
    void trayExitCancelsTheRename();

private:
    QConfigList *Build(const QString &product, int tab);
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::unique_ptr<QLeftMuenTabWidget> m_tabs;
};

void TestConfigList::init()
{
    m_dir.reset(new TestProgramDir);
    for (const char *name : {"b.bin", "A.bin", "x.bin.bin", "UP.BIN"})
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/moidefConfig/") + name, "{}"));
    QVERIFY(m_dir->writeFile("Products/QM8/UserConfig/Work.xml", "<Backinfos/>"));
    m_main.reset(new MainWidget);
    m_main->OpenMousePage(QStringLiteral("QM8"));
    QXM_Process::instance()->ReloadLanguage(1);
}

void TestConfigList::cleanup()
{
    m_tabs.reset();
    m_main.reset();
    m_dir.reset();
}

QConfigList *TestConfigList::Build(const QString &product, int tab)
{
    QVector<QString> keys;
    ConfigItemList::ItemMap items = ConfigItemList::Load(m_dir->filePath("Products/" + product + "/ConfigItemList.xml"), keys);
    m_tabs.reset(new QLeftMuenTabWidget);
    QConfigList *list = nullptr;
    for (int n = 0; n < keys.size(); ++n) {
        QConfigList *l = m_tabs->AddListTab(keys.at(n), keys.at(n), 0, nullptr, items.value(keys.at(n)));
        if (n == tab)
            list = l;
    }
    ConfigItemList::Free(items);
    m_tabs->resize(300, 600);
    m_tabs->show();
    return list;
}

void TestConfigList::sampleItemLists_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("kinds"); // a pattern of the row kinds
    QTest::addColumn<QStringList>("shown"); // rows' texts as the list shows them, in order
    for (const QString product : {"QM8", "QX3"}) {
        const bool qm8 = product == QLatin1String("QM8");
        QTest::newRow(qPrintable(product + " functions")) << product << "@620|@621" << "01111101111"
                                                        << QStringList{"Mouse buttons", "Left button", "Right button"};
        QTest::newRow(qPrintable(product + " keys")) << product << "@622|@623" << "11111" << QStringList{"A", "Enter"};
        // third tab: the macro tab, its button first, files by name, only a trailing ".bin" cut
        QTest::newRow(qPrintable(product + " macros")) << product << "@624|@625" << "53*"
                                                     << (qm8 ? QStringList{"New macro", "A", "b", "x.bin"} : QStringList{"New macro"});
        // "imageAndLines" is never listed; "Base" once, though its factory copy is below it
        QTest::newRow(qPrintable(product + " profiles")) << product << "@626|@627" << "877+"
                                                       << (qm8 ? QStringList{"New configuration", "Base", "Work"}
                                                               : QStringList{"New configuration", "Base"});
    }
}

void TestConfigList::sampleItemLists()
{
    QFETCH(QString, product);
    QFETCH(QString, key);
    QFETCH(QString, kinds);
    QFETCH(QStringList, shown);
    m_main->OpenMousePage(product);
    QVector<QString> keys;
    ConfigItemList::ItemMap items = ConfigItemList::Load(m_dir->filePath("Products/" + product + "/ConfigItemList.xml"), keys);
    QCOMPARE(keys, QVector<QString>({"@620|@621", "@622|@623", "@624|@625", "@626|@627"}));
    QCOMPARE(items.size(), keys.size()); // no duplicate keys: a page builds all four tabs
    QString got;
    for (const ConfigItem *item : items.value(key))
        got += QString::number(item->kind);
    QVERIFY2(QRegularExpression("^" + kinds + "$").match(got).hasMatch(), qPrintable(got));
    ConfigItemList::Free(items);
    QConfigList *list = Build(product, keys.indexOf(key));
    QCOMPARE(list->count(), got.size());
    QCOMPARE(Texts(list, shown), shown);
    QVERIFY(!list->FindItem(QStringLiteral("imageAndLines")) && !list->FindItem(QStringLiteral("UP")));
}

void TestConfigList::mouseDrag()
{
    QConfigList *list = Build(QStringLiteral("QM8"), 0);
    QSignalSpy moves(list, &QConfigList::DragLeftMove);
    QSignalSpy drops(list, &QConfigList::DragLeftRePress);
    QSignalSpy pixDrops(list, &QConfigList::DragLeftPixRePress);
    // a command: one start at the first move, every move reported, one release with code and ids
    QWidget *left = list->Row(list->item(1));
    Send(left, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
    QVERIFY(list->DragPicture()->isHidden());
    for (int x = 10; x <= 30; x += 10)
        Send(left, QEvent::MouseMove, Qt::NoButton, QPoint(x, 400));
    QVERIFY(!list->DragPicture()->isHidden());
    QCOMPARE(moves.count(), 3);
    QCOMPARE(moves.at(2).at(0).toPoint(), left->mapToGlobal(QPoint(30, 400)));
    Send(left, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(30, 400));
    QVERIFY(list->DragPicture()->isHidden());
    QCOMPARE(drops.count(), 1);
    QCOMPARE(drops.at(0), QVariantList({"Left button", "01010000", 0, 244, 0}));

    // a macro row: no drag within 200 ms of the press, then one with its picture, sent as type 1
    QConfigList *macros = Build(QStringLiteral("QM8"), 2);
    QSignalSpy macroMoves(macros, &QConfigList::DragLeftMove);
    QSignalSpy macroDrops(macros, &QConfigList::DragLeftRePress);
    QConfigListItemBase *a = macros->Row(macros->FindItem(QStringLiteral("A")));
    Send(a, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 10));
    Send(a, QEvent::MouseMove, Qt::NoButton, QPoint(40, 300));
    QVERIFY(macros->DragPicture()->isHidden());
    QTest::qWait(250);
    Send(a, QEvent::MouseMove, Qt::NoButton, QPoint(45, 300));
    QVERIFY(!macros->DragPicture()->isHidden());
    QCOMPARE(macroMoves.count(), 1);
    Send(a, QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(45, 300));
    QCOMPARE(macroDrops.count(), 1);
    QCOMPARE(macroDrops.at(0), QVariantList({"A", "", 1, 0, 0}));
    QCOMPARE(pixDrops.count(), 0);
    QCOMPARE(m_main->TabWidget()->currentIndex(), 1); // let go outside the row: no editor
}

void TestConfigList::keyboardDrop_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("centre");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("bytes"); // null: no drop
    QTest::addColumn<QString>("name");
    QTest::newRow("two digits") << 1 << "" << "0x1E" << QByteArray("\x1e", 1) << "Key";
    QTest::newRow("eight digits") << 1 << "" << "0x0D010000" << QByteArray("\x0d\x01\x00\x00", 4) << "Key";
    QTest::newRow("centre text sent") << 1 << "Ctrl+C" << "0X02000106" << QByteArray("\x02\x00\x01\x06", 4) << "Ctrl+C";
    QTest::newRow("four digits") << 1 << "" << "0x1E2F" << QByteArray() << "";
    QTest::newRow("macro") << 3 << "" << "0x00" << QByteArray("") << "Key";
}

void TestConfigList::keyboardDrop()
{
    QFETCH(int, kind);
    QFETCH(QString, centre);
    QFETCH(QString, code);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QConfigList list;
    list.DropMode = 2;
    QConfigListItemBase *row = list.Row(list.AddItem(uint8_t(kind), kind == 3 ? "Key.bin" : "Key", centre, code));
    std::vector<Record> got;
    connect(&list, &QConfigList::Drag_KeyEditPage_RePress, [&](QPoint, _KeyValueInfo *r) { got.emplace_back(r, DeleteDragRecord); });
    Send(row, QEvent::MouseButtonPress, Qt::RightButton, QPoint(3, 3));
    Send(row, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(-3, -3));
    QCOMPARE(int(got.size()), bytes.isNull() ? 0 : 1);
    if (got.empty())
        return;
    const _KeyValueInfo &r = *got.front();
    QCOMPARE(r.type, kind == 3 ? 3 : 8);
    QCOMPARE(r.LeftValue, name);
    QVERIFY(r.KeyButtonName.isEmpty());
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(r.value), r.valueLength), bytes);
}

void TestConfigList::foldingAndFileRows()
{
    // a header pressed twice hides, then shows, the rows of its group; the header stays
    QConfigList *functions = Build(QStringLiteral("QM8"), 0);
    QWidget *header = functions->Row(functions->item(0));
    for (bool hidden : {true, false}) {
        Send(header, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(5, 5));
        for (int i = 1; i < 6; ++i)
            QCOMPARE(functions->item(i)->isHidden(), hidden);
        QVERIFY(!functions->item(0)->isHidden() && !functions->item(6)->isHidden());
    }

    // a macro's "X": the row and its one file go, the other macros stay
    QConfigList *macros = Build(QStringLiteral("QM8"), 2);
    QConfigListItemBase *x = macros->Row(macros->FindItem(QStringLiteral("x.bin")));
    Send(x, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(x->width() - 10, 10));
    QTest::qWait(10);
    QCOMPARE(Texts(macros, {"A", "b", "x.bin"}), QStringList({"A", "b"}));
    QVERIFY(!QFile::exists(m_dir->filePath("Products/QM8/moidefConfig/x.bin.bin")));
    QVERIFY(QFile::exists(m_dir->filePath("Products/QM8/moidefConfig/b.bin")));
    QVERIFY(m_dir->writeFile("Products/QM8/moidefConfig/sub/c.bin", "{}"));
    macros->LoadMacroItems(m_dir->filePath("Products/QM8"));
    QCOMPARE(Texts(macros, {"New macro", "A", "b", "c"}), QStringList({"New macro", "A", "b", "c"}));

    // configuration rows: "Base" and the one in use keep their files; another one goes
    QConfigList *profiles = Build(QStringLiteral("QM8"), 3);
    std::unique_ptr<QSettings>(m_main->OpenProductDataIni())->setValue("default/UserConfig", "Work");
    MessageAnswerer ok(true);
    for (const QString name : {"Base", "Work", "", "Work"}) {
        if (name.isEmpty()) { // the configuration in use changes
            std::unique_ptr<QSettings>(m_main->OpenProductDataIni())->setValue("default/UserConfig", "Base");
            continue;
        }
        QConfigListItemBase *row = profiles->Row(profiles->FindItem(name));
        QVERIFY(row);
        Send(row, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(row->width() - 10, 10));
        QTest::qWait(10);
    }
    QCOMPARE(Texts(profiles, {"Base", "Work"}), QStringList({"Base"}));
    QCOMPARE(ok.shown(), GetLangText(760)); // the one in use says why it stays
    QVERIFY(QFile::exists(m_dir->filePath("Products/QM8/UserConfig/Base.xml")));
    QVERIFY(!QFile::exists(m_dir->filePath("Products/QM8/UserConfig/Work.xml")));

    // a new-configuration row outside the mouse page asks for no name: its file would hold
    // the mouse page's buttons
    bool asked = false;
    QTimer::singleShot(0, [&asked] {
        if (QWidget *popup = QApplication::activeModalWidget()) {
            asked = true;
            popup->close();
        }
    });
    Send(profiles->Row(profiles->item(0)), QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 10));
    QTest::qWait(10);
    QVERIFY(!asked);

    // on the keyboard page it names a copy of the keyboard's assignments, in the keyboard's
    // own format, and lists it
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    auto *create = QLStyleKeybordTabWidget::instance()->findChild<QCreateUserConfigButton *>();
    QVERIFY(create);
    QTimer::singleShot(0, [] {
        if (QWidget *popup = QApplication::activeModalWidget()) {
            auto *line = popup->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
            line->setText(QStringLiteral("Travel"));
            Q_EMIT line->editingFinished();
        }
    });
    Send(create, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 10));
    const auto keys = [this](const QString &name) {
        KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(m_dir->filePath("Products/QK75/UserConfig/" + name));
        QStringList texts;
        for (int n = 0; n < layers.size(); ++n)
            for (const _KeyValueInfo *key : qAsConst(*layers.at(n)))
                texts << QStringLiteral("%1 %2 %3 %4 %5").arg(n).arg(key->KeyButtonName).arg(key->type).arg(key->LeftValue).arg(KeyValueCode(*key));
        FreeKeyProfileLayers(layers);
        texts.sort();
        return texts;
    };
    QVERIFY(!keys("Base.xml").isEmpty());
    QCOMPARE(keys("Travel.xml"), keys("Base.xml"));
    QVERIFY(qobject_cast<QConfigList *>(create->parentWidget()->parentWidget())->FindItem(QStringLiteral("Travel")));
}

void TestConfigList::macroRename()
{
    // a right click asks until a name is free, at most 10 bytes long and one file name
    const QString folder = m_dir->filePath("Products/QM8/moidefConfig");
    QJsonConfing store(folder);
    QVERIFY(store.WriteMacroFile("A", QJsonConfing::ImageToHex(QJsonConfing::MacroImage("A", QByteArray("\x80\x00\x0a\x04", 4))), 1, 1));
    QConfigList *macros = Build(QStringLiteral("QM8"), 2);
    QConfigListItemBase *a = macros->Row(macros->FindItem(QStringLiteral("A")));
    QStringList answers{"b", QString::fromUtf8("四个汉字"), "../up", "abcdefghij"};
    QTimer typist;
    connect(&typist, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("QInputDialog") && w->isVisible() && !answers.isEmpty()) {
                w->findChild<QLineEdit *>(QStringLiteral("InputEdit"))->setText(answers.takeFirst());
                QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("But_Confirm")), Qt::LeftButton);
            }
    });
    typist.start(40);
    MessageAnswerer ok(true);
    Send(a, QEvent::MouseButtonPress, Qt::RightButton, QPoint(40, 10));
    Send(a, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(40, 10));
    QCOMPARE(ok.count(), 3);
    QVERIFY(ok.shown().contains(GetLangText(140)) && ok.shown().contains(GetLangText(108)));
    QCOMPARE(a->ItemText(), QStringLiteral("abcdefghij"));
    QVERIFY(QFile::exists(folder + "/abcdefghij.bin") && !QFile::exists(folder + "/A.bin"));
}

void TestConfigList::namePopupSaysWhy()
{
    // the keyboard page's name popup says why it refuses a name, in the configuration panel's
    // words, shows what is typed readably and keeps the field for the next try
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    auto *create = QLStyleKeybordTabWidget::instance()->findChild<QCreateUserConfigButton *>();
    QVERIFY(create);
    const auto luminance = [](const QColor &c) {
        const auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    QStringList answers{QString::fromUtf8("Trip\xF0\x9F\x98\x80"), QStringLiteral("Base"), QStringLiteral("TempBase")};
    int kept = 0, typed = 0;
    double contrast = 0;
    QTimer typist;
    connect(&typist, &QTimer::timeout, [&] {
        auto *popup = qobject_cast<QGenderConfigInput *>(QApplication::activeModalWidget());
        if (!popup)
            return;
        // the field after the refused name: the popup's focus stays on it (whether the window
        // is active yet depends on the window system's timing)
        kept += typed > 0 && popup->focusWidget() == popup->LineEdit();
        ++typed;
        const QPalette p = popup->LineEdit()->palette();
        const double a = luminance(p.color(QPalette::Text)), b = luminance(p.color(QPalette::Base));
        contrast = (qMax(a, b) + 0.05) / (qMin(a, b) + 0.05);
        if (answers.isEmpty()) {
            popup->findChild<QPushButton *>(QStringLiteral("ExitButton"))->click();
            return;
        }
        popup->LineEdit()->setText(answers.takeFirst());
        QTest::keyClick(popup->LineEdit(), Qt::Key_Return);
    });
    typist.start(40);
    MessageAnswerer ok(true);
    Send(create, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 10));
    QCOMPARE(ok.count(), 2);
    QVERIFY(ok.shown().contains(GetLangText(139)) && ok.shown().contains(GetLangText(140)));
    QCOMPARE(kept, 2);
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
    QVERIFY(QFile::exists(m_dir->filePath("Products/QK75/UserConfig/TempBase.xml"))); // no name of the page's own
}

void TestConfigList::panelSaysWhy()
{
    // the configuration panel says why it keeps the base and the chosen configuration
    QConfigDirs *panel = QLStyleBoraWidget::instance()->ConfigDirs();
    QVERIFY(m_dir->writeFile("Products/QM8/UserConfig/Gone.xml", "<Backinfos/>"));
    panel->SetInUseName(QStringLiteral("Work"));
    panel->Refresh();
    // Opened, the panel's buttons act on the configuration in use.
    QVERIFY(panel->List()->currentItem());
    QCOMPARE(panel->List()->currentItem()->text(), QStringLiteral("Work"));
    MessageAnswerer ok(true);
    for (const char *button : {"But_DeleteFile", "But_RenameFile"})
        for (const QString row : {"Work", "Base"}) {
            panel->List()->setCurrentItem(panel->List()->findItems(row, Qt::MatchExactly).value(0));
            panel->findChild<QPushButton *>(QLatin1String(button))->click();
        }
    QCOMPARE(ok.count(), 4);
    QVERIFY(ok.shown().contains(GetLangText(760)) && ok.shown().contains(GetLangText(761)));
    QVERIFY(QFile::exists(m_dir->filePath("Products/QM8/UserConfig/Work.xml")));
    // a file removed behind the panel's back: its delete says so, and the row goes
    QVERIFY(QFile::remove(m_dir->filePath("Products/QM8/UserConfig/Gone.xml")));
    panel->List()->setCurrentItem(panel->List()->findItems(QStringLiteral("Gone"), Qt::MatchExactly).value(0));
    panel->findChild<QPushButton *>(QStringLiteral("But_DeleteFile"))->click();
    QCOMPARE(ok.count(), 5);
    QVERIFY(ok.shown().contains(GetLangText(764)));
    QVERIFY(panel->List()->findItems(QStringLiteral("Gone"), Qt::MatchExactly).isEmpty());
}

void TestConfigList::trayExitCancelsTheRename()
{
    // the tray's exit while the name dialog is open closes it as a Cancel: a name confirmed
    // after the exit is not stored
    const QString folder = m_dir->filePath("Products/QM8/moidefConfig");
    QVERIFY(QJsonConfing(folder).WriteMacroFile("Burst", QJsonConfing::ImageToHex(QJsonConfing::MacroImage("Burst", QByteArray("\x80\x00\x0a\x04", 4))), 1, 1));
    QConfigList *macros = Build(QStringLiteral("QM8"), 2);
    QConfigListItemBase *row = macros->Row(macros->FindItem(QStringLiteral("Burst")));
    bool asked = false, openAfterExit = true;
    QTimer::singleShot(300, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("QInputDialog") && w->isVisible()) {
                asked = true;
                w->findChild<QLineEdit *>(QStringLiteral("InputEdit"))->setText(QStringLiteral("Ren2"));
                TrayIcon::Instance()->Menu()->actions().value(1)->trigger();
                openAfterExit = w->isVisible();
                if (openAfterExit)
                    QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("But_Confirm")), Qt::LeftButton);
            }
    });
    QTimer::singleShot(0, [row] {
        Send(row, QEvent::MouseButtonPress, Qt::RightButton, QPoint(40, 10));
        Send(row, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(40, 10));
    });
    QTimer safetyNet;
    connect(&safetyNet, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    safetyNet.start(8000);
    QCOMPARE(QCoreApplication::exec(), 0); // the program's loop ends through the tray's exit
    QVERIFY(asked);
    QVERIFY(!openAfterExit);
    QCOMPARE(row->ItemText(), QStringLiteral("Burst"));
    QVERIFY(QFile::exists(folder + "/Burst.bin") && !QFile::exists(folder + "/Ren2.bin"));
}

QTEST_MAIN(TestConfigList)
#include "tst_config_list.moc"
