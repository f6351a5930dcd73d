#pragma once
#include <QWidget>
#include <cstdint>

class QACombxBox;
class QLabel;
class QQuorixLabel;
struct DeviceRecord;

// The keyboard settings tab: sleep, report rate, low-latency debounce, Mac/Windows mode and
// Windows-key lock, each a byte (the debounce of one product two) of the keyboard's stored
// configuration block at the positions the layout gives. Shown from the block, changed into it
// and sent by the keyboard worker.
class QKeyBoradConfigSet : public QWidget
{
    Q_OBJECT
public:
    explicit QKeyBoradConfigSet(QWidget *parent = nullptr);

    // The product whose debounce takes two bytes and two drop-downs (the name a device record
    // carries); "Keyboard/TwoByteDebounceProduct" of "SysBuild.ini".
    QString TwoByteDebounceProduct;

    void RefreshPage();

    // A position is used only inside the 150-byte block (the second debounce byte included).
    static bool ValidPos(int pos, int width = 1) { return pos > 0 && pos + width - 1 < 150; }
    static int SleepIndexOf(uint8_t value);
    static int SleepValueOf(int index); // -1: no such item

    QACombxBox *SleepCombox = nullptr;
    QACombxBox *ReportRateCombox = nullptr;
    QACombxBox *DebbounceCombox = nullptr;
    QACombxBox *DebbounceCombox_2 = nullptr;
    QACombxBox *SystimeCombox = nullptr;
    QACombxBox *WinLockCombox = nullptr;

Q_SIGNALS:
    void KeyBoradConfigPramChange(uchar *DATAPTR);

public Q_SLOTS:
    void on_Comboxactivated(int index);
    void on_LangualChange();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setupUi();
    void retranslateUi();
    void InitComboViews();
    bool IsSpecial(const DeviceRecord *device) const;
    void ShowBlock();
    QStringList SleepItems() const;

    QQuorixLabel *SleepLabel = nullptr, *ReportRateLabel = nullptr, *DebbounceLabel = nullptr, *SystimeLabel = nullptr,
                 *LockWinLabel = nullptr;
    QLabel *SleepInfolabel = nullptr, *ReportRateInfolabel = nullptr, *DebbounceInfoLabel = nullptr,
           *SystimeInfolabel = nullptr, *LockWinInfolabel = nullptr;
};
