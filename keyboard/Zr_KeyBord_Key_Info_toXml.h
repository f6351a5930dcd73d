#pragma once
#include "keyboard/LayoutKeyRecord.h"

#include <QObject>

class QDomElement;

// Parser of a keyboard layout file "<product>_KeyBoed.xml". Holds nothing: each call stands
// alone and touches no shared state, so the workers' threads may use it too.
class Zr_KeyBord_Key_Info_toXml : public QObject
{
    Q_OBJECT
public:
    explicit Zr_KeyBord_Key_Info_toXml(QObject *parent = nullptr) : QObject(parent) {}

    // The full parse. The effect table is emptied first; every other out-parameter keeps the
    // caller's value when its element is absent (positions: the defaults of LayoutPositions).
    // A missing file or another document element gives an empty table and touches nothing else.
    LayoutKeyGroups ReadKeyBoardXml(const QString &path, QString &productName, QString &productId,
                                    QString &imageNames, QString &audioNames, QString &layerNames,
                                    uint16_t &effectTypePos, LayoutEffectTable &effects, uint8_t &diyNum,
                                    uint8_t &displayModel, uint8_t &speedSteps, uint8_t &luminanceSteps,
                                    LayoutPositions *positions = nullptr);
    // Only the key groups; hidden flags stay 0.
    LayoutKeyGroups ReadKeyArrs(const QString &path);
    LayoutEffectEntry ReadEffectItem(const QDomElement &element);
    // Deletes every record of every group.
    void Clear(LayoutKeyGroups &groups);

    // Decimal text with optional blanks and sign; empty, invalid or beyond 32 bits gives 0.
    // The unsigned form takes no minus sign.
    static int32_t SignedNumber(const QString &text);
    // The largest place or size of a key, either sign; beyond it the number reads as 0.
    static constexpr int32_t kMaxScreenNumber = 32767;
    static uint32_t UnsignedNumber(const QString &text);

private:
    void ReadGroup(const QDomElement &keyArrs, bool readHidden, LayoutKeyGroups &groups);
};
