#pragma once
// Reads a product's mouse memory map "DpiEditConfig.xml" into a new DpiConfigRecord.
#include <QObject>
#include <QString>
#include <cstdint>

struct DpiConfigRecord;

class QDpiConfigMange : public QObject
{
    Q_OBJECT
public:
    explicit QDpiConfigMange(QObject *parent = nullptr);

    // Null for an empty or unsafe product folder name; else Parse of the product's file.
    DpiConfigRecord *Read(const QString &product);
    // Null when the file is missing, not XML or its root is not "DpiEditModel"; the caller owns
    // the record.
    DpiConfigRecord *Parse(const QString &path);
    static uint8_t SideFromText(const QString &text);
};
