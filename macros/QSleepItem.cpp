#include "macros/QSleepItem.h"
#include "app/QXM_Process.h"
#include "macros/QDelayValidator.h"
#include "macros/QEditMacroPage_Iner.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

QSleepItem::QSleepItem(QEditMacroItemBase *owner, QWidget *parent) : QEditMacroItemBase(parent), m_owner(owner)
{
    m_edit = new QLineEdit(QStringLiteral("50"), this);
    m_edit->setValidator(new QDelayValidator(int(kMaxTypedDelay), m_edit));
    m_edit->setFont(QFont(QStringLiteral("黑体"), 13));
    m_edit->setAlignment(Qt::AlignCenter);
    m_edit->setGeometry(0, 0, 50, 25);
    m_unit = new QLabel(this);
    m_unit->setAlignment(Qt::AlignCenter);
    m_unit->setGeometry(0, 25, 50, 25);
    m_unit->installEventFilter(this);
    connect(m_edit, &QLineEdit::editingFinished, this, &QSleepItem::FinishEditing);
    connect(m_edit, &QLineEdit::textEdited, this, &QSleepItem::NoteTyping);
    m_delay = owner ? qMax(1u, owner->Delay()) : 1;
    Show(m_delay);
    UpdateColours();
}

void QSleepItem::SetCheck(bool check)
{
    QEditMacroItemBase::SetCheck(check);
    UpdateColours();
}

void QSleepItem::UpdateColours()
{
    const QString colour = m_check ? QStringLiteral("#00a5e0") : QStringLiteral("#ffffff");
    m_edit->setStyleSheet(QStringLiteral("background-color: rgb(11, 12, 14);color:%1;").arg(colour));
    m_unit->setStyleSheet(QStringLiteral("border-top: 2px solid %1;   color:%1;").arg(colour));
}

void QSleepItem::FormatDelay(uint ms, QString *value, QString *unit)
{
    if (ms < 1000) {
        *value = QString::number(ms);
        *unit = GetLangText(127);
    } else if (ms < 60000) {
        *value = QString::asprintf("%.2lf", ms / 1000.0);
        *unit = GetLangText(130);
    } else {
        *value = QString::asprintf("%.2lf", ms / 60000.0);
        *unit = GetLangText(129);
    }
}

void QSleepItem::Show(uint ms)
{
    QString value, unit;
    FormatDelay(ms, &value, &unit);
    m_edit->setText(value);
    m_unit->setText(unit);
    FollowTyping(value);
}

// The edit and its unit grow with the typed text.
void QSleepItem::FollowTyping(const QString &text)
{
    if (text.isEmpty() || text.contains(QLatin1Char('.'))) {
        if (text.isEmpty())
            return;
    } else {
        QString value, unit;
        FormatDelay(text.toUInt(), &value, &unit);
        m_unit->setText(unit);
    }
    const int n = text.size();
    // Four characters fit the narrowest box; wider only from five on, never narrower than it.
    const int w = n >= 4 ? 50 + 12 * (n - 4) : 50;
    m_edit->resize(w, 25);
    m_unit->resize(w, 25);
    resize(w, 50);
}

void QSleepItem::NoteTyping(const QString &text)
{
    m_typed = true;
    FollowTyping(text);
}

void QSleepItem::StartEditing()
{
    if (auto *list = qobject_cast<QEditMacroPage_Iner *>(parentWidget()))
        list->PluginPressEvent(this);
    m_edit->setPlaceholderText(QString::number(m_delay));
    m_edit->clear();
    m_edit->setFocus();
    UpdateColours();
}

void QSleepItem::FinishEditing()
{
    // A click clears the field to show the value as placeholder; leaving it untouched is no edit.
    if (!m_typed) {
        Show(m_delay);
        return;
    }
    m_typed = false;
    uint v = m_edit->text().toUInt();
    if (v == 0)
        v = 1;
    v = qMin(v, kMaxTypedDelay);
    m_delay = v;
    if (m_owner)
        m_owner->SetDelay(v);
    Show(v);
    if (auto *list = qobject_cast<QEditMacroPage_Iner *>(parentWidget()))
        list->on_DelayEdited();
}

bool QSleepItem::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == this || watched == m_unit) && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        StartEditing();
        return true;
    }
    if (watched == this)
        return QEditMacroItemBase::eventFilter(watched, event);
    return QWidget::eventFilter(watched, event);
}
