#include "macros/QEditPage.h"

QEditPage *QEditPage::s_instance = nullptr;

QEditPage::QEditPage(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
}

QEditPage::~QEditPage()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QEditPage *QEditPage::Instance()
{
    return s_instance;
}

void QEditPage::SetMacroName(const QString &name)
{
    m_name = name;
    m_events.clear();
}

void QEditPage::LoadMacro(const QString &name, const QByteArray &events, int runWay, int)
{
    m_name = name;
    m_events = events;
    m_runMode = runWay;
}

void QEditPage::SetRunMode(int mode, bool)
{
    m_runMode = mode;
}
