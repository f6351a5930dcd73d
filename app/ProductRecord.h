#pragma once
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>

// Ids of one connection of a product: product id, vendor id, report id (low 8 bits used).
struct ProductIds
{
    uint16_t pid = 0;
    uint16_t vid = 0;
    uint16_t reportId = 0;
};

// One product of the catalogue "YProduct.xml".
struct ProductRecord
{
    std::optional<ProductIds> receiverIds; // "ProductBlue"
    std::optional<ProductIds> wiredIds;    // "Productusb"
    uint8_t family = 1;                    // "Core": 900 1, 8805 2, XG 3, YX 4, XS 5
    QString folder;                        // "ProductDir"
    uint8_t deviceType = 0;                // "ProductTyp": 1 mouse, 2 keyboard
    QString name;                          // "ProductName"
    QImage picture;                        // "Productimage"
    QString deviceCode;                    // "Productpassword"
    QString maxRor;                        // "maxRor"
    QString hardware;                      // "ProductHardware"
    QImage smallPicture;                   // "MInImage"
    uint32_t dataLength = 520;             // "dataLength"
    uint32_t dataLength24g = 20;           // "dataLength24g"
    bool isZrRtu = true;                   // "isZrRtu"
};
