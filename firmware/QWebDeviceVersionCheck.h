#pragma once
#include "app/ProductRecord.h"
#include "firmware/CatalogueClass.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QVector>

struct DeviceRecord;

// The parsed online version catalogue: the newest program version and, per device class,
// the newest firmware entries. One shared instance, GUI thread only.
class QWebDeviceVersionCheck : public QObject
{
    Q_OBJECT
public:
    static QWebDeviceVersionCheck *Instance();
    ~QWebDeviceVersionCheck() override;

    // Reads a catalogue file; repeated calls add and replace classes. False when the file is
    // missing, unreadable or not a catalogue (nothing is changed then).
    bool ParseCatalogue(const QString &path);

    QString DriveVersion() const { return m_driveVersion; }
    QString DriveDownloadPath() const { return m_drivePath; }
    // Keyboards are offered firmware only while the catalogue leaves this set.
    bool KeyboardUpdateSwitch() const { return m_keyboardUpdate; }

    CatalogueClass *ClassNamed(const QString &name) const { return m_classes.value(name, nullptr); }
    CatalogueClass *DeviceEntries(const DeviceRecord *dev) const;
    CatalogueClass *PixArtEntries(const DeviceRecord *dev) const;
    CatalogueClass *GeehyEntries(const DeviceRecord *dev) const;
    QString EntryKey(const DeviceRecord *dev) const;
    CatalogueEntry *FindPixArtEntry(const DeviceRecord *dev) const;
    CatalogueEntry *FindGeehyEntry(const DeviceRecord *dev) const;
    int PixArtVersion(const DeviceRecord *dev) const;
    int GeehyVersion(const DeviceRecord *dev) const;

    static QVector<ProductRecord> ProductsForIds(ushort vid, ushort pid, bool either);
    // The number of an entry version: the text after its first character, as hexadecimal.
    static int EntryVersionNumber(const QString &version);
    // The key of a further entry for a connection and a two-digit rate text; empty when the
    // rate text has no digit at the place it is read from.
    static QString MakeEntryKey(bool onReceiver, const QString &rateText);
    // The same with the rate digit chosen apart from the prefix: the receiver's (second) digit
    // when receiverRate, else the wired (first) one.
    static QString MakeEntryKey(bool onReceiver, bool receiverRate, const QString &rateText);

    // The class name of the one product whose records carry no device code.
    static const char *const UncodedModelName;

private:
    QWebDeviceVersionCheck() = default;
    CatalogueEntry *findFurther(CatalogueClass *cls, const DeviceRecord *dev) const;

    QMap<QString, CatalogueClass *> m_classes;
    QString m_driveVersion;
    QString m_drivePath;
    bool m_keyboardUpdate = false;
};
