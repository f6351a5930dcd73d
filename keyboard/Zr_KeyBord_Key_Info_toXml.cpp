#include "keyboard/Zr_KeyBord_Key_Info_toXml.h"
#include "macros/OpenXmlDocument.h"

#include <QDomElement>

int32_t Zr_KeyBord_Key_Info_toXml::SignedNumber(const QString &text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok, 10);
    return ok && v >= INT32_MIN && v <= INT32_MAX ? static_cast<int32_t>(v) : 0;
}

uint32_t Zr_KeyBord_Key_Info_toXml::UnsignedNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('-')))
        return 0;
    bool ok = false;
    const qulonglong v = t.toULongLong(&ok, 10);
    return ok && v <= UINT32_MAX ? static_cast<uint32_t>(v) : 0;
}

namespace {
int32_t S(const QDomElement &e, const char *name)
{
    return Zr_KeyBord_Key_Info_toXml::SignedNumber(e.attribute(QLatin1String(name)));
}
uint32_t U(const QDomElement &e, const char *name)
{
    return Zr_KeyBord_Key_Info_toXml::UnsignedNumber(e.attribute(QLatin1String(name)));
}
// A key's place or size: past what a window system can place (signed 16 bits on X11) it reads as
// 0, like a number that does not parse, for the widget geometry adds these numbers in int.
int32_t P(const QDomElement &e, const char *name)
{
    const int32_t v = S(e, name), bound = Zr_KeyBord_Key_Info_toXml::kMaxScreenNumber;
    return v >= -bound && v <= bound ? v : 0;
}
QString T(const QDomElement &e, const char *name)
{
    return e.attribute(QLatin1String(name));
}
} // namespace

LayoutEffectEntry Zr_KeyBord_Key_Info_toXml::ReadEffectItem(const QDomElement &e)
{
    LayoutEffectEntry fx;
    fx.NameCode = static_cast<uint8_t>(U(e, "NameCode"));
    fx.luminance_Speedindex = static_cast<uint16_t>(S(e, "luminance_Speedindex"));
    fx.Colour_Index = static_cast<uint16_t>(S(e, "Colour_Index"));
    fx.ModelCode = static_cast<uint8_t>(U(e, "ModelCode"));
    fx.EditModel = T(e, "EditModel");
    return fx;
}

void Zr_KeyBord_Key_Info_toXml::ReadGroup(const QDomElement &keyArrs, bool readHidden, LayoutKeyGroups &groups)
{
    int32_t id = -1;
    QList<LayoutKeyRecord *> keys;
    for (QDomElement e = keyArrs.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (e.tagName() == QLatin1String("SubKey")) {
            auto *k = new LayoutKeyRecord;
            k->height = P(e, "height");
            k->width = P(e, "width");
            k->y = P(e, "y");
            k->x = P(e, "x");
            if (readHidden)
                k->hidden = T(e, "defunctHide") == QLatin1String("true") ? 1 : 0;
            k->Diypos = static_cast<uint8_t>(S(e, "Diypos"));
            k->Effectpos = S(e, "Effectpos");
            k->keypos = S(e, "keypos");
            k->KeyValue = T(e, "KeyValue");
            k->KeyName = T(e, "KeyName");
            k->KeyText = T(e, "KeyText");
            keys.append(k);
        } else if (e.tagName() == QLatin1String("KeyArrsTilte")) {
            id = S(e, "ID");
        }
    }
    auto it = groups.find(id);
    if (it != groups.end()) {
        qDeleteAll(it.value());
        it.value() = keys;
    } else {
        groups.insert(id, keys);
    }
}

LayoutKeyGroups Zr_KeyBord_Key_Info_toXml::ReadKeyBoardXml(const QString &path, QString &productName,
                                                            QString &productId, QString &imageNames,
                                                            QString &audioNames, QString &layerNames,
                                                            uint16_t &effectTypePos, LayoutEffectTable &effects,
                                                            uint8_t &diyNum, uint8_t &displayModel,
                                                            uint8_t &speedSteps, uint8_t &luminanceSteps,
                                                            LayoutPositions *positions)
{
    effects.clear();
    if (positions)
        *positions = LayoutPositions();
    LayoutKeyGroups groups;
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("KeyBoardRoot"))
        return groups;
    for (QDomElement c = root.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        const QString tag = c.tagName();
        if (tag == QLatin1String("BoardButtonDispModel")) {
            const QString model = T(c, "Model");
            if (model == QLatin1String("border"))
                displayModel = 1;
            else if (model == QLatin1String("TextAndImage"))
                displayModel = 2;
        } else if (tag == QLatin1String("ProductInfo")) {
            productName = T(c, "name");
            productId = T(c, "Id");
        } else if (tag == QLatin1String("AudionEffect")) {
            audioNames = T(c, "names");
        } else if (tag == QLatin1String("KeyEffect")) {
            for (QDomElement e = c.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
                if (e.tagName() == QLatin1String("Effect")) {
                    const LayoutEffectEntry fx = ReadEffectItem(e);
                    effects.insert(fx.NameCode, fx);
                } else if (e.tagName() == QLatin1String("Attribute")) {
                    effectTypePos = static_cast<uint16_t>(S(e, "Typ_Index"));
                    diyNum = static_cast<uint8_t>(S(e, "DiyNum"));
                } else if (e.tagName() == QLatin1String("EffectStep")) {
                    speedSteps = static_cast<uint8_t>(S(e, "Speed"));
                    luminanceSteps = static_cast<uint8_t>(S(e, "luminanceStep"));
                }
            }
        } else if (tag == QLatin1String("Images")) {
            imageNames = T(c, "names");
        } else if (tag == QLatin1String("parameterAddrs")) {
            if (positions) {
                positions->OsModePos = static_cast<int16_t>(U(c, "ios"));
                positions->MacModeValue = static_cast<uint8_t>(U(c, "Mac"));
                positions->WinModeValue = static_cast<uint8_t>(U(c, "Win"));
                positions->WinLockPos = static_cast<int16_t>(S(c, "LuckWin"));
                positions->SleepPos = static_cast<int16_t>(S(c, "delayed"));
                positions->DebouncePos = static_cast<int16_t>(S(c, "shake"));
                positions->ReportRatePos = static_cast<int16_t>(S(c, "RoR"));
            }
        } else if (tag == QLatin1String("LaverTexts")) {
            layerNames = T(c, "names");
        } else if (tag == QLatin1String("KeyArrs")) {
            ReadGroup(c, true, groups);
        }
    }
    return groups;
}

LayoutKeyGroups Zr_KeyBord_Key_Info_toXml::ReadKeyArrs(const QString &path)
{
    LayoutKeyGroups groups;
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("KeyBoardRoot"))
        return groups;
    for (QDomElement c = root.firstChildElement(QStringLiteral("KeyArrs")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("KeyArrs")))
        ReadGroup(c, false, groups);
    return groups;
}

void Zr_KeyBord_Key_Info_toXml::Clear(LayoutKeyGroups &groups)
{
    for (auto &keys : groups) {
        qDeleteAll(keys);
        keys.clear();
    }
}
