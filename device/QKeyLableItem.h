#pragma once
#include "app/ProductRecord.h"

#include <QImage>
#include <QVector>
#include <QString>
#include <QWidget>
#include <cstdint>

class QCheckBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class Battery;
struct DeviceRecord;
struct DownTask;

// The tile of one open device on the device list: picture, name, online dot, wired or
// wireless badge, battery gauge and the (hidden) firmware-update button. A left click opens
// the device's page.
class QKeyLableItem : public QWidget
{
    Q_OBJECT
public:
    explicit QKeyLableItem(QWidget *parent = nullptr);
    ~QKeyLableItem() override;

    void SetDevice(DeviceRecord *device);
    DeviceRecord *Device() const { return m_device; }
    void SetDeviceId(uint32_t id) { m_deviceId = id; }
    uint32_t DeviceId() const { return m_deviceId; }
    void SetPicture(const QImage &image);
    QImage Picture() const { return m_picture; }
    void SetNameForModel(const QString &text);
    QString ShownName() const;
    // The name handed to the device page (the product folder after a product refresh).
    void SetProductFolder(const QString &folder) { m_deviceName = folder; }
    QString ProductFolder() const { return m_deviceName; }
    QWidget *UpdateButton() const;
    void SetUpdateButtonHidden(bool hidden);
    bool HasUpdate() const { return m_firmwareUpdate || m_secondFirmwareUpdate; }
    bool FirstUpdateFound() const { return m_firmwareUpdate; }
    // The result of the last second-family check (the device's second chip is out of date).
    bool SecondUpdateFound() const { return m_secondFirmwareUpdate; }
    // True from a confirmed update click until its downloads were handed on.
    bool IsDownloading() const { return m_asking || !m_updateTasks.isEmpty(); }
    int CheckCount() const { return m_checkCount; }
    bool IsOpening() const { return m_clickLock; }

    // The dot's and the badge's texts, the gauge (for tests and the page).
    QString OnlineText() const;
    QString ConnectionText() const;
    Battery *Gauge() const { return Pow_ICon; }

    // The product whose whole "Productpassword" equals the code (both upper-cased).
    static ProductRecord ProductByDeviceCode(const QString &code);
    // The first product whose "|"-separated "Productpassword" list holds the upper-cased code.
    static ProductRecord FindProductByDeviceCode(const QString &code);

Q_SIGNALS:
    void HidItem(QWidget *thisptr, bool show);

public Q_SLOTS:
    void On_UpdataItem();
    void On_UpdataConnect();
    void On_UpdataProduct();
    void On_UpPowvalue();
    void On_CheckUpgrade();
    void on_test();
    void on_ButUpdata_clicked();
    void on_TaskEnd(DownTask **ptrs, int count);
    void on_LanguageChange();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupUi();
    void ShowPicture();
    void FinishOpen();

    QGridLayout *gridLayout = nullptr;
    QWidget *insideWidget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout_3 = nullptr;
    QCheckBox *ConnectIcon = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QLabel *LablePictue = nullptr;
    QPushButton *DeviceName = nullptr;
    QWidget *BottomWidget = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QCheckBox *ButUpdata = nullptr;
    QCheckBox *ConnectTypIcon = nullptr;
    Battery *Pow_ICon = nullptr;

    int m_checkCount = 0;
    QString m_deviceName;
    uint32_t m_deviceId = 0;
    uint8_t m_subType = 1;
    DeviceRecord *m_device = nullptr;
    QImage m_picture;
    bool m_clickLock = false;
    bool m_firmwareUpdate = false;
    bool m_secondFirmwareUpdate = false;
    // The firmware downloads this tile queued, in the order they were made.
    QVector<DownTask *> m_updateTasks;
    bool m_asking = false;
};
