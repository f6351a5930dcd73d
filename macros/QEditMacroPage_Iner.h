#pragma once
#include "macros/MacroEventRecord.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QWidget>

// The event list of the macro editor: one macro as a flow of key, mouse and delay rows, and
// the codec between those rows and the 4-byte records the devices play.
class QEditMacroPage_Iner : public QWidget
{
    Q_OBJECT
public:
    explicit QEditMacroPage_Iner(QWidget *parent = nullptr);
    ~QEditMacroPage_Iner() override;

    // Key code (Windows virtual-key code, 0xFF0D keypad Enter) -> USB keyboard usage; 0 for none.
    static uchar VkToDeviceCode(int keyCode);
    // USB keyboard usage -> key code; 0 for none.
    static uint DeviceCodeToVk(int usage);
    // The short name shown on a key row; empty for codes without one.
    static QString KeyName(uint keyCode);
    // Bytes 0-2 of a record: kind (one hex digit) and the delay, held to 20 bits.
    static QByteArray RecordHead(uint delay, const QString &kind);
    // The record buffer of a row list.
    static QByteArray EncodeRows(const QVector<MacroRow> &rows);
    // One 4-byte record; kind None for records that make no row.
    static MacroRecordEvent DecodeEvent(const QByteArray &record);
};
