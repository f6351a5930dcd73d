// The keyboard page as a user sees it in the fixed-width main window, with an emulated keyboard:
// where the on-screen keyboard lands beside the lighting page, the panel titles, the sub-page names, the info line.
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "lighting/QLightConfigWIdget.h"
#include "lighting/Ui_QLightConfigWIdget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/TestProgramDir.h"

#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>
#include <memory>

class TestKeyboardPageView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lightingView();
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

bool TextShows(QRadioButton *b, QWidget *window)
{
    QStyleOptionButton option;
    option.initFrom(b);
    return Shows(b, b->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, b), window);
}
} // namespace

void TestKeyboardPageView::lightingView()
{
    emu::SetTimeScale(0.05);
    TestProgramDir dir;
    const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired));
    {
        MainWidget main;
        main.show();
        HID_API *api = HID_API::instance();
        QTRY_VERIFY_WITH_TIMEOUT(api->TileMap().value(node) && api->Manager()->Worker(node), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!api->TileMap().value(node)->ProductFolder().isEmpty(), 5000);
        api->TileMap().value(node)->on_test();
        QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
        page->ButLight->click();
        QVERIFY(page->LightPage()->isVisible());

        const QRect board = InWindow(page->KeyBoard(), &main);
        QVERIFY(!board.intersects(InWindow(page->LightPage(), &main)));
        QVERIFY(main.rect().contains(board));
        const Ui_QLightConfigWIdget *ui = page->LightPage()->ui.get();
        for (QLabel *title : {ui->Back_Effict, ui->BackLightInfo})
            QVERIFY2(Shows(title, title->rect(), &main), qPrintable(title->objectName()));

        for (uchar lan : {0, 1, 2}) {
            main.on_setLanuage(lan);
            QCOMPARE(page->ButBaseLight->text(), GetLangText(187));
            QCOMPARE(page->ButAudionLight->text(), GetLangText(167));
            QVERIFY(TextShows(page->ButBaseLight, &main));
            QVERIFY(TextShows(page->ButAudionLight, &main));
        }
        // the information line under the keyboard holds a whole message
        page->on_DispNotEffct(true);
        QLabel *info = page->findChild<QLabel *>(QStringLiteral("DispInfoLabel"));
        QVERIFY(info->width() >= info->fontMetrics().horizontalAdvance(GetLangText(291)));
        QVERIFY(Shows(info, info->rect(), &main));
    }
    QVERIFY(emu::Errors().isEmpty());
    emu::Reset();
}

QTEST_MAIN(TestKeyboardPageView)
#include "tst_keyboard_page_view.moc"
