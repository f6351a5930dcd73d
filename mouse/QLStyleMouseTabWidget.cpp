#include "mouse/QLStyleMouseTabWidget.h"
#include "app/MainWidget.h"
#include "mouse/QLStyleBoraWidget.h"

QLStyleMouseTabWidget *QLStyleMouseTabWidget::s_instance = nullptr;

QLStyleMouseTabWidget::QLStyleMouseTabWidget(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
    m_LStyleBoraWidget = new QLStyleBoraWidget(this);
}

QLStyleMouseTabWidget::~QLStyleMouseTabWidget()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QLStyleMouseTabWidget *QLStyleMouseTabWidget::instance()
{
    return s_instance;
}

void QLStyleMouseTabWidget::LoadProductItems(const QString &productFolder)
{
    m_product = productFolder;
}

void QLStyleMouseTabWidget::ConfigMouse(MouseConfigRecord *) {}
void QLStyleMouseTabWidget::RefreshFirmwareInfo() {}
void QLStyleMouseTabWidget::on_RefreshLangual() {}
void QLStyleMouseTabWidget::on_MacroFileChangge(const QString &) {}

void QLStyleMouseTabWidget::CloseTabs()
{
    Q_EMIT Cleartabs();
    Q_EMIT Exit();
}

void QLStyleMouseTabWidget::ButExit_on_clicked()
{
    if (MainWidget *w = MainWidget::instance())
        w->SetPageIndex();
    CloseTabs();
}
