#include "keyboard/QMacro_Item.h"
#include "app/CheckedSave.h"
#include "device/HID_API.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "macros/QJsonConfing.h"
#include "mouse/QLStyleBoraWidget.h"
#include "widgets/QInputDialog.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
const char kMacroPicture[] = ":/new/prefix1/Imges/M_File_25px.png";

// Only the trailing suffix goes: "x.bin.bin" is the macro "x.bin", not "x".
QString WithoutSuffix(QString text, const QString &suffix)
{
    if (text.endsWith(suffix))
        text.chop(suffix.size());
    return text;
}
} // namespace

QMacro_Item::QMacro_Item(QWidget *parent) : QConfigListItemBase(parent), m_picture(QLatin1String(kMacroPicture)) {}

void QMacro_Item::SetItemInfo(const QString &left, const QString &centre, const QString &code)
{
    m_left = WithoutSuffix(left, QStringLiteral(".bin"));
    m_centre = WithoutSuffix(centre, QStringLiteral(".bin"));
    m_code = code;
    update();
}

void QMacro_Item::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (!m_pressTime.isValid())
        m_pressTime.start();
    if (InDeleteArea(event->pos()))
        Q_EMIT DeleteItem(m_left);
}

void QMacro_Item::mouseMoveEvent(QMouseEvent *event)
{
    // A macro is dragged only after the button was held for 200 ms, so a click opens it.
    if (!m_dragging && m_pressTime.isValid() && m_pressTime.elapsed() > 200) {
        m_dragging = true;
        Q_EMIT DragLeftPress(DragText(), m_picture);
    }
    if (m_dragging)
        Q_EMIT DragLeftMove(event->globalPos());
}

void QMacro_Item::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressTime.invalidate();
    m_dragging = false;
    Q_EMIT DragLeftRePress(DragText(), m_picture, m_code, 1, 0, 0);
    const bool inside = rect().contains(event->pos()) && !InDeleteArea(event->pos());
    if (event->button() == Qt::LeftButton) {
        if (inside) {
            if (MainWidget *main = MainWidget::instance()) {
                main->ShowPageMask(300);
                main->on_TabChangeEditkeysDefinition(m_left, true);
            }
            Q_EMIT clicked();
        } else if (!rect().contains(event->pos())) {
            Q_EMIT OPenMacroFile(m_left);
        }
    } else if (event->button() == Qt::RightButton && inside) {
        Rename();
    }
}

void QMacro_Item::Rename()
{
    const QColor grey(178, 179, 180);
    MainWidget *main = MainWidget::instance();
    for (;;) {
        const QString name = quorix::QInputDialog::GetText(GetLangText(58));
        if (name.isEmpty())
            return;
        QJsonConfing store;
        if (store.ListMacroFiles(true).contains(name)) {
            if (main)
                main->ShowMessage(grey, GetLangText(140), true);
            if (HID_API::PageDeviceGoing())
                return; // the keyboard went meanwhile: nothing is asked again for it
            continue;
        }
        // The store refuses names that are not one file name; they get the same answer as a long one.
        if (name.toUtf8().size() > 10 || QJsonConfing::MacroFilePath(store.MacroDir(), name).isEmpty()) {
            if (main)
                main->ShowMessage(grey, GetLangText(108), true);
            if (HID_API::PageDeviceGoing())
                return;
            continue;
        }
        // The keys that play it follow it, in every configuration and on the pages.
        QStringList unchanged;
        QJsonConfing::RenameFault fault = QJsonConfing::RenameFault::None;
        if (store.RenameMacro(m_left, name, main ? main->UserConfigDir() : QString(), &unchanged, &fault)) {
            if (QMultifunKeyBoard *board = QMultifunKeyBoard::instance())
                board->RenameMacroKeys(m_left, name);
            if (QLStyleBoraWidget *frame = QLStyleBoraWidget::instance())
                frame->RenameMacroKeys(m_left, name);
            m_left = name;
            update();
            return;
        }
        const QString configs = unchanged.join(QStringLiteral(", "));
        QString text;
        switch (fault) {
        case QJsonConfing::RenameFault::Configurations: text = GetLangText(775).arg(configs); break;
        case QJsonConfing::RenameFault::NotPutBack: text = GetLangText(1052).arg(m_left, configs); break;
        case QJsonConfing::RenameFault::Unreadable: text = GetLangText(1051).arg(m_left); break;
        default: text = GetLangText(1050).arg(m_left); break;
        }
        if (main)
            main->ShowMessage(grey, CheckedSave::WithCause(text), true);
        return;
    }
}

void QMacro_Item::enterEvent(QEvent *)
{
    m_hover = true;
    update();
}

void QMacro_Item::leaveEvent(QEvent *)
{
    m_hover = false;
    update();
}

void QMacro_Item::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(0, 7, m_picture);
    const QColor text = m_hover ? QColor(187, 187, 187) : QColor(Qt::white);
    p.setPen(text);
    p.drawText(QRect(QPoint(30, 5), QPoint(width() - 71, height() + 4)), Qt::AlignLeft | Qt::AlignVCenter, m_left);
    if (m_hover)
        p.drawText(DeleteArea(), Qt::AlignCenter, QStringLiteral("X"));
    PaintBorder(p);
}
