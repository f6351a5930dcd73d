#include "lighting/QEffct_Self_Define.h"

#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/LightFramePool.h"

#include <QLabel>
#include <QMouseEvent>
#include <cstdlib>
#include <cstring>

namespace {
QByteArray StoredMap()
{
    HID_API *api = HID_API::instance();
    uint8_t *map = api ? api->CurrentDiyColorMap() : nullptr;
    if (!map)
        return QByteArray();
    QByteArray out(reinterpret_cast<const char *>(map), LightRowsFile::kFrameSize);
    std::free(map);
    return out;
}
} // namespace

QEffct_Self_Define::~QEffct_Self_Define()
{
    delete SelectLabel.data();
}

void QEffct_Self_Define::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    InitCommon(speed, luminance, multiColour, colour);
    m_storedMap = StoredMap();
    QMultifunKeyBoard *board = QMultifunKeyBoard::instance();
    if (!board)
        return;
    m_links << connect(board, &QMultifunKeyBoard::MousePress, this, &QEffct_Self_Define::on_MousePressEvent)
            << connect(board, &QMultifunKeyBoard::MouseMouve, this, &QEffct_Self_Define::on_MouseMouveEvent)
            << connect(board, &QMultifunKeyBoard::MouseRePress, this, &QEffct_Self_Define::on_MouseRePressEvent)
            << connect(board, &QMultifunKeyBoard::ButtonDiyColorChange, this, &QEffct_Self_Define::on_ButtonDiyColorChange)
            << connect(this, &QEffct_Self_Define::DispDiyEffect, board, &QMultifunKeyBoard::on_DispDiyEffect);
    HID_API *api = HID_API::instance();
    if (api && api->Manager())
        m_links << connect(this, &QEffct_Self_Define::DiyColorChange, api->Manager(),
                           &QHid_Threads_Manage::on_KeyBoradDiyColorChange);
    SelectLabel = new QLabel(board);
    SetLabelStyle(false);
    SelectLabel->hide();
}

void QEffct_Self_Define::ReleaseEffct()
{
    for (const QMetaObject::Connection &link : qAsConst(m_links))
        disconnect(link);
    m_links.clear();
    if (SelectLabel) {
        SelectLabel->close();
        delete SelectLabel.data();
    }
}

void QEffct_Self_Define::NextFrame()
{
    Q_EMIT ClearDisp();
    m_endLoop = true; // shown once; the engine ends its loop after this frame
    Q_EMIT ClearDisp();
    if (m_storedMap.size() == LightRowsFile::kFrameSize)
        ShowMap(reinterpret_cast<const uchar *>(m_storedMap.constData()));
}

void QEffct_Self_Define::ShowMap(const uchar *map)
{
    if (uchar *out = LightFramePool::Acquire()) {
        std::memcpy(out, map, LightRowsFile::kFrameSize);
        Q_EMIT DispDiyEffect(out);
    }
}

void QEffct_Self_Define::SetLabelStyle(bool clearing)
{
    if (!SelectLabel)
        return;
    SelectLabel->setStyleSheet(
        clearing ? QStringLiteral("background-color:rgba(255, 255, 255, 50);border:2px solid #000000;border-radius:5px;")
                 : QString::asprintf("background-color:rgba(%d, %d, %d, 50);border:2px solid #000000;border-radius:5px;",
                                     R, G, B));
}

void QEffct_Self_Define::on_MousePressEvent(QMouseEvent *eve)
{
    if (!eve)
        return;
    if (eve->button() == Qt::RightButton) {
        SetLabelStyle(true);
    } else if (eve->button() == Qt::LeftButton) {
        if (QMultifunKeyBoard *board = QMultifunKeyBoard::instance()) {
            R = board->LightR;
            G = board->LightG;
            B = board->LightB;
        }
        SetLabelStyle(false);
    }
    PressPoint = eve->pos();
    Pressed = 1;
    if (SelectLabel) {
        SelectLabel->move(PressPoint);
        SelectLabel->resize(2, 2);
        SelectLabel->show();
    }
    eve->ignore();
}

void QEffct_Self_Define::on_MouseMouveEvent(QMouseEvent *eve)
{
    if (!eve || !Pressed)
        return;
    const QPoint p = eve->pos();
    const QPoint s = PressPoint;
    SelectRect = p.y() <= s.y() ? QRect(p.x(), p.y(), s.x() - p.x(), s.y() - p.y())
                                : QRect(s.x(), s.y(), p.x() - s.x(), p.y() - s.y());
    // The band follows the drag in every direction.
    if (SelectLabel)
        SelectLabel->setGeometry(SelectRect.normalized());
    eve->ignore();
}

void QEffct_Self_Define::EndDrag()
{
    PressPoint = QPoint(0, 0);
    SelectRect = QRect();
    Pressed = 0;
}

void QEffct_Self_Define::on_MouseRePressEvent(QMouseEvent *eve)
{
    if (!eve)
        return;
    if (SelectLabel) {
        SelectLabel->hide();
        SelectLabel->resize(2, 2);
    }
    const Qt::MouseButton button = eve->button();
    QMultifunKeyBoard *board = QMultifunKeyBoard::instance();
    int hits = 0;
    if (board && (button == Qt::LeftButton || button == Qt::RightButton)) {
        for (QMultifunKeyButton *key : board->KeyButtons()) {
            const QRect g = key->geometry();
            const QPoint centre((g.left() + g.right()) / 2, (g.top() + g.bottom()) / 2);
            if (!SelectRect.contains(g.topLeft()) && !SelectRect.contains(g.topRight()) &&
                !SelectRect.contains(g.bottomLeft()) && !SelectRect.contains(g.bottomRight()) &&
                !SelectRect.contains(centre))
                continue;
            ++hits;
            if (key->Hidden)
                continue; // takes no colours: it keeps the one it holds
            if (button == Qt::RightButton)
                key->SetColour(0, 0, 0, 0);
            else
                key->SetColour(R, G, B, 80);
        }
    }
    if (hits > 0 && BuildDiyMap()) {
        ShowMap(m_map);
        StoreAndSend();
    }
    // A release ends the drag whether it hit anything or not.
    eve->ignore();
    EndDrag();
}

void QEffct_Self_Define::on_ButtonDiyColorChange(uchar, uchar, uchar, uchar)
{
    if (BuildDiyMap())
        StoreAndSend();
}

bool QEffct_Self_Define::BuildDiyMap()
{
    QMultifunKeyBoard *board = QMultifunKeyBoard::instance();
    if (!board || board->KeyButtons().isEmpty())
        return false;
    const QByteArray stored = StoredMap();
    if (stored.size() != LightRowsFile::kFrameSize)
        return false;
    std::memcpy(m_map, stored.constData(), sizeof m_map);
    const QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
    const int k = page ? page->DiyCount : 126;
    for (const QMultifunKeyButton *key : board->KeyButtons()) {
        const int p = key->Diypos;
        // A key without a self-define index or one past the map keeps the stored bytes; a hidden
        // key is never painted, but the colour it holds goes in like any other.
        if (p == 0 || p + 2 * k > LightRowsFile::kFrameSize - 1)
            continue;
        m_map[p] = key->R;
        m_map[p + k] = key->G;
        m_map[p + 2 * k] = key->B;
    }
    return true;
}

void QEffct_Self_Define::StoreAndSend()
{
    m_map[1] = 6; // the keyboard's command that writes the map
    HID_API *api = HID_API::instance();
    if (api && api->SetCurrentDiyColorMap(m_map))
        Q_EMIT DiyColorChange();
}
