#include "tests/support/HidTestSupport.h"
#include "app/ProductCatalogue.h"

#include <QFile>
#include <QtTest>

QString HidProductLine(const QString &dir, int type, const QString &name, const QString &code, const QString &blue,
                       const QString &usb, const QString &core, bool zrRtu)
{
    return QStringLiteral("    <SubProduct ProductDir=\"%1\" ProductTyp=\"%2\" ProductName=\"%3\" Productimage=\"x.png\" "
                          "MInImage=\"x.png\" Productpassword=\"%4\" ProductBlue=\"%5\" Productusb=\"%6\" "
                          "ProductHardware=\"H\" dataLength=\"520\" dataLength24g=\"20\" isZrRtu=\"%7\" Core=\"%8\" maxRor=\"1000\"/>")
        .arg(dir).arg(type).arg(name, code, blue, usb).arg(zrRtu ? 1 : 0).arg(core);
}

bool HidWriteCatalogue(const QString &programDir, const QStringList &lines)
{
    QFile f(programDir + QStringLiteral("/YProduct.xml"));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<YProduct>\n") + lines.join(QLatin1Char('\n'))
                         + QStringLiteral("\n</YProduct>\n");
    f.write(text.toUtf8());
    f.close();
    ClearProductListCache();
    return true;
}

QList<DeviceRecord *> HidRecordsOfNode(const QList<DeviceRecord *> &records, uint32_t node)
{
    QList<DeviceRecord *> out;
    for (DeviceRecord *r : records)
        if (r->deviceId == node)
            out.append(r);
    return out;
}

DeviceRecord *HidRecordOfKind(const QList<DeviceRecord *> &records, uint32_t node, int kind)
{
    for (DeviceRecord *r : records)
        if (r->deviceId == node && r->kind == kind)
            return r;
    return nullptr;
}

void HidCloseAll(QList<DeviceRecord *> &records)
{
    for (DeviceRecord *r : records)
        CloseDeviceRecord(r);
    records.clear();
}

bool HidNoModelErrors()
{
    const QStringList errors = emu::Errors();
    emu::ClearErrors();
    if (errors.isEmpty())
        return true;
    qWarning().noquote() << "model errors:\n" << errors.join(QLatin1Char('\n'));
    return false;
}
