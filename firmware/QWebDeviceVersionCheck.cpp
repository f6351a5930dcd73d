#include "firmware/QWebDeviceVersionCheck.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "macros/OpenXmlDocument.h"

#include <QDomElement>

const char *const QWebDeviceVersionCheck::UncodedModelName = "QUORIX Q3";

QWebDeviceVersionCheck *QWebDeviceVersionCheck::Instance()
{
    static QWebDeviceVersionCheck *checker = new QWebDeviceVersionCheck;
    return checker;
}

QWebDeviceVersionCheck::~QWebDeviceVersionCheck()
{
    qDeleteAll(m_classes);
}

bool QWebDeviceVersionCheck::ParseCatalogue(const QString &path)
{
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("UpdataProduct"))
        return false;
    for (QDomElement el = root.firstChildElement(); !el.isNull(); el = el.nextSiblingElement()) {
        const QString tag = el.tagName();
        if (tag == QLatin1String("firm")) {
            if (el.attribute(QStringLiteral("name")) != QLatin1String("QUORIX"))
                break;
            continue;
        }
        if (tag != QLatin1String("UpdataClass"))
            continue;
        const QString className = el.attribute(QStringLiteral("Name"));
        if (className.isEmpty())
            continue;
        if (className == QLatin1String("Drive")) {
            m_driveVersion = el.attribute(QStringLiteral("versions"));
            m_drivePath = el.attribute(QStringLiteral("path"));
            m_keyboardUpdate = el.attribute(QStringLiteral("OPenUpdataKeyborad")).size() <= 4;
            continue;
        }
        auto *cls = new CatalogueClass;
        for (QDomElement e = el.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            if (e.attribute(QStringLiteral("Open")) != QLatin1String("on"))
                continue;
            auto *entry = new CatalogueEntry;
            entry->name = className;
            entry->version = e.attribute(QStringLiteral("Version"));
            entry->exepath = e.attribute(QStringLiteral("exepath"));
            entry->recpath = e.attribute(QStringLiteral("recpath"));
            entry->typ = e.attribute(QStringLiteral("Typ"));
            if (entry->typ == QLatin1String("Wired")) {
                delete cls->wired;
                cls->wired = entry;
            } else if (entry->typ == QLatin1String("Wireless")) {
                delete cls->receiver;
                cls->receiver = entry;
            } else {
                cls->further.append(entry);
            }
        }
        // The replaced class is freed: its entries are owned here and nobody else keeps them
        // beyond a look-up.
        delete m_classes.value(className, nullptr);
        m_classes.insert(className, cls);
    }
    return true;
}

QVector<ProductRecord> QWebDeviceVersionCheck::ProductsForIds(ushort vid, ushort pid, bool either)
{
    return FindProduct(vid, pid, either);
}

CatalogueClass *QWebDeviceVersionCheck::DeviceEntries(const DeviceRecord *dev) const
{
    if (!dev)
        return nullptr;
    if (dev->vendorId == 0x258A && dev->productId == 0x0138 && dev->CodeText().isEmpty())
        return ClassNamed(QString::fromUtf8(UncodedModelName));
    if (!dev->name.isEmpty())
        return ClassNamed(dev->name);
    const QVector<ProductRecord> products = ProductsForIds(dev->vendorId, dev->productId, true);
    if (products.isEmpty())
        return nullptr;
    return ClassNamed(products.first().name);
}

CatalogueClass *QWebDeviceVersionCheck::PixArtEntries(const DeviceRecord *dev) const
{
    if (!dev || dev->name.isEmpty())
        return nullptr;
    return ClassNamed(dev->name + QStringLiteral("_PixArt"));
}

CatalogueClass *QWebDeviceVersionCheck::GeehyEntries(const DeviceRecord *dev) const
{
    if (!dev || dev->name.isEmpty())
        return nullptr;
    return ClassNamed(dev->name + QStringLiteral("_Geehy"));
}

QString QWebDeviceVersionCheck::MakeEntryKey(bool onReceiver, const QString &rateText)
{
    return MakeEntryKey(onReceiver, onReceiver, rateText);
}

QString QWebDeviceVersionCheck::MakeEntryKey(bool onReceiver, bool receiverRate, const QString &rateText)
{
    // A short or non-digit rate text gives no key rather than a read past its end.
    const int at = receiverRate ? 1 : 0;
    if (rateText.size() <= at || !rateText.at(at).isDigit())
        return QString();
    return QStringLiteral("%1%2K").arg(onReceiver ? QStringLiteral("Wireless_") : QStringLiteral("Wired_"))
        .arg(rateText.at(at).digitValue());
}

QString QWebDeviceVersionCheck::EntryKey(const DeviceRecord *dev) const
{
    if (!dev)
        return QString();
    const uint8_t state = dev->connectionState.load();
    const bool onReceiver = state == StateWirelessAwake || state == StateWirelessAsleep;
    const QVector<ProductRecord> products = ProductsForIds(dev->vendorId, dev->productId, true);
    if (products.isEmpty())
        return QString();
    if (onReceiver) {
        for (const ProductRecord &p : products) {
            if (p.receiverIds && p.receiverIds->vid == dev->vendorId && p.receiverIds->pid == dev->productId)
                return MakeEntryKey(true, p.maxRor);
        }
    }
    // The prefix follows the connection; only the rate digit falls back to the wired one.
    return MakeEntryKey(onReceiver, false, products.last().maxRor);
}

CatalogueEntry *QWebDeviceVersionCheck::findFurther(CatalogueClass *cls, const DeviceRecord *dev) const
{
    if (!cls)
        return nullptr;
    const QString key = EntryKey(dev);
    if (key.isEmpty())
        return nullptr;
    for (CatalogueEntry *entry : qAsConst(cls->further)) {
        if (entry->typ == key)
            return entry;
    }
    return nullptr;
}

CatalogueEntry *QWebDeviceVersionCheck::FindPixArtEntry(const DeviceRecord *dev) const
{
    return findFurther(PixArtEntries(dev), dev);
}

CatalogueEntry *QWebDeviceVersionCheck::FindGeehyEntry(const DeviceRecord *dev) const
{
    return findFurther(GeehyEntries(dev), dev);
}

int QWebDeviceVersionCheck::EntryVersionNumber(const QString &version)
{
    bool ok = false;
    const int value = version.mid(1).toInt(&ok, 16);
    return ok ? value : 0;
}

int QWebDeviceVersionCheck::PixArtVersion(const DeviceRecord *dev) const
{
    const CatalogueEntry *entry = FindPixArtEntry(dev);
    return entry ? EntryVersionNumber(entry->version) : -1;
}

int QWebDeviceVersionCheck::GeehyVersion(const DeviceRecord *dev) const
{
    const CatalogueEntry *entry = FindGeehyEntry(dev);
    return entry ? EntryVersionNumber(entry->version) : -1;
}
