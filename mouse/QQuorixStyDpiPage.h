#pragma once
// The DPI tab of the mouse page: the mouse's DPI stages as rows, the number of active stages,
// the lower and upper DPI limit, the current stage, named presets of these settings (INI files
// in the product's "DpiConfig" folder) and the report rate. The page never talks to the mouse:
// it writes the current device's MouseConfigRecord or hands the stages to the worker manager.
#include <QColor>
#include <QPointer>
#include <QVector>
#include <QWidget>

#include <cstdint>
#include <memory>

struct DeviceRecord;
struct MouseConfigRecord;
class QACombxBox;
class QComboBox;
class QDpiPageItem;
#include "mouse/QItemInputWin.h"
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QReghtListWidget;

class QQuorixStyDpiPage : public QWidget
{
    Q_OBJECT
public:
    explicit QQuorixStyDpiPage(QWidget *parent = nullptr);
    ~QQuorixStyDpiPage() override;
    static QQuorixStyDpiPage *instance();

    static const QString FirstPreset; // "灵敏度预设1": never deleted nor renamed

    // Called by the mouse page.
    // Showing the tab: lists the presets and shows the one chosen last as stored. It writes
    // nothing but the first preset, and that only where there is none yet.
    void InitPage();
    void SetDpiRange(uint max, uint min);
    void AddStageRow(const QVector<uint> &values);
    void SelectStage(uint dpi);
    void SetupReportRate(DeviceRecord *device, const MouseConfigRecord *record);
    void SetStageColors(const QVector<QColor> &colours) { m_colors = colours; }
    QVector<QColor> StageColors() const { return m_colors; }
    // Shows the number of stage rows in the stage-count drop-down when it offers it.
    void SyncStageCount();
    // Leaving the mouse page: presets, rows and report rates of this product are forgotten, so
    // nothing of them is written into the next product's folder.
    void ClearPage();

    // Committed values of the rows not hidden, in order.
    QVector<uint> StageValues() const;
    uint CheckedStageDpi() const;
    QList<QDpiPageItem *> Rows() const { return m_rows; }
    bool IsLoading() const { return m_loading; }

    static QStringList ReportRateItems(uint maxRate);
    // The drop-down index of a report-rate code; -1 for no selection.
    static int ReportRateIndex(uint maxRate, uint8_t subType, uint16_t code);
    static uint FindFreeDpiValue(const QVector<uint> &used, uint min, uint max, int step);
    static int PresetNumber(const QString &text);
    // The number of the next preset named by the page: one above the highest in use.
    static int NextPresetNumber(const QStringList &names);
    // Preset names in numeric order, case-insensitive ("…2" before "…10").
    static QStringList SortPresetNames(QStringList names);
    // A preset may take a name that makes one file in the preset folder and is listed again.
    static bool IsAcceptablePresetName(const QString &name, const QStringList &taken);

    // False when the file could not be written.
    bool SavePreset(const QString &path);
    // False (and nothing changed) for a preset of another product.
    bool LoadPreset(const QString &path);
    // Saves the page into the current preset; a failed save is said, naming the preset.
    bool SavePresetFile();
    void SendDpiStages(DeviceRecord *device);

    // ---- the form ----
    QWidget *LeftWidget = nullptr;
    QLabel *label_2 = nullptr;         // page title
    QLabel *label_3 = nullptr;         // presets title
    QLabel *Label_DPI_Count = nullptr; // stage title
    QLabel *label = nullptr;           // hint
    QReghtListWidget *ConfigList = nullptr;
    QPushButton *ButAddConfig = nullptr;
    QPushButton *ButCopy = nullptr;
    QPushButton *ButResetConfig = nullptr;
    QPushButton *ButDelete = nullptr;
    QLabel *LabelDPIFileName = nullptr;
    QACombxBox *DpiCountCombox = nullptr;
    QComboBox *MinvalueCombox = nullptr;
    QComboBox *MaxvalueCombox = nullptr;
    QLabel *Label_Min_Value = nullptr;
    QLabel *Label_Max_Value = nullptr;
    QListWidget *QDpiListWidget = nullptr;
    QLabel *Wired_Label = nullptr;
    QACombxBox *Mose_RorCob = nullptr;
    QItemInputWin *RenameEditor() const { return m_editor.data(); }

Q_SIGNALS:
    void ChangeDpis(QVector<uint> dpis, int curt);
    void MouseUpdataConfigPram(uchar PramTyp);

public Q_SLOTS:
    void on_ButAddConfig_clicked();
    void on_ButCopy_clicked();
    void on_ButDelete_clicked();
    void on_ButResetConfig_clicked();
    void on_ConfigList_itemClicked(QListWidgetItem *item);
    void on_ConfigList_itemDoubleClicked(QListWidgetItem *item);
    void on_returnPressed();
    void on_ListDeleteChick();
    void on_DpiCountCombox_currentIndexChanged(int index);
    void on_DpiValueThreadChange(int index);
    void on_RefushDefultDpiUi(QWidget *row);
    void on_SetDefultDpi(QWidget *row);
    void on_valueChange(QWidget *row, uint value);
    void on_Mose_RorCob_currentIndexChanged(int index);
    void on_LanguageChange();
    void on_ResetItemDpi() {}
    void on_ButReName_clicked() {}

private:
    void setupUi();
    void InitLook();
    void ConnectSignals();
    QString PresetDir() const;
    QString PresetPath(const QString &name) const;
    QStringList PresetNames() const;
    QListWidgetItem *FindPreset(const QString &name) const;
    void AddNumberedPreset(const QString &sourceFile);
    void RemovePreset(QListWidgetItem *item);
    void EndRename();
    // The preset the mouse was given last, as recorded in the mouse settings file (empty when
    // none is recorded).
    static QString ChosenPresetName();
    // Records the preset the mouse was given last; a failed write is said.
    void RecordChosenPreset(const QString &name);
    void SayNotSaved(uint textId, const QString &name) const;
    // The Base preset's lists in the drop-downs and its limits on the rows.
    void ApplyBaseLists();
    // Marks the stage the mouse holds, when a visible row has its value; writes nothing.
    void MarkMouseStage();
    QDpiPageItem *RowAt(int position) const;
    bool LimitsValid(uint *max, uint *min) const;
    // The limits the drop-downs hold (the widest range when they hold none that fit), shown in
    // the limit labels.
    void ShowLimits(uint *max, uint *min);
    int ChosenStageCount() const;
    // The rows below the chosen stage count that are not hidden: what the mouse is given.
    QVector<uint> SentStages(bool committed) const;
    uint SelectedOrMarkedDpi(bool withMarked) const;
    QColor StageColor(int position) const;
    std::shared_ptr<MouseConfigRecord> CurrentRecord() const;

    QList<QDpiPageItem *> m_rows;
    QPointer<QItemInputWin> m_editor;
    bool m_loading = false;
    QVector<QColor> m_colors;

    static QQuorixStyDpiPage *s_instance;
};
