#include "device/HidClassify.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "platform/HidPlatform.h"

#include <QDebug>

#include <hidapi.h>

QVector<HidInterfaceEntry> EnumerateHidInterfaces(uint16_t vendorId, uint16_t productId)
{
    QVector<HidInterfaceEntry> out;
    hid_device_info *list = hid_enumerate(vendorId, productId);
    QSet<QString> seen;
    for (hid_device_info *e = list; e; e = e->next) {
        if (!e->path)
            continue;
        const QString path = QString::fromLocal8Bit(e->path);
        if (seen.contains(path))
            continue; // hidapi lists a node once per TLC; the descriptor gives all of them
        seen.insert(path);
        bool ok = false;
        const QVector<platform::HidTlc> tlcs = platform::ParseReportDescriptor(platform::HidReportDescriptor(path), &ok);
        if (!ok)
            continue;
        for (const platform::HidTlc &tlc : tlcs) {
            HidInterfaceEntry entry;
            entry.path = path;
            entry.vendorId = e->vendor_id;
            entry.productId = e->product_id;
            entry.release = e->release_number;
            entry.productString = e->product_string ? QString::fromWCharArray(e->product_string) : QString();
            entry.tlc = tlc;
            out.append(entry);
        }
    }
    hid_free_enumeration(list);
    return out;
}

ReportShape ShapeOf(int in, int out, int feature)
{
    if (feature == 520 || (in == 20 && out == 20))
        return ReportShape::A;
    if (feature == 64 || (out == 64 && (in == 32 || in == 12)))
        return ReportShape::B;
    if (feature == 65 && in == 0 && out == 0)
        return ReportShape::C;
    return ReportShape::None;
}

bool IdPairMatches(uint16_t vid, uint16_t pid, const std::optional<ProductIds> &ids)
{
    return ids.has_value() && ids->vid == vid && ids->pid == pid;
}

static uint8_t Rid(const std::optional<ProductIds> &ids)
{
    return ids ? static_cast<uint8_t>(ids->reportId & 0xFF) : 0;
}

// Shape A of both paths; familyTest only in the first scan.
static std::optional<Classification> ClassifyShapeA(const HidInterfaceEntry &e, const ProductRecord &p, bool reopen)
{
    Classification c;
    const platform::HidTlc &t = e.tlc;
    if (p.deviceType == 2) {
        c.deviceType = 2;
        c.setsState = true;
        if (t.featureLength == 520) {
            c.kind = KindKeyboardWired;
            c.state = StateWired;
            c.reportId = Rid(p.wiredIds);
        } else {
            if (reopen && t.inputLength != 20)
                return std::nullopt;
            c.kind = KindKeyboardReceiver;
            c.state = StateWirelessAsleep;
            c.reportId = Rid(p.receiverIds);
        }
        return c;
    }
    if (p.deviceType == 1) {
        c.deviceType = 1;
        c.setsState = true;
        if (IdPairMatches(e.vendorId, e.productId, p.receiverIds)) {
            c.kind = KindMouseReceiver;
            c.state = StateWirelessAsleep;
            c.reportId = Rid(p.receiverIds);
        } else if (IdPairMatches(e.vendorId, e.productId, p.wiredIds)) {
            c.kind = KindMouseWired;
            c.state = StateWired;
            c.reportId = Rid(p.wiredIds);
        } else {
            return std::nullopt;
        }
        return c;
    }
    return std::nullopt;
}

static std::optional<Classification> ClassifyShapeB(const HidInterfaceEntry &e, const ProductRecord &p, bool reopen)
{
    const platform::HidTlc &t = e.tlc;
    const bool wired = !IdPairMatches(e.vendorId, e.productId, p.receiverIds)
                       && IdPairMatches(e.vendorId, e.productId, p.wiredIds);
    Classification c;
    if (t.featureLength == 64)
        c.kind = wired ? KindSecondFeatureWired : KindSecondFeatureReceiver;
    else if (t.outputLength == 64 && (t.inputLength == 12 || (!reopen && t.inputLength == 32)))
        c.kind = wired ? KindSecondIoWired : KindSecondIoReceiver;
    else
        return std::nullopt;
    c.reportId = wired ? Rid(p.wiredIds) : Rid(p.receiverIds);
    c.deviceType = p.deviceType;
    return c; // the connection state is left to the second-family worker
}

std::optional<Classification> ClassifyFirstScan(const HidInterfaceEntry &e)
{
    const platform::HidTlc &t = e.tlc;
    const ReportShape shape = ShapeOf(t.inputLength, t.outputLength, t.featureLength);
    if (shape != ReportShape::A && shape != ReportShape::B)
        return std::nullopt;
    const QVector<ProductRecord> products = FindProductList(e.vendorId, e.productId, true);
    if (products.isEmpty())
        return std::nullopt;
    const ProductRecord &p = products.first(); // only the first product counts
    if (shape == ReportShape::A) {
        if (p.family != 1 && p.family != 2)
            return std::nullopt;
        return ClassifyShapeA(e, p, false);
    }
    if (p.family != 4)
        return std::nullopt;
    return ClassifyShapeB(e, p, false);
}

std::optional<Classification> ClassifyReopen(const HidInterfaceEntry &e)
{
    const platform::HidTlc &t = e.tlc;
    const ReportShape shape = ShapeOf(t.inputLength, t.outputLength, t.featureLength);
    if (shape == ReportShape::None)
        return std::nullopt;
    const QVector<ProductRecord> products = FindProductList(e.vendorId, e.productId, true);
    if (products.isEmpty())
        return std::nullopt;
    const ProductRecord &p = products.first();
    if (shape == ReportShape::A)
        return ClassifyShapeA(e, p, true);
    if (shape == ReportShape::B)
        return ClassifyShapeB(e, p, true);
    Classification c; // shape C
    if (IdPairMatches(e.vendorId, e.productId, p.receiverIds)) {
        c.kind = KindOutsideReceiver;
        c.setsState = true;
        c.state = StateWirelessAwake;
        c.reportId = Rid(p.receiverIds);
    } else if (IdPairMatches(e.vendorId, e.productId, p.wiredIds)) {
        c.kind = KindOutsideWired;
        c.reportId = Rid(p.wiredIds);
    } else {
        return std::nullopt;
    }
    c.deviceType = p.deviceType;
    return c;
}

static void Apply(DeviceRecord *r, const Classification &c)
{
    r->kind = c.kind;
    r->reportId = c.reportId;
    if (c.deviceType)
        r->deviceType = c.deviceType;
    if (c.setsState)
        r->connectionState = c.state;
}

static void FillIdentity(DeviceRecord *r, const HidInterfaceEntry &e)
{
    r->deviceId = InterfaceDeviceId(e.path);
    DeviceVersionNumber(r);
    SetDevicePath(r, e.path);
    SetDeviceProductString(r, e.productString.isEmpty() ? ReadProductString(r) : e.productString);
    r->vendorId = e.vendorId;
    r->productId = e.productId;
}

QList<DeviceRecord *> ScanAndOpenDevices()
{
    QList<DeviceRecord *> result;
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces()) {
        // Classified from the descriptor first, so that other makers' devices are never opened.
        const std::optional<Classification> c = ClassifyFirstScan(e);
        if (!c)
            continue;
        DeviceRecord *r = OpenDeviceRecord(e.path, e.tlc);
        if (!r)
            continue; // cannot be opened: skipped without a message
        Apply(r, *c);
        FillIdentity(r, e);
        result.append(r);
    }
    return result;
}

DeviceRecord *ReopenDevice(uint32_t deviceId, uint16_t vendorId, uint16_t productId)
{
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces()) {
        if (e.vendorId != vendorId || e.productId != productId || InterfaceDeviceId(e.path) != deviceId)
            continue;
        const std::optional<Classification> c = ClassifyReopen(e);
        if (!c)
            continue; // an unclassified interface is never handed out as a "wired keyboard"
        DeviceRecord *r = OpenDeviceRecord(e.path, e.tlc);
        if (!r)
            continue;
        r->deviceId = deviceId;
        r->vendorId = vendorId;
        r->productId = productId;
        Apply(r, *c);
        SetDevicePath(r, e.path); // filled here too: later steps need it
        SetDeviceProductString(r, e.productString);
        return r;
    }
    return nullptr;
}

QList<DeviceRecord *> OpenArrivedSecondFamily(const QSet<uint32_t> &knownIds, uint32_t deviceId, uint16_t vendorId,
                                              uint16_t productId)
{
    QList<DeviceRecord *> result;
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces()) {
        const uint32_t id = InterfaceDeviceId(e.path);
        if (knownIds.contains(id) || e.vendorId != vendorId || e.productId != productId)
            continue;
        const platform::HidTlc &t = e.tlc;
        if (!(t.featureLength == 64 || (t.outputLength == 64 && (t.inputLength == 32 || t.inputLength == 12))))
            continue;
        qDebug("Input %x | Device %x", deviceId, id);
        const QVector<ProductRecord> products = FindProductList(vendorId, productId, true);
        if (products.isEmpty() || products.first().family != 4)
            continue;
        const std::optional<Classification> c = ClassifyShapeB(e, products.first(), false);
        if (!c)
            continue;
        DeviceRecord *r = OpenDeviceRecord(e.path, e.tlc);
        if (!r)
            continue;
        Apply(r, *c);
        FillIdentity(r, e);
        result.append(r);
    }
    return result;
}

QVector<ProductRecord> FindProductList(uint16_t vid, uint16_t pid, bool includeReceiver)
{
    return FindProduct(vid, pid, includeReceiver);
}

bool ProductFlagByIds(uint16_t vid, uint16_t pid)
{
    for (const ProductRecord &p : GetProductList())
        if (IdPairMatches(vid, pid, p.receiverIds) || IdPairMatches(vid, pid, p.wiredIds))
            return p.isZrRtu;
    return false;
}

bool IsFamily4Product(uint16_t vid, uint16_t pid)
{
    for (const ProductRecord &p : FindProductList(vid, pid, true))
        if (p.family == 4)
            return true;
    return false;
}

bool IsKnownCode(const QString &code)
{
    if (code.isEmpty())
        return false;
    const QString upper = code.toUpper();
    for (const ProductRecord &p : GetProductList())
        if (!p.deviceCode.isEmpty() && p.deviceCode.toUpper() == upper)
            return true;
    return false;
}

ProductRecord FindProductByCodeText(const QString &code)
{
    for (const ProductRecord &p : GetProductList())
        // the workers store codes in lower case, the catalogue writes them in upper case
        if (!p.deviceCode.isEmpty() && code.contains(p.deviceCode, Qt::CaseInsensitive))
            return p;
    return ProductRecord();
}
