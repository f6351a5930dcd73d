#pragma once
#include "keyboard/KeyValueInfo.h"
#include "keyboard/LayoutKeyRecord.h"

#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <mutex>

class AudioMonitor;
class QMultifunKeyButton;

// The picture of the connected keyboard with one key button over every key of its layout: key
// assignments per layer (dropped, removed, saved, sent), and the colours of the lighting and
// audio previews and of self-defined painting shown on the keys.
class QMultifunKeyBoard : public QWidget
{
    Q_OBJECT
public:
    explicit QMultifunKeyBoard(QWidget *parent = nullptr);
    ~QMultifunKeyBoard() override;
    static QMultifunKeyBoard *instance();

    uchar SelfDefineMode = 0;
    uchar AudioFrameShown = 0;
    uchar CurrentPage = 0; // 0 key definition, 1 backlight, 2 audio light, 3 light strip, 4, 5
    uchar LightR = 0, LightG = 0, LightB = 255;
    AudioMonitor *Audio() const { return m_audio; }

    void SetBackgroundImage(const QString &path);
    void BuildButtons(const QList<LayoutKeyRecord *> &keys, uchar border);
    void InitLayers(uchar count);
    // False when no layer was read. The board holds at least one table per layer name of the
    // page (empty where the file has none), so that later assignments are kept.
    bool LoadLayerKeyInfoFile(const QString &path);
    // The writer's result: false when the file could not be written.
    bool SaveLayerKeys(const QString &path);
    bool SaveLayerKeyInfoFile(const QString &path) { return SaveLayerKeys(path); }
    // The table of a layer; null for a layer that the board does not hold.
    KeyLayerTable *LayerKeyInfo(uchar layer) const;
    int LayerCount() const { return m_layers.size(); }
    // Safe from any thread: the keys' positions are kept apart from the widgets.
    int KeyPosByName(const QString &name) const;
    QList<int> KeyEffectPositions() const;
    QMultifunKeyButton *KeyByName(const QString &name) const { return m_byName.value(name); }
    QMultifunKeyButton *KeyAtEffect(ushort position) const { return m_buttons.value(position); }
    QMultifunKeyButton *HoveredKey() const;
    const QList<QMultifunKeyButton *> &KeyButtons() const { return m_keys; }

    void ClearAllLayers();
    void ClearLayerKeyInfo();
    void ResetAllKeys();
    void ApplyLayerKeyTexts(uchar layer);
    // False when the record could not be stored (no layers); the caller still owns it then.
    bool AssignKeyValue(uchar layer, _KeyValueInfo *record);
    void RemoveKeyValue(uchar layer, _KeyValueInfo *record);
    // The keys that play a renamed macro play it under its new name.
    void RenameMacroKeys(const QString &from, const QString &to);

    // Shows the current configuration file again in the page's current layer (after a restore,
    // or after a save that failed and left the file as it was).
    void ReloadFromConfig();

    // Where key assignments are saved, backed up and restored.
    QString ConfigPath() const;
    QString BackupPath() const;

    // Draws the part of the picture under a key, so that keys repaint without the board.
    void PaintBackgroundUnder(QPainter &painter, const QRect &area) const;

Q_SIGNALS:
    void MousePress(QMouseEvent *event);
    void MouseMouve(QMouseEvent *event);
    void MouseRePress(QMouseEvent *event);
    void ButtonDiyColorChange(uchar buttonId, uchar r, uchar g, uchar b);

public Q_SLOTS:
    void LoadLayerKeyInfo(bool succeeded);
    void on_DispLagEffect(uchar *datas, uchar transparence);
    void on_DispLagEffect(uchar *datas);
    void on_DispLagEffect_Audion(uchar *datas);
    void on_DispDiyEffect(uchar *datas);
    void on_DispButtonColor(ushort Buttonid, uchar R, uchar G, uchar B, ushort transparence);
    void on_ClearDisp();
    void on_ClearDispAudion();
    void on_PageChange(uchar page);
    void on_TabChangeLayerkeyWidget(uchar Layerkeyid);
    void on_freeButton();
    void on_MouseDrawMove(QPoint pos);
    void on_MouseDrawRePress(QPoint pos, _KeyValueInfo *info);
    void on_ReSetStandardDiy(bool diy);
    void on_LightColorChange(uchar R, uchar G, uchar B);
    void on_DiyColorChange(QWidget *widget);
    void on_LampEffect_Stop();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void TakeRecord(KeyLayerTable *table, const QString &name);
    // False when no layer was read; layers the page names past the file's get empty tables.
    bool ReadLayers(const QString &path);
    bool BackUpAndSave();
    // Removes the backup of the write on its way, or a stale one at the backup's place.
    void ForgetBackup();
    void EndDrop(_KeyValueInfo *unstored);
    void ShowFrame(const uchar *frame, uchar alpha);

    KeyProfileLayers m_layers;
    QImage m_background;
    QPixmap m_scaled;
    QPointer<QMultifunKeyButton> m_hovered;
    AudioMonitor *m_audio = nullptr;
    QHash<ushort, QMultifunKeyButton *> m_buttons;
    QList<QMultifunKeyButton *> m_keys;              // every key, in child order
    QHash<QString, QMultifunKeyButton *> m_byName;
    mutable std::mutex m_keyposLock;
    QHash<QString, int> m_keyposByName;
    // The backup of the configuration taken for the key write on its way, and that file.
    QString m_backupFile, m_backupOf;
    static QMultifunKeyBoard *s_instance;
};
