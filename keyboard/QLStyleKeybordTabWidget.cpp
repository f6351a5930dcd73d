#include "keyboard/QLStyleKeybordTabWidget.h"
#include "app/MainWidget.h"
#include "lighting/QBaseEffctThread.h"

QLStyleKeybordTabWidget *QLStyleKeybordTabWidget::s_instance = nullptr;

QLStyleKeybordTabWidget::QLStyleKeybordTabWidget(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
}

QLStyleKeybordTabWidget::~QLStyleKeybordTabWidget()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QLStyleKeybordTabWidget *QLStyleKeybordTabWidget::instance()
{
    return s_instance;
}

void QLStyleKeybordTabWidget::BuildPage(const QString &productFolder)
{
    m_product = productFolder;
}

void QLStyleKeybordTabWidget::ButExit_on_clicked()
{
    QBaseEffctThread::instance()->On_StopThread();
    if (MainWidget *w = MainWidget::instance())
        w->SetPageIndex();
    m_product.clear();
}

void QLStyleKeybordTabWidget::ExitPage()
{
    ButExit_on_clicked();
}

void QLStyleKeybordTabWidget::on_RefreshLangual() {}
void QLStyleKeybordTabWidget::on_MacroFileChangge(const QString &) {}
void QLStyleKeybordTabWidget::on_MarcoQuitPage() {}
