#pragma once
#include <QDialog>

class MainWidget;
class QGridLayout;
class QPropertyAnimation;
class QPushButton;
class QRadioButton;
class QTimer;

// The slide-out navigation menu over the main window's left edge: home, settings, close.
// While it exists, the title bar, the system menu handling and the device tiles stand still.
class QLeftMenuPop : public QDialog
{
    Q_OBJECT
public:
    explicit QLeftMenuPop(QWidget *parent = nullptr);
    ~QLeftMenuPop() override;

    // The open menu, or null.
    static QLeftMenuPop *Instance();

    // Shows the menu, slides it open and runs it modally until it is hidden.
    void Animationgeometry_show();
    // Slides it closed; does not wait.
    void Animationgeometry_hide();

    static constexpr int SlideMs = 200;
    static constexpr int SettleMs = 210;

public Q_SLOTS:
    void on_ButMainWidget_clicked();
    void on_ButSetwidget_clicked();
    void on_ButExit_clicked();
    void on_ButFirmwareFix_clicked();
    void on_LanguageChange();

private:
    void setupUi();
    QRect openRect() const;
    QRect closedRect() const;
    void closeMenu();
    // The entries' end: the menu slides shut, then the chosen page is shown.
    void SwitchPage(void (MainWidget::*show)());

    QGridLayout *gridLayout = nullptr;
    QWidget *widget = nullptr;
    QPushButton *ButExit = nullptr;
    QRadioButton *ButMainWidget = nullptr;
    QRadioButton *ButSetwidget = nullptr;
    QRadioButton *ButFirmwareFix = nullptr;
    QTimer *m_Timer = nullptr;
    QPropertyAnimation *m_Animation = nullptr;

    static QLeftMenuPop *s_instance;
};
