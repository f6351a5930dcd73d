#include "mouse/MouseParamWriter.h"
#include "app/CheckedSave.h"
#include "app/MainWidget.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"

#include <QSettings>

#include <functional>
#include <memory>

namespace MouseParamWriter {
namespace {

bool Write(const std::function<void(QSettings &)> &keys)
{
    MainWidget *main = MainWidget::instance();
    if (!main || HID_API::PageDeviceGoing()) // a mouse that went keeps its file as it was
        return false;
    std::unique_ptr<QSettings> ini(main->OpenMouseParamConfig());
    if (!ini)
        return false;
    keys(*ini);
    HID_API *api = HID_API::instance();
    if (DeviceRecord *device = api ? api->CurrentDevice() : nullptr)
        ini->setValue(QStringLiteral("Zr_Mouse/MouseName"), device->name);
    return CheckedSave::SyncSettings(*ini);
}

void ModelAndCode(QSettings &ini, const QString &model, unsigned char code)
{
    ini.setValue(QStringLiteral("ChangeParam/Model"), model);
    ini.setValue(QStringLiteral("ChangeParam/ChangeCode"), int(code));
}

} // namespace

bool WriteValue(const QString &model, unsigned char code, int value)
{
    return Write([&](QSettings &ini) {
        ini.setValue(model + QStringLiteral("/value"), value);
        ModelAndCode(ini, model, code);
    });
}

bool WriteSwitches(const QString &model, unsigned char code, bool motionSync, bool angleSnapping, bool ripple)
{
    return Write([&](QSettings &ini) {
        ModelAndCode(ini, model, code);
        ini.setValue(QStringLiteral("MotionSync/value"), motionSync ? 1 : 0);
        ini.setValue(QStringLiteral("modified/value"), angleSnapping ? 1 : 0);
        ini.setValue(QStringLiteral("Ripple/value"), ripple ? 1 : 0);
    });
}

bool WriteReportRate(int hz)
{
    return Write([&](QSettings &ini) {
        ini.setValue(QStringLiteral("ReportRate/value"), hz);
        ModelAndCode(ini, QStringLiteral("ReportRate"), ReportRateCode);
    });
}

} // namespace MouseParamWriter
