#include "lighting/QBaseEffctThread.h"

#include "keyboard/QLStyleKeybordTabWidget.h"
#include "lighting/QEffct_Blossoming.h"
#include "lighting/QEffct_Colorful_Waterfall.h"
#include "lighting/QEffct_Fixed_No.h"
#include "lighting/QEffct_Flash_Away.h"
#include "lighting/QEffct_Light_Off.h"
#include "lighting/QEffct_Neon_Stream.h"
#include "lighting/QEffct_Rainbow.h"
#include "lighting/QEffct_Rainbow_Wheel.h"
#include "lighting/QEffct_Raindrops.h"
#include "lighting/QEffct_Reaction.h"
#include "lighting/QEffct_Repire.h"
#include "lighting/QEffct_Retro_Snake.h"
#include "lighting/QEffct_Rotating_Windmill.h"
#include "lighting/QEffct_Ripples_Shining.h"
#include "lighting/QEffct_Self_Define.h"
#include "lighting/QEffct_Shadow_Disappear.h"
#include "lighting/QEffct_Sine_Wave.h"
#include "lighting/QEffct_Stars_Twinkle.h"

#include <chrono>

QBaseEffctThread *QBaseEffctThread::s_instance = nullptr;

QBaseEffctThread *QBaseEffctThread::instance()
{
    // After the on-screen keyboard has deleted it, the next use makes a new one.
    if (!s_instance)
        s_instance = new QBaseEffctThread;
    return s_instance;
}

QBaseEffctThread::~QBaseEffctThread()
{
    On_StopThread();
    wait();
    if (s_instance == this)
        s_instance = nullptr;
}

int QBaseEffctThread::FramePeriod() const
{
    const int speed = m_speed <= 4 ? m_speed : 4;
    return m_baseSleep + (4 - speed) * 20;
}

int QBaseEffctThread::CurrentModel()
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_effct ? m_effct->GetModel() : -1;
}

QEffctBase *QBaseEffctThread::CreateEffct(int model, int *baseSleep)
{
    switch (model) {
    case 81: *baseSleep = 500; return new QEffct_Fixed_No;
    case 82: *baseSleep = 100; return new QEffct_Repire;
    case 83: *baseSleep = 100; return new QEffct_Rainbow;
    case 84: *baseSleep = 500; return new QEffct_Flash_Away;
    case 85: *baseSleep = 100; return new QEffct_Raindrops;
    case 86: *baseSleep = 500; return new QEffct_Rainbow_Wheel;
    case 87: *baseSleep = 50; return new QEffct_Ripples_Shining;
    case 88: *baseSleep = 20; return new QEffct_Stars_Twinkle;
    case 89: *baseSleep = 500; return new QEffct_Shadow_Disappear;
    case 90: *baseSleep = 10; return new QEffct_Retro_Snake;
    case 91: *baseSleep = 100; return new QEffct_Neon_Stream;
    case 92: *baseSleep = 500; return new QEffct_Reaction;
    case 93: *baseSleep = 10; return new QEffct_Sine_Wave;
    case 94: *baseSleep = 50; return new QEffct_Rotating_Windmill;
    case 95: *baseSleep = 40; return new QEffct_Colorful_Waterfall;
    case 96: *baseSleep = 10; return new QEffct_Blossoming;
    case 97: *baseSleep = 500; return new QEffct_Self_Define;
    case 98: *baseSleep = 100; return new QEffct_Light_Off;
    default: *baseSleep = 10; return nullptr;
    }
}

void QBaseEffctThread::EndLoop()
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_running.store(false);
    }
    m_wake.notify_all();
    // The loop leaves at once: its wait is woken and it never starts a frame once the flag is clear.
    wait();
}

void QBaseEffctThread::DropEffct()
{
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_effct)
        return;
    m_effct->StopEffct();
    m_effct->ReleaseEffct();
    delete m_effct;
    m_effct = nullptr;
}

void QBaseEffctThread::on_ChangLightModel(int mLightModel, int MColour, int Speed, int Luminance, uchar _R, uchar _G,
                                          uchar _B)
{
    EndLoop();
    DropEffct();
    int baseSleep = 10;
    QEffctBase *effct = CreateEffct(mLightModel, &baseSleep);
    const bool hint = mLightModel == 84 || mLightModel == 87 || mLightModel == 89 || mLightModel == 92;
    if (QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance())
        page->on_DispNotEffct(hint);
    std::lock_guard<std::mutex> lock(m_lock);
    m_baseSleep = baseSleep;
    if (!effct)
        return;
    m_speed = static_cast<uchar>(Speed & 0xFF);
    m_luminance = QEffctBase::LuminanceLevel(static_cast<uchar>(Luminance & 0xFF));
    effct->InitEffct(Speed, static_cast<uchar>(Luminance & 0xFF), MColour != 0 ? 1 : 0, QColor(_R, _G, _B, 255));
    m_effct = effct;
    m_running.store(true);
    start(InheritPriority);
}

void QBaseEffctThread::on_Reset_Speed_Luminance(int Speed, int Luminance)
{
    {
        std::lock_guard<std::mutex> lock(m_lock);
        m_luminance = QEffctBase::LuminanceLevel(static_cast<uchar>(Luminance & 0xFF));
        m_speed = static_cast<uchar>(Speed & 0xFF);
        if (!m_effct)
            return;
        m_effct->SetSpeed(Speed);
        m_effct->SetLuminance(m_luminance);
        m_running.store(true);
    }
    if (!isRunning())
        start(InheritPriority);
}

void QBaseEffctThread::On_StopThread()
{
    EndLoop();
    DropEffct();
}

void QBaseEffctThread::run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    while (m_running.load()) {
        if (!m_effct)
            break;
        const std::chrono::milliseconds period(FramePeriod());
        if (m_wake.wait_for(lock, period, [this] { return !m_running.load(); }))
            break;
        m_effct->NextFrame();
        if (m_effct->EndsLoop())
            m_running.store(false);
    }
}
