#include "mouse/QLStyleBoraWidget.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "macros/QGenerateFile.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QLineInfo.h"

#include <QCoreApplication>
#include <QThread>

#include <mutex>

namespace {
QLStyleBoraWidget *s_frame = nullptr;
std::mutex s_snapshotLock;
MouseKeySnapshot s_snapshot;

void CollectColumns(const QObject *parent, QVector<QGradualChangeLine *> &out)
{
    for (QObject *child : parent->children()) {
        if (auto *column = qobject_cast<QGradualChangeLine *>(child))
            out.append(column);
        CollectColumns(child, out);
    }
}
} // namespace

QLStyleBoraWidget::QLStyleBoraWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QLStyleBoraWidget"));
    s_frame = this;
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QLStyleBoraWidget::on_LanguageChange);
    if (HID_API *api = HID_API::instance())
        if (QHid_Threads_Manage *manager = api->Manager())
            connect(this, &QLStyleBoraWidget::ZrMouseKeyValueChange, manager,
                    &QHid_Threads_Manage::on_MouseKeysValueCHange);
}

QLStyleBoraWidget::~QLStyleBoraWidget()
{
    // Workers only ever see the snapshot, so the frame may go while they run.
    if (s_frame == this)
        s_frame = nullptr;
    // The columns die after this body, with the row list already gone: they must not report.
    for (QLineInfo *row : m_rows)
        disconnect(row, nullptr, this, nullptr);
}

QLStyleBoraWidget *QLStyleBoraWidget::instance()
{
    return s_frame;
}

QMap<QString, QList<QLineInfo *>> QLStyleBoraWidget::LineValueMap() const
{
    QVector<QGradualChangeLine *> columns;
    CollectColumns(this, columns);
    QMap<QString, QList<QLineInfo *>> map;
    for (QGradualChangeLine *column : columns)
        map.insert(column->ColumnName(), column->Lines().toList());
    return map;
}

QVector<QLineInfo *> QLStyleBoraWidget::LineValues() const
{
    QVector<QGradualChangeLine *> columns;
    CollectColumns(this, columns);
    QVector<QLineInfo *> rows;
    for (QGradualChangeLine *column : columns)
        rows += column->Lines();
    return rows;
}

QString QLStyleBoraWidget::ParseKeyText(const QString &text, uint16_t *id)
{
    if (text.isEmpty()) {
        if (id)
            *id = 0;
        return text;
    }
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    const uint16_t number = static_cast<uint16_t>(text.mid(1).toUInt());
    if (id)
        *id = number;
    return QXM_Process::instance()->GetText(number);
}

void QLStyleBoraWidget::BuildConfigButtons(const QString &) {}
void QLStyleBoraWidget::LoadProduct(const QString &) {}
void QLStyleBoraWidget::SetDpiConfig(const QString &) {}

void QLStyleBoraWidget::TakeKeySnapshot()
{
    MouseKeySnapshot snapshot;
    const auto map = LineValueMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        for (const QLineInfo *row : it.value())
            snapshot.rows.append({row->SendAddress(), row->ValueType(), row->CurrentCode(), row->ReName()});
    if (QLStyleMouseTabWidget *tab = QLStyleMouseTabWidget::instance())
        snapshot.selectedKey = tab->m_CurrentKeyIndex;
    std::lock_guard<std::mutex> lock(s_snapshotLock);
    s_snapshot = snapshot;
}

MouseKeySnapshot QLStyleBoraWidget::KeySnapshot()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (s_frame && app && QThread::currentThread() == app->thread())
        s_frame->TakeKeySnapshot();
    std::lock_guard<std::mutex> lock(s_snapshotLock);
    return s_snapshot;
}

void QLStyleBoraWidget::on_LineValueDtdaChange()
{
    Q_EMIT ConfigDataChange();
    TakeKeySnapshot();
    Q_EMIT ZrMouseKeyValueChange();
}

void QLStyleBoraWidget::on_LanguageChange()
{
    // Rows and heads re-translate themselves; the frame's own labels come with the mouse page.
}

void QLStyleBoraWidget::on_ClearItems()
{
    QVector<QGradualChangeLine *> columns;
    CollectColumns(this, columns);
    m_rows.clear();
    qDeleteAll(columns);
    TakeKeySnapshot();
}

void QLStyleBoraWidget::on_toEditDefinepage()
{
    QString name;
    int mode = 1;
    bool accepted = false;
    {
        QGenerateFile dialog(nullptr);
        accepted = dialog.GetResult(&name, &mode);
    }
    MainWidget *w = MainWidget::instance();
    if (!accepted || !w)
        return;
    w->on_TabChangeEditkeysDefinition(name, false);
    w->on_SetEditkeysDefinitionRunWay(mode);
}
