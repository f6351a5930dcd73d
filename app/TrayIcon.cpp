#include "app/TrayIcon.h"

#include <QApplication>
#include <QIcon>

namespace {
TrayIcon *&shared()
{
    static TrayIcon *t = nullptr;
    return t;
}
} // namespace

TrayIcon::TrayIcon() : m_tray(new QSystemTrayIcon(this)) {}

TrayIcon *TrayIcon::Instance()
{
    if (!shared())
        shared() = new TrayIcon;
    return shared();
}

void TrayIcon::Destroy()
{
    delete shared();
    shared() = nullptr;
}

bool TrayIcon::IsAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::setMainWidget(QWidget *mainWidget) { m_mainWidget = mainWidget; }
void TrayIcon::setIcon(const QString &strIcon) { m_tray->setIcon(QIcon(strIcon)); }
void TrayIcon::setVisible(bool visible) { m_tray->setVisible(visible); }

void TrayIcon::closeAll()
{
    m_tray->hide();
    QCoreApplication::exit(0);
}
