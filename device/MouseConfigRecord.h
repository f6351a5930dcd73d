#pragma once
// The settings of one mouse as its worker last read them. A 16-bit setting the mouse lacks holds
// 0xFFFF. Held by the mouse's DeviceRecord through a shared pointer, so a page that still shows an
// older record keeps it alive while the worker attaches a new one.
#include <QByteArray>
#include <QVector>
#include <cstdint>

struct MouseConfigRecord
{
    uint16_t spare = 0;
    uint32_t maxDpi = 0;
    uint32_t maxReportRate = 0;
    uint32_t sleep = 0;
    uint16_t reportRate = 0;
    uint16_t motionSync = 0;
    uint16_t angleSnapping = 0;
    uint16_t debounce = 0;
    uint8_t secondFamily = 0;
    uint16_t rippleControl = 0;
    uint16_t liftOff = 0;
    uint8_t batteryLevel = 0;
    uint8_t stageCount = 0;
    uint8_t currentStage = 0;
    uint32_t currentDpi = 0;
    QVector<uint32_t> spareList;
    QVector<uint32_t> dpiValues;
    uint16_t lightEffect = 0;
    uint8_t lightParam1 = 0;
    uint8_t lightParam2 = 0;
    uint8_t sensorCode = 0;
    uint16_t moveUp = 0;
    uint16_t modeBits = 0;
    QByteArray image; // the device's settings image as last read (owned copy)
};
