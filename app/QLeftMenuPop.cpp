#include "app/QLeftMenuPop.h"
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QGridLayout>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

QLeftMenuPop *QLeftMenuPop::s_instance = nullptr;

namespace {

QRadioButton *newEntry(QWidget *parent, const char *name, const QRect &geometry, const QString &icon, int padding)
{
    auto *b = new QRadioButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setStyleSheet(QStringLiteral(
                         "QRadioButton { color: white; spacing: 12px; padding: 4px; border-radius: 8px; }"
                         "QRadioButton:hover { background-color: #305284; }"
                         "QRadioButton::indicator { width: 25px; height: 25px; padding-left: %1px; image: url(%2); }")
                         .arg(padding)
                         .arg(icon));
    return b;
}

} // namespace

QLeftMenuPop::QLeftMenuPop(QWidget *parent) : QDialog(parent)
{
    setupUi();
    s_instance = this;
    // No dialog window type: with the main window as parent the menu is a child over its
    // left edge, placed in the main window's coordinates.
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(5, height());
    on_LanguageChange();
    ApplyAppFont(ButMainWidget, 25);
    ApplyAppFont(ButSetwidget, 25);
    ButFirmwareFix->hide();
    connect(ButExit, &QPushButton::clicked, this, &QLeftMenuPop::on_ButExit_clicked);
    connect(ButMainWidget, &QRadioButton::clicked, this, &QLeftMenuPop::on_ButMainWidget_clicked);
    connect(ButSetwidget, &QRadioButton::clicked, this, &QLeftMenuPop::on_ButSetwidget_clicked);
    connect(ButFirmwareFix, &QRadioButton::clicked, this, &QLeftMenuPop::on_ButFirmwareFix_clicked);
}

QLeftMenuPop::~QLeftMenuPop()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QLeftMenuPop *QLeftMenuPop::Instance()
{
    return s_instance;
}

void QLeftMenuPop::setupUi()
{
    setObjectName(QStringLiteral("QLeftMenuPop"));
    resize(299, 712);
    setStyleSheet(QStringLiteral("#QLeftMenuPop{\n\n}"));
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setHorizontalSpacing(1);
    gridLayout->setVerticalSpacing(20);
    gridLayout->setContentsMargins(1, 1, 1, 1);
    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setStyleSheet(QStringLiteral("#widget{\nborder-radius:8px;\nbackground-color: rgb(10, 11, 12);\n}"));
    gridLayout->addWidget(widget, 0, 0);

    ButExit = new QPushButton(widget);
    ButExit->setObjectName(QStringLiteral("ButExit"));
    ButExit->setGeometry(20, 10, 30, 30);
    ButExit->setFixedSize(30, 30);
    ButExit->setStyleSheet(QStringLiteral(
        "QPushButton { border: none; image: url(:/new/prefix1/Imges/HID_API/exit_hv.png); }"
        "QPushButton:hover { image: url(:/new/prefix1/Imges/HID_API/exit_nv.png); }"));
    ButMainWidget = newEntry(widget, "ButMainWidget", QRect(20, 70, 231, 41),
                             QStringLiteral(":/new/prefix1/Imges/QUORIX_IMGS/Layer Hoem.png"), 20);
    ButMainWidget->setText(QStringLiteral("主页"));
    ButSetwidget = newEntry(widget, "ButSetwidget", QRect(20, 130, 231, 41),
                            QStringLiteral(":/new/prefix1/Imges/QUORIX_IMGS/LayerSet.png"), 20);
    ButSetwidget->setText(QStringLiteral("设置"));
    ButFirmwareFix = newEntry(widget, "ButFirmwareFix", QRect(30, 180, 231, 41),
                              QStringLiteral(":/new/prefix1/Imges/QUORIX_IMGS/Wrench_40px.png"), 10);
    ButFirmwareFix->setText(QStringLiteral("固件修复"));

    m_Timer = new QTimer(this);
    m_Animation = new QPropertyAnimation(this, "geometry", this);
}

void QLeftMenuPop::on_LanguageChange()
{
    ButMainWidget->setText(GetLangText(317));
    ButSetwidget->setText(GetLangText(161));
}

QRect QLeftMenuPop::closedRect() const
{
    const int h = parentWidget() ? parentWidget()->height() : height();
    return QRect(QPoint(5, 5), QPoint(5, h - 10));
}

QRect QLeftMenuPop::openRect() const
{
    const int h = parentWidget() ? parentWidget()->height() : height();
    return QRect(QPoint(5, 5), QPoint(300, h - 10));
}

void QLeftMenuPop::Animationgeometry_show()
{
    show();
    m_Animation->stop();
    m_Animation->setDuration(SlideMs);
    m_Animation->setLoopCount(1);
    m_Animation->setStartValue(closedRect());
    m_Animation->setEndValue(openRect());
    m_Animation->start();
    // Not a wait: the menu holds nothing a device's going frees, so devices come and go meanwhile.
    NestedWait::ExecDialog(*this); // closed by the program's end like any dialog
}

void QLeftMenuPop::Animationgeometry_hide()
{
    m_Animation->stop();
    m_Animation->setDuration(SlideMs);
    m_Animation->setLoopCount(1);
    m_Animation->setStartValue(openRect());
    m_Animation->setEndValue(closedRect());
    m_Animation->start();
}

void QLeftMenuPop::closeMenu()
{
    Animationgeometry_hide();
    DelayMs(SettleMs);
    hide();
}

void QLeftMenuPop::on_ButExit_clicked()
{
    closeMenu();
}

void QLeftMenuPop::on_ButMainWidget_clicked()
{
    SwitchPage(&MainWidget::on_TabChangeHID_API);
}

void QLeftMenuPop::on_ButFirmwareFix_clicked()
{
    on_ButMainWidget_clicked();
}

void QLeftMenuPop::on_ButSetwidget_clicked()
{
    SwitchPage(&MainWidget::on_TabChangeGlobalSet);
}

void QLeftMenuPop::SwitchPage(void (MainWidget::*show)())
{
    closeMenu();
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    main->ShowPageMask();
    DelayMs(SettleMs);
    if (!(main = MainWidget::instance()))
        return;
    // Opened from inside a wait, the switch itself follows that wait.
    (main->*show)();
}
