// The keyboard page as a user sees it in the fixed-width main window, with an emulated keyboard:
// where the on-screen keyboard lands beside the lighting page, the panel titles, the sub-page names, the info line;
// the pictures of its buttons, the layer names and the captions that must hold their whole text.
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QKeyBoradConfigSet.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/QLightConfigWIdget.h"
#include "lighting/Ui_QLightConfigWIdget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QQuorixLabel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>
#include <memory>

class TestKeyboardPageView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void lightingView();
    void navigationView();

private:
    // The main window with the emulated wired keyboard, its tile knowing its product.
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    QKeyLableItem *m_tile = nullptr;
};

namespace {
QRect InWindow(QWidget *w, QWidget *window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

// Whether anything bright is painted in the given rectangle of a widget.
bool Shows(QWidget *w, const QRect &area, QWidget *window)
{
    const QImage shot = window->grab(QRect(w->mapTo(window, area.topLeft()), area.size())).toImage();
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) > 150)
                return true;
    return false;
}

bool TextShows(QAbstractButton *b, QWidget *window, QStyle::SubElement contents = QStyle::SE_RadioButtonContents)
{
    QStyleOptionButton option;
    option.initFrom(b);
    return Shows(b, b->style()->subElementRect(contents, &option, b), window);
}

// A picture, not a bare dot or a blank square: what differs from the page beside the button
// spans at least half the button's shorter side both ways and leaves part of the button unpainted.
bool ShowsPicture(QWidget *w, QWidget *window)
{
    const QImage shot = window->grab(QRect(w->mapTo(window, QPoint(-3, 0)), w->size() + QSize(3, 0))).toImage();
    const QColor page = shot.pixelColor(0, shot.height() / 2);
    QRect ink;
    int painted = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 3; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (qAbs(c.red() - page.red()) + qAbs(c.green() - page.green()) + qAbs(c.blue() - page.blue()) > 60) {
                ink |= QRect(x, y, 1, 1);
                ++painted;
            }
        }
    const int half = qMin(w->width(), w->height()) / 2;
    return ink.width() >= half && ink.height() >= half && painted < w->width() * w->height() * 9 / 10;
}
} // namespace

void TestKeyboardPageView::init()
{
    emu::SetTimeScale(0.05);
    m_dir = std::make_unique<TestProgramDir>();
    const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired));
    m_main = std::make_unique<MainWidget>();
    m_main->show();
    HID_API *api = HID_API::instance();
    QTRY_VERIFY_WITH_TIMEOUT(api->TileMap().value(node) && api->Manager()->Worker(node), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!api->TileMap().value(node)->ProductFolder().isEmpty(), 5000);
    m_tile = api->TileMap().value(node);
}

void TestKeyboardPageView::cleanup()
{
    m_main.reset();
    const bool clean = emu::Errors().isEmpty();
    emu::Reset();
    m_dir.reset();
    QVERIFY(clean);
}

void TestKeyboardPageView::lightingView()
{
    MainWidget &main = *m_main;
    m_tile->on_test();
    QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
    // The pointer resting on an assigned key keeps one value pop-up, which lets the pointer through.
    QMultifunKeyButton *f3 = page->KeyBoard()->KeyByName(QStringLiteral("F3"));
    QCursor::setPos(f3->mapToGlobal(f3->rect().center()));
    QTRY_VERIFY(page->Popup() && page->Popup()->isVisible());
    const QPointer<QDisplayInformation> popup = page->Popup();
    QVERIFY(popup->windowHandle()->flags() & Qt::WindowTransparentForInput);
    QVERIFY(popup->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCursor::setPos(f3->mapToGlobal(f3->rect().center() + QPoint(1, 1)));
    QTest::qWait(100);
    QCOMPARE(page->Popup(), popup.data()); // not closed and opened again
    QCursor::setPos(main.mapToGlobal(QPoint(2, main.height() - 2)));
    QTRY_VERIFY(!popup);
    page->ButLight->click();
    QVERIFY(page->LightPage()->isVisible());

    const QRect board = InWindow(page->KeyBoard(), &main);
    QVERIFY(!board.intersects(InWindow(page->LightPage(), &main)));
    QVERIFY(main.rect().contains(board));
    const Ui_QLightConfigWIdget *ui = page->LightPage()->ui.get();
    for (QLabel *title : {ui->Back_Effict, ui->BackLightInfo})
        QVERIFY2(Shows(title, title->rect(), &main), qPrintable(title->objectName()));

    // Headings joined from two texts: a space only where the language puts one between words.
    const QString lighting[] = {QStringLiteral("灯光设置"), QStringLiteral("Lighting Settings"), QStringLiteral("조명 설정")};
    const QString sleep[] = {QStringLiteral("休眠设置"), QStringLiteral("Sleep Settings"), QStringLiteral("절전 설정")};
    for (uchar lan : {0, 1, 2}) {
        main.on_setLanuage(lan);
        page->ButLight->click();
        QCOMPARE(page->TopLabel->text(), lighting[lan]);
        QCOMPARE(page->KeyBoradConfigSet->findChild<QLabel *>(QStringLiteral("SleepLabel"))->text(), sleep[lan]);
        QCOMPARE(page->ButBaseLight->text(), GetLangText(187));
        QCOMPARE(page->ButAudionLight->text(), GetLangText(167));
        QCOMPARE(page->ButTileLight->text(), GetLangText(850));
        QVERIFY(TextShows(page->ButBaseLight, &main));
        QVERIFY(TextShows(page->ButAudionLight, &main));
    }
    // the information line under the keyboard holds a whole message
    page->on_DispNotEffct(true);
    QLabel *info = page->findChild<QLabel *>(QStringLiteral("DispInfoLabel"));
    QVERIFY(info->width() >= info->fontMetrics().horizontalAdvance(GetLangText(291)));
    QVERIFY(Shows(info, info->rect(), &main));
}

void TestKeyboardPageView::navigationView()
{
    MainWidget &main = *m_main;
    // the tile's update offer is light on its dark bar
    auto *update = static_cast<QCheckBox *>(m_tile->UpdateButton());
    update->setText(GetLangText(339));
    update->show();
    QTRY_VERIFY(update->isVisible());
    QVERIFY(TextShows(update, &main, QStyle::SE_CheckBoxContents));
    update->hide();

    m_tile->on_test();
    QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
    QTRY_VERIFY(page->isVisible());
    for (QWidget *b : std::initializer_list<QWidget *>{page->ButBora, page->ButLight, page->ButKeyFour, page->ButSysSet, page->ButExit})
        QVERIFY2(ShowsPicture(b, &main), qPrintable(b->objectName()));

    const QStringList layers[] = {{QStringLiteral("第1层"), QStringLiteral("Fn层"), QStringLiteral("第2层")},
                                  {QStringLiteral("First layer"), QStringLiteral("Fn layer"), QStringLiteral("Second layer")},
                                  {QStringLiteral("첫 번째 레이어"), QStringLiteral("Fn 레이어"), QStringLiteral("두 번째 레이어")}};
    page->ButSysSet->click();
    for (uchar lan : {0, 1, 2}) {
        main.on_setLanuage(lan);
        QCOMPARE(page->LevelComboItems(), layers[lan]);
        QCoreApplication::processEvents();
        for (QQuorixLabel *caption : {page->FwLabel, page->RxLabel, page->label_5})
            if (caption->isVisible())
                QVERIFY2(caption->width() >= 15 + caption->fontMetrics().horizontalAdvance(caption->text()),
                         qPrintable(caption->text()));
    }
    QVERIFY(page->label_5->isVisible());
}

QTEST_MAIN(TestKeyboardPageView)
#include "tst_keyboard_page_view.moc"
