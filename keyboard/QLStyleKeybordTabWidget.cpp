#include "keyboard/QLStyleKeybordTabWidget.h"
#include "app/IniOpeners.h"
#include "app/MainWidget.h"
#include "lighting/QBaseEffctThread.h"
#include "widgets/QDisplayInformation.h"

#include <QCursor>

QLStyleKeybordTabWidget *QLStyleKeybordTabWidget::s_instance = nullptr;

QLStyleKeybordTabWidget::QLStyleKeybordTabWidget(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
}

QLStyleKeybordTabWidget::~QLStyleKeybordTabWidget()
{
    HidePopup();
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
    HidePopup();
    QBaseEffctThread::instance()->On_StopThread();
    if (MainWidget *w = MainWidget::instance())
        w->SetPageIndex();
    m_product.clear();
}

void QLStyleKeybordTabWidget::ExitPage()
{
    ButExit_on_clicked();
}

QString QLStyleKeybordTabWidget::CurrentConfigPath() const
{
    const MainWidget *main = MainWidget::instance();
    if (!main || !IsSafeFileComponent(m_configName))
        return QString();
    return QStringLiteral("%1/%2.xml").arg(main->UserConfigDir(), m_configName);
}

void QLStyleKeybordTabWidget::ShowKeyInfoPopup(const QString &title, const QString &text)
{
    if (m_popup)
        return;
    auto *popup = new QDisplayInformation(nullptr);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->resize(130, 70);
    popup->move(QCursor::pos());
    popup->SetValues(text, title.split(QLatin1Char('_')).last());
    m_popup = popup;
    popup->show();
}

QDisplayInformation *QLStyleKeybordTabWidget::Popup() const
{
    return m_popup;
}

void QLStyleKeybordTabWidget::HidePopup()
{
    if (!m_popup)
        return;
    m_popup->hide();
    delete m_popup.data();
    m_popup = nullptr;
}

void QLStyleKeybordTabWidget::ON_SAEVE(bool) {}

void QLStyleKeybordTabWidget::on_RefreshLangual() {}
void QLStyleKeybordTabWidget::on_MacroFileChangge(const QString &) {}
void QLStyleKeybordTabWidget::on_MarcoQuitPage() {}
