#include "device/QDpiConfigMange.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "device/DpiConfigRecord.h"
#include "macros/OpenXmlDocument.h"

#include <QDomElement>

namespace {
int Number(const QDomElement &e, const char *name)
{
    return e.attribute(QLatin1String(name)).trimmed().toInt(); // missing or bad text: 0
}

// The two "|" numbers of a range; both 0 with fewer than two parts. A number that does not
// fit a byte is clamped, and logged, rather than cut to its low byte.
void Range(const QDomElement &e, uint8_t &first, uint8_t &second)
{
    const QStringList parts = e.attribute(QStringLiteral("data")).split(QLatin1Char('|'));
    if (parts.size() < 2) {
        first = second = 0;
        return;
    }
    auto toByte = [&](const QString &t) {
        const int v = t.trimmed().toInt();
        if (v < 0 || v > 255) {
            WriteLogLine(QStringLiteral("DpiEditConfig.xml: %1 range value %2 out of 0..255").arg(e.tagName()).arg(v));
            return static_cast<uint8_t>(v < 0 ? 0 : 255);
        }
        return static_cast<uint8_t>(v);
    };
    first = toByte(parts.at(0));
    second = toByte(parts.at(1));
}

// OPen="-1" marks the setting absent: false, address -1, nothing else read.
bool Present(const QDomElement &e, int32_t &address)
{
    if (Number(e, "OPen") == -1) {
        address = -1;
        return false;
    }
    address = Number(e, "Address");
    return true;
}
} // namespace

QDpiConfigMange::QDpiConfigMange(QObject *parent) : QObject(parent) {}

uint8_t QDpiConfigMange::SideFromText(const QString &text)
{
    // a bit mask: FRONT 1, BACK 2, both 3 (the initial ports of 1 are the front side)
    if (text == QLatin1String("FRONT"))
        return 1;
    if (text == QLatin1String("BACK"))
        return 2;
    return 3;
}

DpiConfigRecord *QDpiConfigMange::Read(const QString &product)
{
    if (product.isEmpty() || !IsSafeFileComponent(product))
        return nullptr;
    return Parse(QStringLiteral("%1/Products/%2/DpiEditConfig.xml").arg(AppDirPath(), product));
}

DpiConfigRecord *QDpiConfigMange::Parse(const QString &path)
{
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("DpiEditModel"))
        return nullptr;
    auto *r = new DpiConfigRecord;
    for (QDomNode n = root.firstChild(); !n.isNull(); n = n.nextSibling()) {
        const QDomElement e = n.toElement();
        if (e.isNull())
            continue;
        const QString tag = e.tagName();
        const QString data = e.attribute(QStringLiteral("data"));
        const uint8_t port = SideFromText(e.attribute(QStringLiteral("port")));
        auto list = [&](QStringList &values) { values = data.split(QLatin1Char('|')); };
        if (tag == QLatin1String("MouseSensor")) {
            if (Present(e, r->sensorAddress)) {
                r->sensorName = data;
                r->sensorPort = port;
            }
        } else if (tag == QLatin1String("MouseROR")) {
            if (Present(e, r->rorAddress)) {
                r->rorPort = port;
                list(r->rorValues);
            }
        } else if (tag == QLatin1String("MouseLod")) {
            if (Present(e, r->lodAddress)) {
                r->lodPort = port;
                if (data == QLatin1String("null"))
                    r->lodAddress = -1;
                else
                    list(r->lodValues);
            }
        } else if (tag == QLatin1String("MouseMoveUp")) {
            if (Present(e, r->moveUpAddress)) {
                r->moveUpPort = port;
                if (data == QLatin1String("null"))
                    r->moveUpAddress = -1;
                else
                    list(r->moveUpValues);
            }
        } else if (tag == QLatin1String("MouseDPisAddress")) {
            r->xDpiAddress = Number(e, "XsAddress");
            r->yDpiAddress = Number(e, "YsAddress");
            r->colorsAddress = Number(e, "ColorsAddress");
            r->currentDpiAddress = Number(e, "CurrntDpiAddress");
        } else if (tag == QLatin1String("WheelSpeed")) {
            const int open = Number(e, "OPen");
            r->wheelSpeed = open != 0 && open != -1; // -1 is "absent" here as everywhere else
        } else if (tag == QLatin1String("MouseSeep")) {
            if (Present(e, r->sleepAddress)) {
                r->sleepPort = port;
                Range(e, r->sleepRangeFirst, r->sleepRangeSecond);
            }
        } else if (tag == QLatin1String("MouseEffect")) {
            if (Present(e, r->effectAddress)) {
                r->effectPort = port;
                list(r->effectValues);
            }
        } else if (tag == QLatin1String("MouseMotion_Sync")) {
            if (Present(e, r->motionSyncAddress)) {
                r->motionSyncPort = port;
                list(r->motionSyncValues);
            }
        } else if (tag == QLatin1String("MouseShakeTime")) {
            if (Present(e, r->shakeAddress)) {
                r->shakePort = port;
                Range(e, r->shakeRangeFirst, r->shakeRangeSecond);
            }
        } else if (tag == QLatin1String("MouseRippleContro")) {
            if (Present(e, r->rippleAddress)) {
                r->ripplePort = port;
                list(r->rippleValues);
            }
        } else if (tag == QLatin1String("MouseLine_Correction")) {
            if (Present(e, r->lineAddress)) {
                r->linePort = port;
                list(r->lineValues);
            }
        }
    }
    return r;
}
