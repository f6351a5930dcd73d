// Self-define painting on the on-screen keyboard of the sample QK75, stored for the current
// device and written to the emulated wired keyboard.
#include "app/MainWidget.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/QBaseEffctThread.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/TestProgramDir.h"

#include <QMouseEvent>
#include <QtTest>
#include <cstdlib>
#include <memory>

class TstLightingSelfDefine : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuKeyboard> m_dev;
    uint32_t m_node = 0;
    QMultifunKeyBoard *m_board = nullptr;
    int m_k = 0;

    void Mouse(QEvent::Type type, const QPoint &at, Qt::MouseButton button)
    {
        QMouseEvent event(type, at, m_board->mapToGlobal(at), button, button, Qt::NoModifier);
        if (type == QEvent::MouseButtonPress)
            Q_EMIT m_board->MousePress(&event);
        else if (type == QEvent::MouseMove)
            Q_EMIT m_board->MouseMouve(&event);
        else
            Q_EMIT m_board->MouseRePress(&event);
    }
    void Drag(const QPoint &from, const QPoint &to, Qt::MouseButton button)
    {
        Mouse(QEvent::MouseButtonPress, from, button);
        Mouse(QEvent::MouseMove, to, button);
        Mouse(QEvent::MouseButtonRelease, to, button);
    }
    QVector<QByteArray> DiyReports()
    {
        QVector<QByteArray> out;
        for (const emu::Traffic &t : emu::TrafficLog(m_node, emu::Traffic::SendFeature))
            if (t.bytes.size() >= 520 && t.bytes.at(1) == 6)
                out << t.bytes;
        return out;
    }
    QByteArray Stored(int p)
    {
        uint8_t *map = HID_API::instance()->CurrentDiyColorMap();
        QByteArray out;
        if (map)
            out.append(char(map[p])).append(char(map[p + m_k])).append(char(map[p + 2 * m_k]));
        std::free(map);
        return out;
    }

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TestProgramDir);
        m_dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(emu::Model::KeyboardWired));
        m_node = emu::Plug(m_dev);
        m_main.reset(new MainWidget);
        HID_API *api = HID_API::instance();
        QTRY_VERIFY_WITH_TIMEOUT(api->Manager()->Worker(m_node), 5000);
        api->SetCurrentDeviceById(m_node);
        api->Manager()->SetCurrentDeviceId(m_node);
        m_main->show();
        m_main->OpenKeyboardPage(QStringLiteral("QK75"));
        m_board = QLStyleKeybordTabWidget::instance()->KeyBoard();
        m_k = QLStyleKeybordTabWidget::instance()->DiyCount;
        QTRY_VERIFY_WITH_TIMEOUT(!Stored(8).isEmpty(), 5000);
        QBaseEffctThread *engine = QBaseEffctThread::instance();
        engine->on_ChangLightModel(97, 0, 4, 4, 255, 255, 255);
        QTRY_VERIFY_WITH_TIMEOUT(!engine->isRunning(), 3000); // one frame, then the loop ends
        QCOMPARE(engine->CurrentModel(), 97);
        m_board->on_LightColorChange(10, 20, 30);
        emu::ClearTraffic();
    }
    void cleanup()
    {
        m_main.reset();
        m_dev.reset();
        emu::Reset();
        m_dir.reset();
    }

    void paintTwoKeys_data()
    {
        QTest::addColumn<int>("direction");
        for (int d = 0; d < 4; ++d)
            QTest::newRow(qPrintable(QStringLiteral("direction %1").arg(d))) << d;
    }
    void paintTwoKeys()
    {
        QFETCH(int, direction);
        QMultifunKeyButton *esc = m_board->KeyByName(QStringLiteral("Esc"));
        QMultifunKeyButton *next = m_board->KeyAtEffect(11);
        QVERIFY(esc && next);
        // Only the two centres fall inside the band.
        const QPoint p = esc->geometry().center() - QPoint(2, 2);
        const QPoint q = next->geometry().center() + QPoint(2, 2);
        const QPoint from[4] = {p, q, QPoint(p.x(), q.y()), QPoint(q.x(), p.y())};
        const QPoint to[4] = {q, p, QPoint(q.x(), p.y()), QPoint(p.x(), q.y())};
        QMultifunKeyButton *hidden = m_board->KeyByName(QStringLiteral("@27")); // far from the band
        QVERIFY(hidden && hidden->Hidden);
        hidden->R = 40, hidden->G = 50, hidden->B = 60;
        Drag(from[direction], to[direction], Qt::LeftButton);
        QCOMPARE(Stored(hidden->Diypos), QByteArray("\x28\x32\x3c")); // its colour goes into the map too
        for (QMultifunKeyButton *key : {esc, next}) {
            QCOMPARE(QVector<int>({key->R, key->G, key->B, key->A}), QVector<int>({10, 20, 30, 80}));
            QCOMPARE(Stored(key->Diypos), QByteArray("\x0a\x14\x1e"));
        }
        QTRY_COMPARE_WITH_TIMEOUT(DiyReports().size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(m_dev->DiyMap().mid(esc->Diypos + m_k, 1), QByteArray("\x14"), 5000);
        QCOMPARE(m_dev->DiyMap().mid(next->Diypos + 2 * m_k, 1), QByteArray("\x1e"));
        QVERIFY(m_board->KeyAtEffect(14)->R != 10); // the third key was not in the band

        // A right-button drag clears the key.
        const QPoint c = esc->geometry().center();
        Drag(c - QPoint(1, 1), c + QPoint(1, 1), Qt::RightButton);
        QCOMPARE(QVector<int>({esc->R, esc->G, esc->B}), QVector<int>({0, 0, 0}));
        QCOMPARE(Stored(esc->Diypos), QByteArray(3, '\0'));
        QTRY_COMPARE_WITH_TIMEOUT(DiyReports().size(), 2, 5000);
    }

    void releasesThatSendNothing()
    {
        QMultifunKeyButton *esc = m_board->KeyByName(QStringLiteral("Esc"));
        const QPoint c = esc->geometry().center();
        Mouse(QEvent::MouseButtonPress, c, Qt::LeftButton); // no move: the band stays empty
        Mouse(QEvent::MouseButtonRelease, c, Qt::LeftButton);
        Drag(c - QPoint(1, 1), c + QPoint(1, 1), Qt::MiddleButton);
        // A release ends the drag: a move without a new press draws no band.
        Mouse(QEvent::MouseMove, c + QPoint(3, 3), Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, c + QPoint(3, 3), Qt::LeftButton);
        QTest::qWait(300);
        QVERIFY(DiyReports().isEmpty());
        QVERIFY(esc->R != 10);
    }
};

QTEST_MAIN(TstLightingSelfDefine)
#include "tst_lighting_selfdefine.moc"
