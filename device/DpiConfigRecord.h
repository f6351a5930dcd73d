#pragma once
// Where each mouse setting lies in a product's 520-byte configuration image, and the values the
// product offers; read from the product's "DpiEditConfig.xml". One per read, owned by the caller.
#include <QString>
#include <QStringList>
#include <cstdint>

struct DpiConfigRecord
{
    QString sensorName;
    int32_t sensorAddress = -1;
    uint8_t sensorPort = 3;
    QStringList rorValues;
    int32_t rorAddress = -1;
    uint8_t rorPort = 3;
    QStringList lodValues;
    int32_t lodAddress = -1;
    uint8_t lodPort = 2;
    QStringList moveUpValues;
    int32_t moveUpAddress = -1;
    uint8_t moveUpPort = 1;
    uint8_t sleepRangeSecond = 0;
    uint8_t sleepRangeFirst = 0;
    int32_t sleepAddress = -1;
    uint8_t sleepPort = 3;
    QStringList effectValues;
    int32_t effectAddress = -1;
    uint8_t effectPort = 3;
    QStringList motionSyncValues;
    int32_t motionSyncAddress = -1;
    uint8_t motionSyncPort = 1;
    uint8_t shakeRangeSecond = 14;
    uint8_t shakeRangeFirst = 0;
    int32_t shakeAddress = -1;
    uint8_t shakePort = 2;
    QStringList rippleValues;
    int32_t rippleAddress = -1;
    uint8_t ripplePort = 1;
    QStringList lineValues;
    int32_t lineAddress = -1;
    uint8_t linePort = 2;
    int32_t currentDpiAddress = -1;
    int32_t xDpiAddress = -1;
    int32_t yDpiAddress = -1;
    int32_t colorsAddress = -1;
    bool wheelSpeed = false;

    // An address as an index into an image of imageLength bytes: -1 when the product lacks the
    // setting or the file names a position outside the image (never an index past the buffer).
    static int Checked(int32_t address, int imageLength);
};
