#include "app/QGlobalSetWidget.h"
#include "app/IniOpeners.h"

#include <QSettings>
#include <memory>

QGlobalSetWidget::QGlobalSetWidget(QWidget *parent) : QWidget(parent)
{
    loadCloseToTray();
}

void QGlobalSetWidget::loadCloseToTray()
{
    std::unique_ptr<QSettings> ini(OpenSysBuildIni());
    m_closeToTray = ini->value(QStringLiteral("Systime/TrayIcon"), false).toBool();
}

bool QGlobalSetWidget::IsCloseToTray() const
{
    return m_closeToTray;
}

void QGlobalSetWidget::showEvent(QShowEvent *event)
{
    loadCloseToTray();
    QWidget::showEvent(event);
}
