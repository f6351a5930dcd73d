#include "device/MouseParamFile.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"

#include <QSettings>

QSettings *OpenMouseParamFile(DeviceRecord *device)
{
    if (MainWidget *main = MainWidget::instance())
        return main->OpenMouseParamConfig();
    if (!device)
        return nullptr;
    const QVector<ProductRecord> products = FindProduct(device->vendorId, device->productId, true);
    if (products.isEmpty() || !IsSafeFileComponent(products.first().folder))
        return nullptr;
    return OpenIniFile(QStringLiteral("%1/Products/%2/UserConfig/MouseParamConfig.ini").arg(AppDirPath(), products.first().folder));
}
