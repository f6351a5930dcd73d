#include "device/KeyboardCommandBuilder.h"
#include "device/ByteTools.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>
#include <cstring>

void KeyboardCommandBuilder::ShortRequest(uint8_t *report, uint8_t reportId, uint8_t command, uint8_t sub)
{
    std::memset(report, 0, 20);
    report[0] = reportId;
    report[1] = command;
    report[2] = sub;
    report[19] = ByteSum19(report);
}

void KeyboardCommandBuilder::FeatureReadRequest(uint8_t *buffer, uint8_t command, uint16_t length)
{
    buffer[1] = command;
    if (command == 0x82) {
        buffer[2] = 0x01;
        buffer[4] = 0x01;
        buffer[6] = 0x06;
        return;
    }
    buffer[4] = 0x01;
    buffer[6] = static_cast<uint8_t>(length & 0xFF);
    buffer[7] = static_cast<uint8_t>(length >> 8);
}

uint8_t *KeyboardCommandBuilder::ReceiverImage(uint8_t readCommand, const QByteArray &data)
{
    auto *image = static_cast<uint8_t *>(calloc(520, 1));
    image[0] = 0x06;
    image[1] = readCommand;
    image[4] = 0x01;
    if (readCommand == 0x84)
        image[6] = 0x80;
    else if (readCommand == 0x8A)
        image[7] = 0x02;
    else if (readCommand == 0x86)
        image[6] = 0x01;
    std::memcpy(image + 8, data.constData(), static_cast<size_t>(std::min(data.size(), 512)));
    return image;
}

void KeyboardCommandBuilder::SetBaseTrailer(uint8_t *image)
{
    static const uint8_t trailer[8] = {0x00, 0x00, 0x5A, 0xA5, 0x00, 0x00, 0x00, 0x00};
    std::memcpy(image + 512, trailer, sizeof trailer);
}

void KeyboardCommandBuilder::SetUploadTrailer(uint8_t *image)
{
    image[514] = 0x5A;
    image[515] = 0xA5;
}

bool KeyboardCommandBuilder::ParseColour(const QString &text, int *r, int *g, int *b)
{
    QString t = text.trimmed();
    if (t.startsWith(QLatin1Char('#')))
        t.remove(0, 1);
    static const QRegularExpression six(QStringLiteral("^[0-9A-Fa-f]{6}$"));
    if (!six.match(t).hasMatch())
        return false;
    *r = t.mid(0, 2).toInt(nullptr, 16);
    *g = t.mid(2, 2).toInt(nullptr, 16);
    *b = t.mid(4, 2).toInt(nullptr, 16);
    return true;
}
