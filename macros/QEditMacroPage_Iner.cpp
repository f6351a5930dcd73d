#include "macros/QEditMacroPage_Iner.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "macros/ItemThread.h"
#include "macros/QEditPage.h"
#include "macros/QKeyHook.h"
#include "macros/QKeyValueItem.h"
#include "macros/QMouseHook.h"
#include "macros/QMouseKeyItem.h"
#include "macros/QSleepItem.h"

#include <QKeyEvent>
#include <QLabel>
#include <QResizeEvent>

QEditMacroPage_Iner::QEditMacroPage_Iner(QWidget *parent) : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QEditMacroPage_Iner"));
    resize(1160, 1500);
    setFocusPolicy(Qt::WheelFocus);
    setAcceptDrops(true);
    setStyleSheet(QStringLiteral("#QEditMacroPage_Iner { border:none; \tbackground-color:#00000000; }"));
    m_marker = new QLabel(this);
    m_marker->resize(33, 33);
    m_marker->setAlignment(Qt::AlignCenter);
    m_marker->setStyleSheet(QStringLiteral("border: 1px solid #00a9e0;color:#ffffff;border-radius: 8px; background-color:rgba(0, 34, 200, 80);"));
    m_marker->hide();
    m_itemThread = new ItemThread(&m_items, this);
    connect(m_itemThread, &ItemThread::DispInsetRect, this, &QEditMacroPage_Iner::on_DispInsetRect);
    connect(m_itemThread, &ItemThread::HideRect, this, &QEditMacroPage_Iner::on_HideRect);
    connect(m_itemThread, &ItemThread::InsetIndex, this, &QEditMacroPage_Iner::on_InsetIndex);
    if (HID_API *hid = HID_API::instance())
        connect(hid, &HID_API::CLosingUsb, this, &QEditMacroPage_Iner::on_HidCLosingUsb);
}

QEditMacroPage_Iner::~QEditMacroPage_Iner()
{
    StopHooks();
    RemoveAllRows();
}

// ---- recording ------------------------------------------------------------------------------

bool QEditMacroPage_Iner::StartHooks()
{
    // Each recording starts its own repeat filter.
    m_hasLastKey = false;
    QKeyHook *keys = QKeyHook::Instance();
    QMouseHook *mouse = QMouseHook::Instance();
    if (!m_keyHooked && keys->InstallHook()) {
        m_keyHooked = true;
        connect(keys, &QKeyHook::HookKeyCodeValue, this, &QEditMacroPage_Iner::onHookKeyCodeValue);
    }
    if (!m_mouseHooked && mouse->InstallHook()) {
        m_mouseHooked = true;
        connect(mouse, &QMouseHook::HookMouseValue, this, &QEditMacroPage_Iner::onHookMouseValue);
    }
    if (!m_keyHooked || !m_mouseHooked) {
        StopHooks();
        if (QEditPage *page = QEditPage::Instance())
            page->ResetRecordButton();
        return false;
    }
    // Keys typed while recording belong to the macro, not to whatever window has the focus.
    if (keys->KeyBlock() && isVisible()) {
        grabKeyboard();
        m_grabbed = true;
    }
    return true;
}

void QEditMacroPage_Iner::StopHooks()
{
    // Only this list's own connections go: the new-macro dialog may share the key hook.
    if (m_keyHooked) {
        disconnect(QKeyHook::Instance(), &QKeyHook::HookKeyCodeValue, this, &QEditMacroPage_Iner::onHookKeyCodeValue);
        QKeyHook::Instance()->UnHook();
        m_keyHooked = false;
    }
    if (m_mouseHooked) {
        disconnect(QMouseHook::Instance(), &QMouseHook::HookMouseValue, this, &QEditMacroPage_Iner::onHookMouseValue);
        QMouseHook::Instance()->UnHook();
        m_mouseHooked = false;
    }
    if (m_grabbed) {
        releaseKeyboard();
        m_grabbed = false;
    }
}

bool QEditMacroPage_Iner::RecordingOn() const
{
    // Rows stay as they are while the record button or the edit-time mode is on.
    QEditPage *page = QEditPage::Instance();
    return page && (page->IsRecordButtonChecked() || page->IsRecordOptionChecked());
}

bool QEditMacroPage_Iner::RoomForRow(bool fromHooks)
{
    if (m_items.size() <= kMaxRows)
        return true;
    if (fromHooks) {
        StopHooks();
        if (QEditPage *page = QEditPage::Instance())
            page->ResetRecordButton();
    }
    WriteLogLine(QStringLiteral("macro event list full at %1 rows").arg(m_items.size()));
    if (MainWidget *w = MainWidget::instance())
        w->ShowMessage(QColor(0, 169, 224), GetLangText(147), true);
    return false;
}

void QEditMacroPage_Iner::onHookKeyCodeValue(bool Press, uint Keycode, uint subtime)
{
    if (m_hasLastKey && m_lastDown == Press && m_lastCode == Keycode && m_lastDelay == subtime)
        return;
    m_hasLastKey = true;
    m_lastDown = Press;
    m_lastCode = Keycode;
    m_lastDelay = subtime;
    if (!RoomForRow(true))
        return;
    AddKeyRow(Press, Keycode, m_useStandardDelay ? m_standardDelay : subtime);
    FitToItems(200);
    Q_EMIT setdatatendency(true);
}

void QEditMacroPage_Iner::onHookMouseValue(uint Keycode, uint SideChain, uint subtime)
{
    // The click that ends the recording is not part of the macro.
    if (QEditPage *page = QEditPage::Instance())
        if (page->IsRecordButtonHovered())
            return;
    if (!RoomForRow(true))
        return;
    if (!AddMouseRow(Keycode, SideChain, m_useStandardDelay ? m_standardDelay : subtime))
        return;
    FitToItems(100);
    Q_EMIT setdatatendency(true);
}

// Stored records load as they are: equal neighbours are two events, not a repeat.
void QEditMacroPage_Iner::on_Load_KeyCodeValue(bool Press, uint Keycode, uint subtime)
{
    if (m_items.size() > kMaxRows)
        return;
    AddKeyRow(Press, Keycode, subtime);
    FitToItems(200);
}

void QEditMacroPage_Iner::on_Load_MouseValue(uint mValue, uint SideChain, uint subtime)
{
    if (m_items.size() > kMaxRows)
        return;
    if (AddMouseRow(mValue, SideChain, subtime))
        FitToItems(100);
}

void QEditMacroPage_Iner::AddKeyRow(bool down, uint keyCode, uint delay)
{
    auto *row = new QKeyValueItem(this);
    row->SetItemData(KeyName(keyCode), down, keyCode, delay);
    AddItem(row);
    row->show();
}

bool QEditMacroPage_Iner::AddMouseRow(uint message, uint data, uint delay)
{
    uint index = 0;
    switch (message) {
    case 513: case 514: index = 0; break;
    case 519: case 520: index = 1; break;
    case 516: case 517: index = 2; break;
    case 523: case 524:
        if (data == 0x20000)
            index = 3;
        else if (data == 0x10000)
            index = 4;
        else
            return false;
        break;
    default:
        return false;
    }
    const bool down = message == 513 || message == 516 || message == 519 || message == 523;
    auto *row = new QMouseKeyItem(this);
    row->SetItemData(QString(), down, index, delay);
    AddItem(row);
    row->show();
    return true;
}

void QEditMacroPage_Iner::AddItem(QEditMacroItemBase *row)
{
    if (m_items.isEmpty()) {
        row->move(40, 20);
    } else {
        const QEditMacroItemBase *last = m_items.last();
        if (last->x() + last->width() + row->width() + 60 < width()) {
            row->move(last->x() + last->width() + 30, last->y());
        } else {
            row->move(40, last->y() + last->height() + 20);
            m_lineY = row->y();
        }
    }
    m_items.append(row);
    connect(row, &QEditMacroItemBase::Rightchec, this, &QEditMacroPage_Iner::on_MacroRight);
}

void QEditMacroPage_Iner::FitToItems(int extra)
{
    if (m_items.isEmpty())
        return;
    const QEditMacroItemBase *last = m_items.last();
    if (height() - last->y() < 330)
        resize(width(), height() + extra);
    // The newest row stays in sight, through the scroll bar: moving the list itself would put
    // it out of step with the bar.
    if (const QWidget *view = parentWidget()) {
        const int bottom = last->y() + last->height() + 20;
        if (bottom > view->height() - y())
            Q_EMIT setYPos(bottom - view->height());
    }
}

void QEditMacroPage_Iner::LayoutItems()
{
    if (m_items.size() == 1)
        return;
    m_lineY = 20;
    for (int i = 0; i < m_items.size(); ++i) {
        QEditMacroItemBase *b = m_items.at(i);
        if (i == 0) {
            b->move(40, 20);
            continue;
        }
        const QEditMacroItemBase *a = m_items.at(i - 1);
        if (a->x() + a->width() + b->width() + 60 <= width()) {
            b->move(a->x() + a->width() + 30, a->y());
        } else {
            b->move(40, a->y() + a->height() + 20);
            m_lineY = b->y();
        }
    }
}

int QEditMacroPage_Iner::EditorHeight() const
{
    if (QEditPage *page = QEditPage::Instance())
        return page->height();
    return parentWidget() ? parentWidget()->height() : height();
}

// ---- the codec on the rows ------------------------------------------------------------------

QByteArray QEditMacroPage_Iner::EncodeMacro() const
{
    QVector<MacroRow> rows;
    rows.reserve(m_items.size());
    for (const QEditMacroItemBase *r : m_items)
        rows.append(MacroRow{r->ClassTyp(), r->IsDown(), r->Code(), r->Delay()});
    return EncodeRows(rows);
}

void QEditMacroPage_Iner::DecodeRecord(const QByteArray &record)
{
    const MacroRecordEvent e = DecodeEvent(record);
    if (e.kind == MacroRecordEvent::Key)
        on_Load_KeyCodeValue(e.down, e.code, e.delay);
    else if (e.kind == MacroRecordEvent::Mouse)
        on_Load_MouseValue(e.code, e.data, e.delay);
}

void QEditMacroPage_Iner::LoadMacroBuffer(const QByteArray &buffer)
{
    const int n = buffer.size() / 4;
    if (n == 0)
        return;
    RemoveAllRows();
    m_selectAll = false;
    m_selected = nullptr;
    for (int i = 0; i < n; ++i) {
        if (m_items.size() > kMaxRows) {
            RoomForRow(false); // one message for the whole load; the hooks are not the load's
            break;
        }
        DecodeRecord(QByteArray::fromRawData(buffer.constData() + 4 * i, 4));
    }
    if (m_items.isEmpty()) {
        resize(width(), parentWidget() ? parentWidget()->height() : height());
        Q_EMIT setYPos(0);
        return;
    }
    const int h = qMax(m_items.last()->y(), 200);
    resize(width(), int(h * 1.2));
    Q_EMIT setYMaxPos(int(h * 1.2));
    Q_EMIT setYPos(h);
}

// ---- delay rows -----------------------------------------------------------------------------

void QEditMacroPage_Iner::ShowDelayItems(bool show)
{
    if (m_items.isEmpty()) {
        Q_EMIT setYPos(0);
        return;
    }
    if (m_items.size() < 2)
        return;
    if (show && !m_delayRows) {
        QVector<QEditMacroItemBase *> rows;
        rows.reserve(m_items.size() * 2);
        for (QEditMacroItemBase *r : qAsConst(m_items)) {
            if (r->ClassTyp() <= 2) {
                auto *sleep = new QSleepItem(r, this);
                sleep->show();
                rows.append(sleep);
            }
            rows.append(r);
        }
        m_items = rows;
    } else if (!show) {
        for (int i = m_items.size() - 1; i >= 0; --i) {
            QEditMacroItemBase *r = m_items.at(i);
            if (r->ClassTyp() == 3) {
                if (m_selected == r)
                    m_selected = nullptr;
                m_items.remove(i);
                delete r;
            }
        }
    }
    m_delayRows = show;
    LayoutItems();
    resize(width(), m_items.last()->y() + EditorHeight() / 3);
    Q_EMIT setYPos(0);
}

void QEditMacroPage_Iner::on_DelayEdited()
{
    Q_EMIT setdatatendency(true);
}

// ---- selection and removal ------------------------------------------------------------------

void QEditMacroPage_Iner::RemoveRow(QEditMacroItemBase *row)
{
    const int i = m_items.indexOf(row);
    if (i < 0)
        return;
    if (auto *sleep = qobject_cast<QSleepItem *>(row)) {
        if (sleep->Owner())
            sleep->Owner()->SetDelay(0);
    } else {
        // An event row takes its delay row with it, which would otherwise belong to nothing.
        for (int k = m_items.size() - 1; k >= 0; --k) {
            auto *s = qobject_cast<QSleepItem *>(m_items.at(k));
            if (s && s->Owner() == row) {
                m_items.remove(k);
                delete s;
            }
        }
    }
    m_items.removeAll(row);
    if (m_selected == row)
        m_selected = nullptr;
    delete row;
}

void QEditMacroPage_Iner::RemoveAllRows()
{
    const QVector<QEditMacroItemBase *> rows = m_items;
    m_items.clear();
    qDeleteAll(rows);
    m_selected = nullptr;
    m_lineY = 20;
    m_delayRows = false;
}

void QEditMacroPage_Iner::RemoveItems()
{
    if (m_selectAll) {
        RemoveAllRows();
        m_selectAll = false;
        resize(width(), parentWidget() ? parentWidget()->height() : height());
        Q_EMIT setYPos(0);
        return;
    }
    if (m_selected) {
        RemoveRow(m_selected);
        m_selected = nullptr;
        LayoutItems();
    }
}

void QEditMacroPage_Iner::ClearRows()
{
    RemoveAllRows();
    m_selectAll = false;
}

void QEditMacroPage_Iner::on_ClearitemsAll()
{
    m_selectAll = true;
    RemoveItems();
    Q_EMIT setdatatendency(true);
}

void QEditMacroPage_Iner::on_HidCLosingUsb()
{
    StopHooks();
    if (QEditPage *page = QEditPage::Instance())
        page->ResetRecordButton();
    m_selectAll = true;
    RemoveItems();
}

void QEditMacroPage_Iner::on_MacroRight(QEditMacroItemBase *row)
{
    if (RecordingOn() || IsRecording())
        return;
    if (m_selected && m_selected != row)
        m_selected->SetCheck(false);
    m_selected = row;
    m_selectAll = false;
    RemoveItems();
    Q_EMIT setdatatendency(true);
}

void QEditMacroPage_Iner::keyPressEvent(QKeyEvent *event)
{
    if (RecordingOn() || IsRecording())
        return;
    if (event->key() == Qt::Key_Delete) {
        RemoveItems();
        Q_EMIT setdatatendency(true);
    } else if (event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier) && m_items.size() >= 2) {
        m_selectAll = !m_selectAll;
        for (QEditMacroItemBase *r : qAsConst(m_items))
            r->SetCheck(m_selectAll || r == m_selected);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void QEditMacroPage_Iner::keyReleaseEvent(QKeyEvent *event)
{
    m_marker->hide();
    QWidget::keyReleaseEvent(event);
}

void QEditMacroPage_Iner::wheelEvent(QWheelEvent *event)
{
    if (event->angleDelta().y() > 0 && y() > 2)
        Q_EMIT setYPos(0);
}

void QEditMacroPage_Iner::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The rows wrap at the list's width, which is the visible width: lay them out again when it
    // changes, however few they are. A change of height alone is the list's own growth.
    if (event->size().width() != event->oldSize().width() && !m_items.isEmpty()) {
        LayoutItems();
        const int h = m_items.last()->y() + EditorHeight() / 3;
        if (h != height())
            resize(width(), h);
        Q_EMIT setYPos(0);
    }
}

// ---- reordering by drag ---------------------------------------------------------------------

void QEditMacroPage_Iner::PluginPressEvent(QEditMacroItemBase *row)
{
    if (m_selected && m_selected != row)
        m_selected->SetCheck(false);
    m_selected = row;
    if (row->ClassTyp() <= 2)
        row->SetCheck(!row->IsCheck());
    else
        row->SetCheck(true);
}

void QEditMacroPage_Iner::PluginMoveEvent(QEditMacroItemBase *row, const QPoint &globalPos)
{
    if (RecordingOn() || IsRecording() || row->ClassTyp() > 2 || row->parentWidget() != this)
        return;
    const QPoint at = mapFromGlobal(globalPos);
    if (!m_dragImage) {
        m_marker->hide();
        m_selected = row;
        m_dragImage = row->Clone(this);
        m_dragImage->move(at + QPoint(3, 3));
        m_dragImage->show();
        m_dragImage->raise();
        Q_EMIT setdatatendency(true);
        return;
    }
    m_dragImage->move(at + QPoint(3, 3));
    m_itemThread->SetPoint(at.x(), at.y());
    m_itemThread->run();
}

void QEditMacroPage_Iner::PluginRepressEvent(QEditMacroItemBase *)
{
    m_marker->hide();
    delete m_dragImage;
    if (m_insertIndex >= 0) {
        MoveSelectedTo(m_insertIndex);
        m_insertIndex = -1;
    }
}

void QEditMacroPage_Iner::MoveSelectedTo(int index)
{
    const int from = m_selected ? m_items.indexOf(m_selected) : -1;
    if (from < 0 || index == from + 1) {
        LayoutItems();
        return;
    }
    QEditMacroItemBase *row = m_items.takeAt(from);
    m_items.insert(qBound(0, index > from ? index - 1 : index, m_items.size()), row);
    row->SetCheck(false);
    m_selected = nullptr;
    LayoutItems();
    Q_EMIT setdatatendency(true);
}

void QEditMacroPage_Iner::on_DispInsetRect(const QPoint &pos)
{
    m_marker->move(pos);
    m_marker->show();
    m_marker->raise();
}

void QEditMacroPage_Iner::on_HideRect()
{
    m_marker->hide();
}

void QEditMacroPage_Iner::on_InsetIndex(int index)
{
    m_insertIndex = index;
}
