#include "app/ProductCatalogue.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "macros/SetXmlContent.h"

#include <QFile>
#include <QMutex>
#include <QStringList>

namespace {

QVector<ProductRecord> &cache()
{
    static QVector<ProductRecord> list;
    return list;
}

QImage loadPicture(const QString &folder, const QString &file)
{
    if (file.isEmpty())
        return QImage();
    // a picture name is one file of the product's folder, as the folder is one of "Products"
    if (!IsSafeFileComponent(file)) {
        WriteLogLine(QStringLiteral("YProduct.xml: picture \"%1\" of \"%2\" not loaded, unsafe name").arg(file, folder));
        return QImage();
    }
    return QImage(QStringLiteral("%1/Products/%2/%3").arg(AppDirPath(), folder, file));
}

ProductRecord buildRecord(const QDomElement &e)
{
    ProductRecord r;
    auto attr = [&e](const char *name) { return e.attribute(QLatin1String(name)); };
    r.folder = attr("ProductDir");
    r.deviceType = static_cast<uint8_t>(attr("ProductTyp").toUInt() & 0xFF);
    r.name = attr("ProductName");
    r.deviceCode = attr("Productpassword");
    r.maxRor = attr("maxRor");
    r.hardware = attr("ProductHardware");
    r.dataLength = attr("dataLength").toUInt();
    r.dataLength24g = attr("dataLength24g").toUInt();
    r.isZrRtu = attr("isZrRtu").toUInt() != 0;
    r.family = ParseProductFamily(attr("Core"));
    r.receiverIds = ParseProductIds(attr("ProductBlue"));
    r.wiredIds = ParseProductIds(attr("Productusb"));
    r.picture = loadPicture(r.folder, attr("Productimage"));
    r.smallPicture = loadPicture(r.folder, attr("MInImage"));
    return r;
}

// Every lookup reads the catalogue again, workers' lookups too: a missing or broken catalogue is
// logged once, not at each lookup. A good read (empty text) forgets it, so a later breakage is
// logged again. The file's path is part of what is kept: another program folder, another catalogue.
void reportCatalogue(const QString &file, const QString &text)
{
    static QMutex mutex;
    static QString last;
    QMutexLocker lock(&mutex);
    const QString key = text.isEmpty() ? QString() : file + QLatin1Char('\n') + text;
    if (last == key)
        return;
    last = key;
    if (!text.isEmpty())
        WriteLogLine(text);
}

bool idsMatch(const std::optional<ProductIds> &ids, ushort vid, ushort pid)
{
    // An absent block matches nothing: virtual HID devices often report 0000:0000.
    return ids && ids->vid == vid && ids->pid == pid;
}

} // namespace

uint8_t ParseProductFamily(const QString &core)
{
    static const char *const names[] = {"900", "8805", "XG", "YX", "XS"};
    for (int i = 0; i < 5; ++i) {
        if (core == QLatin1String(names[i]))
            return static_cast<uint8_t>(i + 1);
    }
    return 1;
}

std::optional<ProductIds> ParseProductIds(const QString &text)
{
    QString t = text;
    t.remove(QStringLiteral("0x"));
    const QStringList parts = t.split(QLatin1Char('|'), Qt::KeepEmptyParts);
    if (parts.size() != 3)
        return std::nullopt;
    ProductIds ids;
    ids.vid = static_cast<uint16_t>(parts[0].toUInt(nullptr, 16));
    ids.pid = static_cast<uint16_t>(parts[1].toUInt(nullptr, 16));
    ids.reportId = static_cast<uint16_t>(parts[2].toUInt(nullptr, 16));
    return ids;
}

QDomDocument OpenProductXml()
{
    QDomDocument doc;
    QFile file(AppDirPath() + QStringLiteral("/YProduct.xml"));
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    if (!SetXmlContent(doc, file.readAll()))
        return QDomDocument();
    return doc;
}

QVector<ProductRecord> LoadProductList()
{
    QVector<ProductRecord> list;
    const QDomDocument doc = OpenProductXml();
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("YProduct")) {
        const QString file = AppDirPath() + QStringLiteral("/YProduct.xml");
        if (!QFile::exists(file))
            reportCatalogue(file, QStringLiteral("YProduct.xml missing: no product is known"));
        else
            reportCatalogue(file, QStringLiteral("YProduct.xml unreadable: no product is known"));
        return list;
    }
    reportCatalogue(QString(), QString());
    for (QDomElement e = root.firstChildElement(QStringLiteral("SubProduct")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("SubProduct"))) {
        const QString folder = e.attribute(QStringLiteral("ProductDir"));
        // Every product path is built from the folder name: it must stay inside "Products".
        if (!IsSafeFileComponent(folder)) {
            WriteLogLine(QStringLiteral("YProduct.xml: product \"%1\" skipped, unsafe folder \"%2\"")
                             .arg(e.attribute(QStringLiteral("ProductName")), folder));
            continue;
        }
        list.append(buildRecord(e));
    }
    return list;
}

QVector<ProductRecord> GetProductList()
{
    if (cache().isEmpty())
        cache() = LoadProductList();
    return cache();
}

void ClearProductListCache()
{
    cache().clear();
}

QVector<ProductRecord> FindProduct(ushort vid, ushort pid, bool anyPair)
{
    QVector<ProductRecord> found;
    for (const ProductRecord &r : LoadProductList()) {
        if (idsMatch(r.wiredIds, vid, pid) || (anyPair && idsMatch(r.receiverIds, vid, pid)))
            found.append(r);
    }
    return found;
}

ProductRecord FindProductRecord(const QString &code)
{
    // An empty or all-zero code means "no code": it must not pick a product without one.
    if (code.isEmpty() || code == QLatin1String("000000000000"))
        return ProductRecord();
    const QString wanted = code.toUpper();
    for (const ProductRecord &r : LoadProductList()) {
        if (r.deviceCode.toUpper() == wanted)
            return r;
    }
    return ProductRecord();
}
