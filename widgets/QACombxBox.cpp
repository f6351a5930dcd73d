#include "widgets/QACombxBox.h"
#include "widgets/AppFont.h"
#include "widgets/QACombxBoxView.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

QACombxBox::QACombxBox(QWidget *parent) : QPushButton(parent)
{
    installEventFilter(this);
    setFont(LoadAppFont(20));
}

QACombxBox::~QACombxBox()
{
    if (m_view)
        m_view->close();
}

void QACombxBox::showText(const QString &text)
{
    m_text = text;
    setText(text);
    update();
}

void QACombxBox::setItems(const QStringList &items)
{
    m_items = items;
    // An empty list has no item 0 to show.
    if (m_items.isEmpty()) {
        m_index = -1;
        showText(QString());
        return;
    }
    m_index = 0;
    showText(m_items.at(0));
}

void QACombxBox::addItem(const QString &item)
{
    m_items.append(item);
}

void QACombxBox::clear()
{
    m_items.clear();
    showText(QString());
}

QString QACombxBox::currentText() const
{
    if (m_index < 0 || m_index >= m_items.size())
        return QStringLiteral(" ");
    return m_items.at(m_index);
}

void QACombxBox::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_items.size())
        return;
    m_index = index;
    showText(m_items.at(index));
}

void QACombxBox::setCurrentText(const QString &text)
{
    showText(text);
}

bool QACombxBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != this || event->type() != QEvent::MouseButtonPress)
        return QPushButton::eventFilter(watched, event);
    if (!CanUnfold)
        return true;
    auto *me = static_cast<QMouseEvent *>(event);
    if (me->button() != Qt::LeftButton || !m_folded)
        return false;
    m_folded = false;
    update();
    if (!m_view) {
        m_view = new QACombxBoxView(nullptr);
        connect(m_view.data(), &QACombxBoxView::currentindexChanged, this, &QACombxBox::on_indexChanged);
        connect(m_view.data(), &QACombxBoxView::unfold, this, &QACombxBox::on_unfold);
    }
    QACombxBoxView::PopupFor(this);
    return false;
}

void QACombxBox::on_indexChanged(int index)
{
    m_index = index;
    showText(m_items.value(index));
    Q_EMIT currentIndexChanged(index);
}

void QACombxBox::on_unfold()
{
    m_folded = true;
    update();
    // Often reached from inside the list's own press handler: close() only defers the delete.
    if (m_view)
        m_view->close();
    m_view = nullptr;
}

void QACombxBox::hideEvent(QHideEvent *event)
{
    on_unfold();
    QPushButton::hideEvent(event);
}

void QACombxBox::enterEvent(QEvent *event)
{
    m_hover = true;
    update();
    QPushButton::enterEvent(event);
}

void QACombxBox::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QPushButton::leaveEvent(event);
}

void QACombxBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    QColor back = m_hover ? QColor(48, 48, 48) : QColor(38, 38, 38);
    QColor fore = m_hover ? QColor(Qt::white) : QColor(200, 200, 200);
    if (!CanUnfold) {
        back = QColor(10, 10, 10);
        fore = QColor(50, 50, 50);
    }
    p.setBrush(back);
    p.drawRoundedRect(rect(), 8, 8);
    p.setPen(fore);
    p.setFont(font());
    p.drawText(QRect(10, 0, width() - 10, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    const bool down = m_folded || !CanUnfold;
    const QPixmap arrow(down ? QStringLiteral(":/new/prefix1/Imges/Arr_Down.png")
                             : QStringLiteral(":/new/prefix1/Imges/Arr_Up.png"));
    if (!arrow.isNull())
        p.drawPixmap(width() - 10 - arrow.width(), (height() - arrow.height()) / 2, arrow);
}
