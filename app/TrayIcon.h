#pragma once
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

class QMenu;

// The system tray icon with its menu: "Durad Ova" brings the main window back, the exit entry
// ends the program. One instance, made on first use; Destroy() removes it before the
// application object goes.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    static TrayIcon *Instance();
    static void Destroy();
    static bool IsAvailable();

    ~TrayIcon() override;

    QSystemTrayIcon *SystemIcon() const { return m_tray; }
    QMenu *Menu() const { return m_menu; }

Q_SIGNALS:
    void trayIconExit();

public Q_SLOTS:
    void iconIsActived(QSystemTrayIcon::ActivationReason reason);
    void setExitDirect(bool exitDirect);
    void setMainWidget(QWidget *mainWidget);
    void showMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon, int msecs);
    void showMessage(const QString &title, const QString &msg, QSystemTrayIcon::MessageIcon icon);
    void showMessage(const QString &title, const QString &msg);
    void setIcon(const QString &strIcon);
    void setToolTip(const QString &tip);
    void setVisible(bool visible);
    void closeAll();

private:
    TrayIcon();
    void showMainWidget();

    // Weak: the main window is destroyed before the tray.
    QPointer<QWidget> m_mainWidget;
    QSystemTrayIcon *m_tray = nullptr;
    QMenu *m_menu = nullptr;
    bool m_exitDirect = true;
};
