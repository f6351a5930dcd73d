#pragma once
#include "macros/MacroEventRecord.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>

class ItemThread;
class QEditMacroItemBase;
class QLabel;

// The event list of the macro editor: one macro as a flow of key, mouse and delay rows, filled
// by recording (the key and mouse hooks) or from stored records, and the codec between those
// rows and the 4-byte records the devices play.
class QEditMacroPage_Iner : public QWidget
{
    Q_OBJECT
public:
    // A recording or load stops adding rows once the list holds more than this many.
    static constexpr int kMaxRows = 150;

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

    // The record buffer of the current rows.
    QByteArray EncodeMacro() const;
    // Adds the row one record decodes to, if any.
    void DecodeRecord(const QByteArray &record);
    // Replaces the rows by those of a record buffer.
    void LoadMacroBuffer(const QByteArray &buffer);
    // Install both hooks and take their events; false (record button reset) when no capture runs.
    bool StartHooks();
    void StopHooks();
    bool IsRecording() const { return m_keyHooked || m_mouseHooked; }
    void ShowDelayItems(bool show);
    bool DelayRowsShown() const { return m_delayRows; }
    void RemoveItems();
    // Removes every row without telling the editor page that the macro changed.
    void ClearRows();

    const QVector<QEditMacroItemBase *> &Rows() const { return m_items; }
    QEditMacroItemBase *SelectedRow() const { return m_selected; }

public Q_SLOTS:
    void onHookKeyCodeValue(bool Press, uint Keycode, uint subtime);
    void onHookMouseValue(uint Keycode, uint SideChain, uint subtime);
    void on_Load_KeyCodeValue(bool Press, uint Keycode, uint subtime);
    void on_Load_MouseValue(uint mValue, uint SideChain, uint subtime);
    void on_ClearitemsAll();
    void on_HidCLosingUsb();
    void on_MacroRight(QEditMacroItemBase *row);
    void on_ActivatestudionTime(bool on) { m_useStandardDelay = on; }
    void on_ResetStudionTimeValue(short ms) { m_standardDelay = ushort(ms); }
    void PluginPressEvent(QEditMacroItemBase *row);
    void PluginMoveEvent(QEditMacroItemBase *row, const QPoint &globalPos);
    void PluginRepressEvent(QEditMacroItemBase *row);
    void on_DispInsetRect(const QPoint &pos);
    void on_HideRect();
    void on_InsetIndex(int index);
    // A delay row's value was edited.
    void on_DelayEdited();

Q_SIGNALS:
    void setdatatendency(bool Tendency);
    void setYPos(int y);
    void setYMaxPos(int maxvalue);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool RecordingOn() const;
    // False (and recording stopped, one message) when the list is full.
    bool RoomForRow(bool fromHooks);
    void AddKeyRow(bool down, uint keyCode, uint delay);
    bool AddMouseRow(uint message, uint data, uint delay);
    void AddItem(QEditMacroItemBase *row);
    void FitToItems(int extra);
    void LayoutItems();
    void RemoveRow(QEditMacroItemBase *row);
    void RemoveAllRows();
    void MoveSelectedTo(int index);
    int EditorHeight() const;

    QVector<QEditMacroItemBase *> m_items;
    QEditMacroItemBase *m_selected = nullptr;
    bool m_useStandardDelay = true;
    ushort m_standardDelay = 50;
    int m_lineY = 20;
    bool m_selectAll = false;
    bool m_delayRows = false;
    // The repeat filter of recorded keys: an event equal to the previous one is dropped.
    bool m_hasLastKey = false;
    bool m_lastDown = false;
    uint m_lastCode = 0;
    uint m_lastDelay = 0;
    QPointer<QEditMacroItemBase> m_dragImage;
    int m_insertIndex = -1;
    QLabel *m_marker = nullptr;
    ItemThread *m_itemThread = nullptr;
    bool m_keyHooked = false;
    bool m_mouseHooked = false;
    bool m_grabbed = false;
};
