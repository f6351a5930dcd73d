// The on-screen keyboard built from the sample QK75: drops saved and sent to the emulated
// keyboard, the Fn rule over every layer, refusals, and what the keys show.
#include "tests/support/MessageAnswerer.h"
#include "app/QXM_Process.h"
#include "app/MainWidget.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QDottomMessgDlg.h"

#include <QLabel>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

_KeyValueInfo *Record(int type, const QByteArray &code, const QString &left)
{
    auto *r = new _KeyValueInfo;
    r->type = type;
    r->LeftValue = left;
    r->valueLength = static_cast<uint8_t>(code.size());
    for (int i = 0; i < code.size() && i < 4; ++i)
        r->value[i] = static_cast<uint8_t>(code.at(i));
    return r;
}

QColor Over(const QColor &under, int r, int g, int b, int a)
{
    auto mix = [a](int top, int bottom) { return (top * a + bottom * (255 - a)) / 255; };
    return QColor(mix(r, under.red()), mix(g, under.green()), mix(b, under.blue()));
}

bool Near(const QColor &x, const QColor &y)
{
    return qAbs(x.red() - y.red()) <= 3 && qAbs(x.green() - y.green()) <= 3 && qAbs(x.blue() - y.blue()) <= 3;
}
} // namespace

class TestKeyboardBoard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void typeEightDropReachesDevice();
    void fnRuleOverLayers();
    void refusedDrops();
    void framesAndPixels();

private:
    void Open(bool withKeyboard);
    bool Drop(const QString &keyName, _KeyValueInfo *record);
    KeyProfileLayers Saved();
    QString Config(const QString &file) const { return m_dir->filePath(QStringLiteral("Products/QK75/UserConfig/") + file); }

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuKeyboard> m_dev;
    QLStyleKeybordTabWidget *m_page = nullptr;
    QMultifunKeyBoard *m_board = nullptr;
};

void TestKeyboardBoard::init()
{
    m_dir.reset(new TestProgramDir);
    QVERIFY(m_dir->isValid());
}

void TestKeyboardBoard::cleanup()
{
    m_main.reset();
    m_dev.reset();
    emu::Reset();
    m_dir.reset();
}

void TestKeyboardBoard::Open(bool withKeyboard)
{
    uint32_t node = 0;
    if (withKeyboard) {
        m_dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(emu::Model::KeyboardWired));
        node = emu::Plug(m_dev);
    }
    m_main.reset(new MainWidget);
    HID_API *api = HID_API::instance();
    if (withKeyboard) {
        QTRY_VERIFY_WITH_TIMEOUT(api->Manager()->Worker(node), 5000);
        api->SetCurrentDeviceById(node);
        api->Manager()->SetCurrentDeviceId(node);
    }
    m_main->show();
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    m_page = QLStyleKeybordTabWidget::instance();
    m_board = m_page->KeyBoard();
    QVERIFY(m_board->KeyByName(QStringLiteral("Esc")));
    QCOMPARE(m_board->LayerCount(), 3);
}

bool TestKeyboardBoard::Drop(const QString &keyName, _KeyValueInfo *record)
{
    QMultifunKeyButton *key = m_board->KeyByName(keyName);
    const QPoint at = key ? key->mapToGlobal(key->rect().center()) : m_board->mapToGlobal(QPoint(-50, -50));
    m_board->on_MouseDrawMove(at);
    if (key && m_board->HoveredKey() != key)
        return false;
    m_board->on_MouseDrawRePress(at, record);
    return !m_board->HoveredKey();
}

KeyProfileLayers TestKeyboardBoard::Saved()
{
    return QConfigBuildManage_Pro().ReadKeyConfig(Config(QStringLiteral("Base.xml")));
}

void TestKeyboardBoard::typeEightDropReachesDevice()
{
    Open(true);
    QCOMPARE(int(HID_API::instance()->ReportRatePos.load()), 13);
    QSignalSpy sent(m_page, &QLStyleKeybordTabWidget::SetKeyboardKeys);
    QVERIFY(Drop(QStringLiteral("W"), Record(8, QByteArray::fromHex("001d0000"), QStringLiteral("Z"))));
    QCOMPARE(sent.count(), 1);
    QCOMPARE(sent.first().at(0).toString(), Config(QStringLiteral("Base.xml")));
    QVERIFY(QFile::exists(Config(QStringLiteral(".TempBase.xml"))));
    KeyProfileLayers saved = Saved();
    QCOMPARE(saved.size(), 3);
    QVERIFY(saved.at(0)->contains(QStringLiteral("W")));
    QVERIFY(saved.at(0)->contains(QStringLiteral("CapsLock"))); // the rest of the file stays
    FreeKeyProfileLayers(saved);
    // the device takes the layer with the four bytes at W's place; the backup goes
    QTRY_COMPARE_WITH_TIMEOUT(m_dev->KeyLayer(0).mid(20, 4), QByteArray::fromHex("001d0000"), 8000);
    QCOMPARE(m_dev->KeyLayer(0).mid(28, 4), QByteArray::fromHex("00040000")); // A: the layout's own
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(Config(QStringLiteral(".TempBase.xml"))), 5000);

    // a refused write restores the file as it was before it and the keys shown; a backup left
    // behind by a write that never ended (here of another configuration) is not put back
    m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/.TempBase.xml"), "<KeyBoardRoot><Keylevel_ID ID=\"0\"/></KeyBoardRoot>");
    const QByteArray before = m_dir->readFile(QStringLiteral("Products/QK75/UserConfig/Base.xml"));
    MessageAnswerer answer;
    emu::Knobs k;
    k.failFeatures = true;
    m_dev->setKnobs(k);
    QVERIFY(Drop(QStringLiteral("E"), Record(8, QByteArray::fromHex("001e0000"), QStringLiteral("1"))));
    QCOMPARE(m_board->KeyByName(QStringLiteral("E"))->DisplayType, uchar(4));
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(Config(QStringLiteral(".TempBase.xml"))), 8000);
    QCOMPARE(m_dir->readFile(QStringLiteral("Products/QK75/UserConfig/Base.xml")), before);
    QVERIFY(!m_board->LayerKeyInfo(0)->contains(QStringLiteral("E")));
    QVERIFY(!m_board->KeyByName(QStringLiteral("E"))->Record);
    QCOMPARE(m_board->KeyByName(QStringLiteral("W"))->DisplayType, uchar(4));
}

void TestKeyboardBoard::fnRuleOverLayers()
{
    Open(false);
    MessageAnswerer answer;
    // layer 0 reaches every layer, each with its own copy; removal from any layer clears all
    QVERIFY(Drop(QStringLiteral("CapsLock"), Record(8, QByteArray::fromHex("0d010000"), QStringLiteral("Fn"))));
    QSet<_KeyValueInfo *> copies;
    for (uchar l = 0; l < 3; ++l)
        copies.insert(m_board->LayerKeyInfo(l)->value(QStringLiteral("CapsLock")));
    QCOMPARE(copies.size(), 3);
    QVERIFY(!copies.contains(nullptr));
    m_board->RemoveKeyValue(1, m_board->LayerKeyInfo(1)->value(QStringLiteral("CapsLock")));
    for (uchar l = 0; l < 3; ++l)
        QVERIFY(!m_board->LayerKeyInfo(l)->contains(QStringLiteral("CapsLock")));
    QVERIFY(!m_board->KeyByName(QStringLiteral("CapsLock"))->Record);

    // on layer 2: a single 0d (byte 0 when dropped) is refused unless its text is "j"
    m_page->SetLevelComboIndex(2);
    m_board->on_TabChangeLayerkeyWidget(2);
    QVERIFY(Drop(QStringLiteral("Tab"), Record(8, QByteArray::fromHex("0d"), QStringLiteral("Fn2"))));
    QCOMPARE(answer.shown(), GetLangText(884));
    QVERIFY(!m_board->LayerKeyInfo(2)->contains(QStringLiteral("Tab")));
    QVERIFY(Drop(QStringLiteral("Tab"), Record(8, QByteArray::fromHex("0d020000"), QStringLiteral("Fn3"))));
    QVERIFY(!m_board->LayerKeyInfo(2)->contains(QStringLiteral("Tab"))); // any value led by 0d
    QVERIFY(Drop(QStringLiteral("Tab"), Record(8, QByteArray::fromHex("0d"), QStringLiteral("j"))));
    QVERIFY(m_board->LayerKeyInfo(2)->contains(QStringLiteral("Tab")));
    QVERIFY(!m_board->LayerKeyInfo(0)->contains(QStringLiteral("Tab")));

    // after reopening, a single 0d read from the file (byte 3) is the same Fn value
    m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/Base.xml"),
                     "<KeyBoardRoot><Keylevel_ID ID=\"0\"><KeyEdit KeyButtonName=\"G\" LeftValue=\"Fn\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"0d\"/></Keylevel_ID>"
                     "<Keylevel_ID ID=\"1\"><KeyEdit KeyButtonName=\"G\" LeftValue=\"Fn\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"0d\"/></Keylevel_ID>"
                     "<Keylevel_ID ID=\"2\"><KeyEdit KeyButtonName=\"G\" LeftValue=\"Fn\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"0d\"/></Keylevel_ID></KeyBoardRoot>");
    QVERIFY(m_board->LoadLayerKeyInfoFile(Config(QStringLiteral("Base.xml"))));
    m_page->SetLevelComboIndex(0);
    QTest::mouseClick(m_board->KeyByName(QStringLiteral("G")), Qt::RightButton);
    for (uchar l = 0; l < 3; ++l)
        QVERIFY(!m_board->LayerKeyInfo(l)->contains(QStringLiteral("G")));
    KeyProfileLayers saved = Saved();
    QCOMPARE(saved.size(), 3);
    for (const KeyLayerTable *t : saved)
        QVERIFY(!t->contains(QStringLiteral("G")));
    FreeKeyProfileLayers(saved);
}

void TestKeyboardBoard::refusedDrops()
{
    // a backup left behind goes when the page opens
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/.TempBase.xml"), "<KeyBoardRoot/>"));
    Open(false);
    QSignalSpy sent(m_page, &QLStyleKeybordTabWidget::SetKeyboardKeys);
    const QByteArray base = m_dir->readFile(QStringLiteral("Products/QK75/UserConfig/Base.xml"));
    LayoutKeyRecord hex;
    hex.KeyName = QStringLiteral("Hex");
    hex.KeyValue = QStringLiteral("0X29");
    hex.width = hex.height = 10;
    m_board->BuildButtons({&hex}, 1);
    {
        MessageAnswerer answer;
        QVERIFY(Drop(QString(), Record(8, QByteArray::fromHex("001d0000"), QStringLiteral("Z")))); // on no key
        QVERIFY(Drop(QStringLiteral("W"), Record(8, QByteArray::fromHex("001a0000"), QStringLiteral("W")))); // own value
        QVERIFY(Drop(QStringLiteral("Hex"), Record(8, QByteArray::fromHex("29"), QStringLiteral("Esc")))); // "0X29" padded
        QVERIFY(Drop(QStringLiteral("Q"), Record(3, QByteArray(), QStringLiteral("Ghost")))); // no such macro file
        QCOMPARE(answer.shown(), GetLangText(885).arg(QStringLiteral("Ghost")));
    }
    QCOMPARE(sent.count(), 0);
    QVERIFY(!QFile::exists(Config(QStringLiteral(".TempBase.xml"))));
    QCOMPARE(m_dir->readFile(QStringLiteral("Products/QK75/UserConfig/Base.xml")), base);
    // a stored macro whose file went missing stops a macro drop too
    QVERIFY(m_dir->removeFile(QStringLiteral("Products/QK75/moidefConfig/Macro1.bin")));
    m_dir->writeFile(QStringLiteral("Products/QK75/moidefConfig/Other.bin"), "{\"Other\": {\"mdfdata\": \"0102\"}}");
    {
        MessageAnswerer answer;
        QVERIFY(Drop(QStringLiteral("Q"), Record(3, QByteArray(), QStringLiteral("Other"))));
        QCOMPARE(answer.shown(), GetLangText(885).arg(QStringLiteral("Macro1")));
    }
    QCOMPARE(sent.count(), 0);
    // a file of one layer keeps what it holds, on the keys and through the next save
    m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/One.xml"),
                     "<KeyBoardRoot><Keylevel_ID ID=\"0\"><KeyEdit KeyButtonName=\"W\" LeftValue=\"Z\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"001d0000\"/></Keylevel_ID></KeyBoardRoot>");
    QVERIFY(m_board->LoadLayerKeyInfoFile(Config(QStringLiteral("One.xml"))));
    QCOMPARE(m_board->LayerCount(), 3);
    QVERIFY(m_board->KeyByName(QStringLiteral("W"))->Record);
    QVERIFY(m_board->SaveLayerKeys(Config(QStringLiteral("One.xml"))));
    KeyProfileLayers one = QConfigBuildManage_Pro().ReadKeyConfig(Config(QStringLiteral("One.xml")));
    QVERIFY(one.size() == 3 && one.at(0)->contains(QStringLiteral("W")));
    FreeKeyProfileLayers(one);
    // a file that cannot be read leaves one table per layer name; one that cannot be written
    // sends nothing and the keys show the file as it stayed
    QVERIFY(!m_board->LoadLayerKeyInfoFile(Config(QStringLiteral("missing.xml"))));
    QCOMPARE(m_board->LayerCount(), 3);
    QVERIFY(QDir().mkpath(Config(QStringLiteral("Broken.xml"))));
    m_page->SetConfigName(QStringLiteral("Broken"));
    QVERIFY(Drop(QStringLiteral("W"), Record(8, QByteArray::fromHex("001d0000"), QStringLiteral("Z"))));
    QCOMPARE(sent.count(), 0);
    QVERIFY(!m_board->KeyByName(QStringLiteral("W"))->Record);
    QCOMPARE(m_board->LayerCount(), 3);
    m_page->SetConfigName(QStringLiteral("Base"));
    // the page emptied while a refusal is shown: no crash, nothing written
    m_page->SetLevelComboIndex(1);
    {
        MessageAnswerer answer(true, [this] { m_page->ExitPage(); m_main->SetPageIndex(); });
        Drop(QStringLiteral("Tab"), Record(8, QByteArray::fromHex("0d010000"), QStringLiteral("Fn")));
    }
    QCOMPARE(m_board->LayerCount(), 0);
    QVERIFY(!m_board->KeyByName(QStringLiteral("Tab")));
    QCOMPARE(sent.count(), 0);
    // no layers: nothing stored, no backup, no save
    LayoutKeyRecord k;
    k.KeyName = QStringLiteral("X");
    k.width = k.height = 40;
    m_board->BuildButtons({&k}, 1);
    QVERIFY(Drop(QStringLiteral("X"), Record(8, QByteArray::fromHex("001d0000"), QStringLiteral("Z"))));
    QCOMPARE(sent.count(), 0);
    QVERIFY(!QFile::exists(Config(QStringLiteral(".TempBase.xml"))));
    QCOMPARE(m_dir->readFile(QStringLiteral("Products/QK75/UserConfig/Base.xml")), base);
    QVERIFY(m_dir->readFile(QStringLiteral("Log.txt")).contains("LayerkeyInfo size = NULL"));
}

void TestKeyboardBoard::framesAndPixels()
{
    Open(false);
    const QImage picture = QImage(m_dir->filePath(QStringLiteral("Products/QK75/QK75_KeyBoard.png"))).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(m_board->size(), picture.size());
    auto render = [this] {
        QImage img(m_board->size(), QImage::Format_RGB32);
        img.fill(Qt::black);
        m_board->render(&img);
        return img;
    };
    auto centre = [this](const QString &name) { return m_board->KeyByName(name)->geometry().center(); };
    // a key beyond the frame's end takes no colour and makes nothing read outside it
    LayoutKeyRecord far;
    far.KeyName = QStringLiteral("Far");
    far.Effectpos = 518;
    far.Diypos = 255;
    far.width = far.height = 10;
    m_board->BuildButtons({&far}, 1);
    QMultifunKeyButton *hidden = m_board->KeyByName(QStringLiteral("@27"));
    hidden->SetColour(9, 8, 7, 200);

    m_board->CurrentPage = 1;
    QByteArray frame(520, '\0');
    const int q = m_board->KeyByName(QStringLiteral("Q"))->Effectpos;
    frame[q] = char(250), frame[q + 1] = char(20), frame[q + 2] = char(10);
    const int e = m_board->KeyByName(QStringLiteral("E"))->Effectpos;
    frame[e + 2] = char(200);
    std::unique_ptr<uchar[]> owned(new uchar[520]);
    memcpy(owned.get(), frame.constData(), 520);
    m_board->on_DispLagEffect(owned.get(), 120);
    QImage img = render();
    QVERIFY(Near(img.pixelColor(centre(QStringLiteral("Q"))), Over(picture.pixelColor(centre(QStringLiteral("Q"))), 250, 20, 10, 120)));
    QVERIFY(Near(img.pixelColor(centre(QStringLiteral("E"))), Over(picture.pixelColor(centre(QStringLiteral("E"))), 0, 0, 200, 120)));
    QCOMPARE(img.pixelColor(centre(QStringLiteral("W"))), picture.pixelColor(centre(QStringLiteral("W")))); // (0, 0, 0, a)
    QCOMPARE(QList<int>({hidden->R, hidden->G, hidden->B, hidden->A}), QList<int>({9, 8, 7, 200}));
    QCOMPARE(int(m_board->KeyByName(QStringLiteral("Far"))->R), 0);
    m_board->on_ClearDisp();
    QCOMPARE(int(hidden->A), 200);
    QCOMPARE(img.pixelColor(centre(QStringLiteral("@27"))), render().pixelColor(centre(QStringLiteral("@27"))));

    // the planar self-defined frame: red, green and blue DiyNum apart, alpha 80
    m_page->DiyCount = 140;
    const int d = m_board->KeyByName(QStringLiteral("Q"))->Diypos;
    memset(owned.get(), 0, 520);
    owned[d] = 30, owned[d + 140] = 60, owned[d + 280] = 90;
    m_board->on_DispDiyEffect(owned.get());
    QVERIFY(Near(render().pixelColor(centre(QStringLiteral("Q"))), Over(picture.pixelColor(centre(QStringLiteral("Q"))), 30, 60, 90, 80)));
    QCOMPARE(int(m_board->KeyByName(QStringLiteral("Far"))->R), 0);

    // key definition: the borders of a macro key and of a device-code key, the hover fill
    m_board->CurrentPage = 0;
    m_board->on_MouseDrawMove(m_board->KeyByName(QStringLiteral("Z"))->mapToGlobal(QPoint(20, 20)));
    img = render();
    auto border = [this](const QString &name) { const QRect g = m_board->KeyByName(name)->geometry(); return QPoint(g.x() + 1, g.center().y()); };
    QCOMPARE(img.pixelColor(border(QStringLiteral("F2"))), QColor(255, 95, 21));
    QCOMPARE(img.pixelColor(border(QStringLiteral("CapsLock"))), QColor(24, 132, 248));
    QVERIFY(Near(img.pixelColor(centre(QStringLiteral("Z"))), Over(picture.pixelColor(centre(QStringLiteral("Z"))), 17, 184, 255, 150)));
    // a key earlier in child order takes the mark from a later one
    m_board->on_MouseDrawMove(m_board->KeyByName(QStringLiteral("Q"))->mapToGlobal(QPoint(20, 20)));
    QCOMPARE(int(m_board->KeyByName(QStringLiteral("Z"))->Hover), 0);
    QCOMPARE(m_board->HoveredKey(), m_board->KeyByName(QStringLiteral("Q")));
}

QTEST_MAIN(TestKeyboardBoard)
#include "tst_keyboard_board.moc"
