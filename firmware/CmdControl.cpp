#include "firmware/CmdControl.h"

#include "firmware/CmdDispatch.h"

CmdControl::CmdControl(QObject *parent) : QThread(parent) {}

CmdControl::~CmdControl()
{
    delete m_dispatcher;
}

bool CmdControl::set_params(QVariantMap params)
{
    Q_UNUSED(params);
    return true;
}

bool CmdControl::reset()
{
    delete m_dispatcher;
    m_dispatcher = nullptr;
    return true;
}
