#include "widgets/QACombxBoxView.h"
#include "device/HID_API.h"
#include "platform/GlobalMouseWatcher.h"
#include "widgets/AppFont.h"
#include "widgets/QACombxBox.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QTimer>

namespace {
QPointer<QACombxBoxView> &sharedList()
{
    static QPointer<QACombxBoxView> list;
    return list;
}
// The pause before each open or fold animation starts, and the rest after a fold.
constexpr int kLeadInMs = 50;
constexpr int kFoldTailMs = 20;
constexpr int kMsPerRow = 25;
} // namespace

QACombxBoxView::QACombxBoxView(QWidget *parent) : QListWidget(parent)
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QACombxBoxView> self(this);
    m_hook = GlobalMouseWatcher::instance().AddPressHandler([self](const QPoint &pos, Qt::MouseButton) {
        return self ? self->HandleOutsidePress(pos) : false;
    });
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sharedList() = this;
    setFont(LoadAppFont(20));
    hide();
    setStyleSheet(QStringLiteral(
        "QListWidget{border:0px solid #383838;background-color:#151515;border-radius:1px;outline:0px;}"
        "QListWidget::item{border-radius:2px;background-color:#181818;padding-left:5px;margin:1px;height:25px;"
        "color:rgb(150, 150, 150);}"
        "QListWidget::item:hover{color:rgb(200, 200, 200);background-color:#305284;}"
        "QListWidget::item:selected{color:rgb(235, 235, 235);background-color:#305284;border-radius:2px;}"));
    // A device going away takes the page under the list with it.
    if (HID_API *devices = HID_API::instance())
        connect(devices, &HID_API::CLosingUsb, this, &QACombxBoxView::onEndView);
}

QACombxBoxView::~QACombxBoxView()
{
    removeHook();
}

void QACombxBoxView::removeHook()
{
    if (m_hook) {
        GlobalMouseWatcher::instance().RemovePressHandler(m_hook);
        m_hook = 0;
    }
}

QACombxBoxView *QACombxBoxView::Shared()
{
    return sharedList();
}

void QACombxBoxView::PopupFor(QACombxBox *box)
{
    if (!box) {
        QACombxBoxView *list = sharedList();
        if (!list)
            return;
        sharedList().clear();
        list->removeHook();
        Q_EMIT list->unfold();
        list->deleteLater();
        return;
    }
    if (!sharedList())
        new QACombxBoxView(nullptr);
    QACombxBoxView *list = sharedList();
    list->m_owner = box;
    const QPoint at = box->mapToGlobal(QPoint(0, 0));
    const int rows = box->items().size();
    list->setGeometry(at.x(), at.y() + box->height() + 2, box->width(), 27 * rows + 3);
    list->setFont(LoadAppFont(20));
    list->clear();
    list->addItems(box->items());
    list->Animationgeometry_show(true);
}

void QACombxBoxView::CloseShared()
{
    if (QACombxBoxView *list = sharedList())
        list->onEndView();
}

void QACombxBoxView::Animationgeometry_show()
{
    Animationgeometry_show(true);
}

void QACombxBoxView::Animationgeometry_show(bool show)
{
    animate(show, {});
}

void QACombxBoxView::animate(bool show, std::function<void()> done)
{
    const QRect full = show ? geometry() : (m_animation ? m_animation->endValue().toRect() : geometry());
    const QRect flat(full.topLeft(), QSize(full.width(), 0));
    if (m_animation) {
        m_animation->stop();
        m_animation->deleteLater();
    }
    auto *animation = new QPropertyAnimation(this, "geometry", this);
    m_animation = animation;
    animation->setDuration(kMsPerRow * count());
    animation->setStartValue(show ? flat : full);
    animation->setEndValue(show ? full : flat);
    if (show) {
        setGeometry(flat);
        this->show();
    }
    // The pause and the fold's rest run on timers: the window never freezes while a list moves.
    QPointer<QPropertyAnimation> guard(animation);
    QTimer::singleShot(kLeadInMs, this, [this, guard] {
        // A fold that came during the pause has replaced this animation.
        if (guard && guard == m_animation)
            guard->start();
    });
    if (!show) {
        connect(animation, &QPropertyAnimation::finished, this, [this, done] {
            QTimer::singleShot(kFoldTailMs, this, [this, done] {
                hide();
                if (done)
                    done();
            });
        });
    }
}

void QACombxBoxView::foldThenRelease()
{
    // Presses keep coming while a fold runs: fold once.
    if (m_folding)
        return;
    m_folding = true;
    animate(false, [this] {
        Q_EMIT unfold();
        close();
    });
}

bool QACombxBoxView::HandleOutsidePress(const QPoint &globalPos)
{
    if (!m_owner || !isVisible())
        return false;
    const QRect boxRect(m_owner->mapToGlobal(QPoint(0, 0)), m_owner->size());
    if (boxRect.contains(globalPos)) {
        // On the box itself: fold, and keep the press from opening the list again.
        QTimer::singleShot(0, this, &QACombxBoxView::foldThenRelease);
        return true;
    }
    if (geometry().contains(globalPos))
        return false;
    QTimer::singleShot(0, this, &QACombxBoxView::foldThenRelease);
    return false;
}

void QACombxBoxView::onEndView()
{
    // The box must hear of it too, or it would stay unfolded without a list.
    if (sharedList() == this)
        sharedList().clear();
    removeHook();
    Q_EMIT unfold();
    close();
}

void QACombxBoxView::mousePressEvent(QMouseEvent *event)
{
    QListWidget::mousePressEvent(event);
    const int row = currentRow();
    m_folding = true;
    Q_EMIT unfold();
    hide();
    if (row >= 0)
        Q_EMIT currentindexChanged(row);
}

void QACombxBoxView::closeEvent(QCloseEvent *event)
{
    removeHook();
    if (sharedList() == this)
        sharedList().clear();
    QListWidget::closeEvent(event);
}
