#include "app/TrayIcon.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"

#include <QCoreApplication>
#include <QIcon>
#include <QAction>
#include <QMenu>
#include <mutex>

namespace {
QPointer<TrayIcon> &shared()
{
    static QPointer<TrayIcon> tray;
    return tray;
}

std::mutex &creationMutex()
{
    static std::mutex mutex;
    return mutex;
}
} // namespace

TrayIcon *TrayIcon::Instance()
{
    std::lock_guard<std::mutex> lock(creationMutex());
    if (!shared())
        shared() = new TrayIcon;
    return shared();
}

void TrayIcon::Destroy()
{
    std::lock_guard<std::mutex> lock(creationMutex());
    delete shared().data();
    shared().clear();
}

bool TrayIcon::IsAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

TrayIcon::TrayIcon()
    : m_tray(new QSystemTrayIcon(this))
    , m_menu(new QMenu)
{
    connect(m_tray, &QSystemTrayIcon::activated, this, &TrayIcon::iconIsActived);
}

TrayIcon::~TrayIcon()
{
    // The menu has no parent; the icon lets go of it first.
    m_tray->setContextMenu(nullptr);
    delete m_menu;
}

void TrayIcon::showMainWidget()
{
    if (m_mainWidget)
        m_mainWidget->showNormal();
}

void TrayIcon::iconIsActived(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
        showMainWidget();
}

void TrayIcon::setExitDirect(bool exitDirect)
{
    m_exitDirect = exitDirect;
}

void TrayIcon::setMainWidget(QWidget *mainWidget)
{
    m_mainWidget = mainWidget;
    m_menu->clear();
    connect(m_menu->addAction(QStringLiteral("Durad Ova")), &QAction::triggered, this, &TrayIcon::showMainWidget);
    QAction *exit = m_menu->addAction(GetLangText(65));
    connect(exit, &QAction::triggered, this, &TrayIcon::closeAll);
    // The exit entry follows the language, read each time the menu opens: the saved one is
    // loaded only after the menu is made ("Durad Ova" reads the same in every language).
    connect(m_menu, &QMenu::aboutToShow, exit, [exit] { exit->setText(GetLangText(65)); });
    m_tray->setContextMenu(m_menu);
}

void TrayIcon::showMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon, int msecs)
{
    m_tray->showMessage(title, msg, icon, msecs);
}

void TrayIcon::showMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon)
{
    showMessage(title, msg, icon, 5000);
}

void TrayIcon::showMessage(const QString &title, const QString &msg)
{
    showMessage(title, msg, QSystemTrayIcon::Information, 5000);
}

void TrayIcon::setIcon(const QString &strIcon)
{
    m_tray->setIcon(QIcon(strIcon));
}

void TrayIcon::setToolTip(const QString &tip)
{
    m_tray->setToolTip(tip);
}

void TrayIcon::setVisible(bool visible)
{
    m_tray->setVisible(visible);
}

void TrayIcon::closeAll()
{
    m_tray->hide();
    // The pages a wait holds go with the program: the wait ends now, the exit follows it.
    if (NestedWait::EndAfterWaits(this, [this] { closeAll(); }))
        return;
    deleteLater();
    QCoreApplication::exit(0);
}
