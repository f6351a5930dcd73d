#pragma once
#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

// The system tray icon and its menu.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    static TrayIcon *Instance();
    static void Destroy();
    static bool IsAvailable();

public Q_SLOTS:
    void setMainWidget(QWidget *mainWidget);
    void setIcon(const QString &strIcon);
    void setVisible(bool visible);
    void closeAll();

private:
    TrayIcon();
    QWidget *m_mainWidget = nullptr;
    QSystemTrayIcon *m_tray = nullptr;
};
