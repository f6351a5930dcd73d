#include "device/HID_API.h"
#include "widgets/QWaitGifWidget.h"

#include <QVBoxLayout>

HID_API *HID_API::s_instance = nullptr;

HID_API::HID_API(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_placeholder = new QWaitGifWidget(this);
    layout->addWidget(m_placeholder);
}

HID_API::~HID_API()
{
    if (s_instance == this)
        s_instance = nullptr;
}

HID_API *HID_API::instance()
{
    return s_instance;
}

void HID_API::on_RefreshLangual()
{
    m_placeholder->RefreshLanguage();
}

void HID_API::on_CheckHidDeviceVersions(bool)
{
}
