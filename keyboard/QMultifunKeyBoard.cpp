#include "keyboard/QMultifunKeyBoard.h"
#include "app/CheckedSave.h"
#include "device/HID_API.h"
#include "app/DelayMs.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/ByteTools.h"
#include "keyboard/KeyCapText.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/AudioMonitor.h"
#include "lighting/LightFramePool.h"
#include "lighting/QBaseEffctThread.h"
#include "lighting/QLightConfigWIdget.h"
#include "macros/QJsonConfing.h"

#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPainter>

#include <cstdio>

namespace {
constexpr int kFrameSize = 520;
const QColor kGreyBar(178, 179, 180, 255);

QLStyleKeybordTabWidget *Page()
{
    return QLStyleKeybordTabWidget::instance();
}

uchar CurrentLayer()
{
    const QLStyleKeybordTabWidget *page = Page();
    return static_cast<uchar>(page ? page->LevelComboIndex() : 0);
}

// The message answer path; without a main window (nothing to show it in) it is skipped.
void Refuse(const QString &text)
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowMessage(kGreyBar, text, true);
    else
        WriteLogLine(text);
}

QString CodeText(const _KeyValueInfo &info)
{
    if (info.valueLength > 1)
        return QString::asprintf("%02x%02x%02x%02x", info.value[0], info.value[1], info.value[2], info.value[3]);
    if (info.valueLength == 1)
        return QStringLiteral("000000") + QString::asprintf("%02x", info.value[0]);
    return QString();
}
} // namespace

QMultifunKeyBoard *QMultifunKeyBoard::s_instance = nullptr;

QMultifunKeyBoard::QMultifunKeyBoard(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
    m_audio = new AudioMonitor(this);
    QBaseEffctThread *effects = QBaseEffctThread::instance();
    effects->setParent(this);
    if (QLightConfigWIdget *light = QLightConfigWIdget::instance()) {
        connect(light, &QLightConfigWIdget::_KeyBoradLightSleep_Lumina, effects, &QBaseEffctThread::on_Reset_Speed_Luminance);
        connect(light, &QLightConfigWIdget::ChangLightModel, effects, &QBaseEffctThread::on_ChangLightModel);
        connect(light, &QLightConfigWIdget::endLightPage, this, &QMultifunKeyBoard::on_ClearDisp);
        connect(light, &QLightConfigWIdget::ReSetStandardDiy, this, &QMultifunKeyBoard::on_ReSetStandardDiy);
        connect(light, &QLightConfigWIdget::LightColorChange, this, &QMultifunKeyBoard::on_LightColorChange);
    }
}

QMultifunKeyBoard::~QMultifunKeyBoard()
{
    // The effect thread is a child: it must have ended before it is deleted with this widget.
    QBaseEffctThread::instance()->On_StopThread();
    for (QMultifunKeyButton *key : qAsConst(m_keys))
        key->Record = nullptr;
    FreeKeyProfileLayers(m_layers);
    if (s_instance == this)
        s_instance = nullptr;
}

QMultifunKeyBoard *QMultifunKeyBoard::instance()
{
    return s_instance;
}

QMultifunKeyButton *QMultifunKeyBoard::HoveredKey() const
{
    return m_hovered;
}

// ---- building ----------------------------------------------------------------------------

void QMultifunKeyBoard::SetBackgroundImage(const QString &path)
{
    m_background = QImage(path);
    setMinimumSize(m_background.size());
    setMaximumSize(m_background.size());
    m_scaled = m_background.isNull() ? QPixmap() : QPixmap::fromImage(m_background.scaled(size()));
    for (QMultifunKeyButton *key : qAsConst(m_keys))
        key->setAttribute(Qt::WA_OpaquePaintEvent, !m_background.isNull());
    update();
}

void QMultifunKeyBoard::resizeEvent(QResizeEvent *)
{
    if (!m_background.isNull() && m_scaled.size() != size())
        m_scaled = QPixmap::fromImage(m_background.scaled(size()));
}

void QMultifunKeyBoard::PaintBackgroundUnder(QPainter &painter, const QRect &area) const
{
    if (!m_scaled.isNull())
        painter.drawPixmap(QRect(QPoint(0, 0), area.size()), m_scaled, area);
}

void QMultifunKeyBoard::BuildButtons(const QList<LayoutKeyRecord *> &keys, uchar border)
{
    QHash<QString, int> positions;
    for (const LayoutKeyRecord *k : keys) {
        auto *key = new QMultifunKeyButton(this);
        key->setMinimumSize(k->width, k->height);
        key->setMaximumSize(k->width, k->height);
        key->resize(k->width, k->height);
        key->move(k->x, k->y);
        key->setObjectName(k->KeyName);
        const QString cap = KeyCapText(k->KeyText);
        key->DefaultText = cap == QLatin1String("NULL") ? k->KeyText : cap;
        key->setText(key->DefaultText);
        key->PictureMode = 0;
        key->on_BuildButtonInfo(k->keypos, k->Effectpos, k->KeyValue, k->Diypos, border, k->hidden);
        key->setAttribute(Qt::WA_OpaquePaintEvent, !m_background.isNull());
        m_buttons.insert(static_cast<ushort>(k->Effectpos), key);
        m_keys.append(key);
        if (!m_byName.contains(k->KeyName))
            m_byName.insert(k->KeyName, key);
        if (!positions.contains(k->KeyName))
            positions.insert(k->KeyName, k->keypos);
        key->show();
    }
    std::lock_guard<std::mutex> lock(m_keyposLock);
    for (auto it = positions.cbegin(); it != positions.cend(); ++it)
        if (!m_keyposByName.contains(it.key()))
            m_keyposByName.insert(it.key(), it.value());
}

void QMultifunKeyBoard::on_freeButton()
{
    if (QLStyleKeybordTabWidget *page = Page())
        page->HidePopup();
    {
        std::lock_guard<std::mutex> lock(m_keyposLock);
        m_keyposByName.clear();
    }
    const QList<QMultifunKeyButton *> keys = m_keys;
    m_keys.clear();
    m_buttons.clear();
    m_byName.clear();
    m_hovered = nullptr;
    for (QMultifunKeyButton *key : keys) {
        key->Record = nullptr;
        key->close();
        delete key;
    }
}

int QMultifunKeyBoard::KeyPosByName(const QString &name) const
{
    std::lock_guard<std::mutex> lock(m_keyposLock);
    return m_keyposByName.value(name, -1);
}

QList<int> QMultifunKeyBoard::KeyEffectPositions() const
{
    QList<int> out;
    for (auto it = m_buttons.cbegin(); it != m_buttons.cend(); ++it)
        out.append(it.value()->Effectpos);
    return out;
}

// ---- layers ------------------------------------------------------------------------------

void QMultifunKeyBoard::InitLayers(uchar count)
{
    for (int i = 0; i < count; ++i)
        m_layers.append(new KeyLayerTable);
}

KeyLayerTable *QMultifunKeyBoard::LayerKeyInfo(uchar layer) const
{
    return layer < m_layers.size() ? m_layers.at(layer) : nullptr;
}

// Releases the key's record in a table; a key showing it lets go of it first.
void QMultifunKeyBoard::TakeRecord(KeyLayerTable *table, const QString &name)
{
    _KeyValueInfo *old = table ? table->take(name) : nullptr;
    if (!old)
        return;
    for (QMultifunKeyButton *key : qAsConst(m_keys))
        if (key->Record == old)
            key->on_setChangobj(nullptr);
    delete old;
}

bool QMultifunKeyBoard::ReadLayers(const QString &path)
{
    m_layers = QConfigBuildManage_Pro().ReadKeyConfig(path);
    const bool read = !m_layers.isEmpty(); // a product with a single layer keeps its one table
    // Every layer the page names gets a table, so that a drop on it is kept: all of them when
    // the file is missing or broken, those past the file's end otherwise.
    const QLStyleKeybordTabWidget *page = Page();
    const int names = std::min(255, page ? static_cast<int>(page->LevelComboItems().size()) : 0);
    InitLayers(static_cast<uchar>(std::max(0, names - static_cast<int>(m_layers.size()))));
    return read;
}

bool QMultifunKeyBoard::LoadLayerKeyInfoFile(const QString &path)
{
    // A configuration shown afresh: no write of the keys shown before is guarded any more.
    ForgetBackup();
    ClearLayerKeyInfo();
    const bool read = ReadLayers(path);
    ResetAllKeys();
    if (read)
        ApplyLayerKeyTexts(0);
    return read;
}

void QMultifunKeyBoard::ReloadFromConfig()
{
    ClearLayerKeyInfo();
    const bool read = ReadLayers(ConfigPath());
    ResetAllKeys();
    if (read)
        ApplyLayerKeyTexts(CurrentLayer());
}

bool QMultifunKeyBoard::SaveLayerKeys(const QString &path)
{
    // A keyboard that went keeps its key store as it was.
    return !path.isEmpty() && !HID_API::PageDeviceGoing() && QConfigBuildManage_Pro().WriteKeyConfig(path, m_layers);
}

void QMultifunKeyBoard::ResetAllKeys()
{
    for (QMultifunKeyButton *key : qAsConst(m_keys)) {
        key->on_Resetdefault();
        key->update();
    }
}

void QMultifunKeyBoard::ClearAllLayers()
{
    for (QMultifunKeyButton *key : qAsConst(m_keys))
        key->on_setChangobj(nullptr);
    for (KeyLayerTable *table : qAsConst(m_layers)) {
        qDeleteAll(*table);
        table->clear();
    }
    update();
}

void QMultifunKeyBoard::ClearLayerKeyInfo()
{
    for (QMultifunKeyButton *key : qAsConst(m_keys))
        key->on_setChangobj(nullptr);
    FreeKeyProfileLayers(m_layers);
    update();
}

void QMultifunKeyBoard::ApplyLayerKeyTexts(uchar layer)
{
    const KeyLayerTable *table = LayerKeyInfo(layer);
    if (!table)
        return;
    for (_KeyValueInfo *info : *table) {
        QMultifunKeyButton *key = m_byName.value(info->KeyButtonName);
        if (!key)
            continue;
        key->on_setChangobj(info);
        switch (info->type) {
        case 1: case 2: case 4: key->DisplayType = 1; break;
        case 8: key->DisplayType = 4; break;
        case 3: key->DisplayType = 3; key->setText(QStringLiteral("<M>")); break;
        case 5: key->DisplayType = 2; key->setText(QStringLiteral("<K>")); break;
        default: key->DisplayType = 1; key->on_dispText(info->LeftValue); break;
        }
    }
}

void QMultifunKeyBoard::on_TabChangeLayerkeyWidget(uchar Layerkeyid)
{
    if (Layerkeyid >= m_layers.size())
        return;
    ResetAllKeys();
    ApplyLayerKeyTexts(Layerkeyid);
}

bool QMultifunKeyBoard::AssignKeyValue(uchar layer, _KeyValueInfo *record)
{
    if (m_layers.isEmpty()) {
        WriteLogLine(QStringLiteral("键层配置文件层数为零 LayerkeyInfo size = NULL"));
        return false;
    }
    if (!record || layer >= m_layers.size())
        return false;
    const QString name = record->KeyButtonName;
    TakeRecord(m_layers.at(layer), name);
    m_layers.at(layer)->insert(name, record);
    if (QMultifunKeyButton *key = m_byName.value(name))
        key->on_setChangobj(record);
    // Fn values reach every layer, each with its own copy.
    if (IsFnValue(*record) && record->LeftValue != QLatin1String("j")) {
        for (int i = 0; i < m_layers.size(); ++i) {
            if (i == layer)
                continue;
            TakeRecord(m_layers.at(i), name);
            m_layers.at(i)->insert(name, new _KeyValueInfo(*record));
        }
    }
    return true;
}

void QMultifunKeyBoard::RemoveKeyValue(uchar layer, _KeyValueInfo *record)
{
    KeyLayerTable *table = LayerKeyInfo(layer);
    if (!table || !record || !table->contains(record->KeyButtonName))
        return;
    // Everything needed of the record is read before any record is released.
    const QString name = record->KeyButtonName;
    if (!IsFnValue(*record)) {
        TakeRecord(table, name);
    } else {
        for (KeyLayerTable *t : qAsConst(m_layers))
            TakeRecord(t, name);
    }
    BackUpAndSave();
}

void QMultifunKeyBoard::RenameMacroKeys(const QString &from, const QString &to)
{
    for (KeyLayerTable *table : qAsConst(m_layers))
        for (_KeyValueInfo *info : qAsConst(*table))
            if (info->type == 3 && info->LeftValue == from)
                info->LeftValue = to;
}

// ---- saving, backup and the device's answer -----------------------------------------------

QString QMultifunKeyBoard::ConfigPath() const
{
    if (const QLStyleKeybordTabWidget *page = Page())
        return page->CurrentConfigPath();
    const MainWidget *main = MainWidget::instance();
    return main ? main->UserConfigDir() + QStringLiteral("/Base.xml") : QString();
}

QString QMultifunKeyBoard::BackupPath() const
{
    const QString config = ConfigPath();
    // Hidden from the listings and no name a user can type: it never stands for a configuration.
    return config.isEmpty() ? QString() : QFileInfo(config).path() + QStringLiteral("/.TempBase.xml");
}

bool QMultifunKeyBoard::BackUpAndSave()
{
    const QString config = ConfigPath();
    // The backup belongs to this write alone: one left by a write that never ended (a crash, a
    // page or keyboard gone) may hold another configuration and is never put back.
    ForgetBackup();
    if (!config.isEmpty() && !HID_API::PageDeviceGoing()) {
        const QString backup = BackupPath();
        if (CheckedSave::CopyFile(config, backup)) { // a cut backup put back would cut the file
            m_backupFile = backup;
            m_backupOf = config;
        } else {
            WriteLogLine(QStringLiteral("key assignments: no backup of %1").arg(config));
        }
    }
    // Without a configuration file the page's save still runs: it says so and shows the keys
    // as they were, as for any save that fails.
    if (QLStyleKeybordTabWidget *page = Page())
        page->ON_SAEVE(true);
    return !config.isEmpty();
}

void QMultifunKeyBoard::ForgetBackup()
{
    const QString file = m_backupFile.isEmpty() ? BackupPath() : m_backupFile;
    if (!file.isEmpty() && QFileInfo::exists(file) && !QFile::remove(file))
        WriteLogLine(QStringLiteral("key assignments: backup %1 not removed").arg(file));
    m_backupFile.clear();
    m_backupOf.clear();
}

void QMultifunKeyBoard::LoadLayerKeyInfo(bool succeeded)
{
    const QString backup = m_backupFile, config = m_backupOf;
    if (succeeded || backup.isEmpty() || !QFileInfo(backup).isFile()) {
        ForgetBackup();
        return;
    }
    m_backupFile.clear();
    m_backupOf.clear();
    // One rename over the file it was taken of: there is no moment without a configuration file.
    if (std::rename(QFile::encodeName(backup).constData(), QFile::encodeName(config).constData()) != 0) {
        WriteLogLine(QStringLiteral("key assignments: backup not restored to %1").arg(config));
        return;
    }
    if (!isHidden() && config == ConfigPath())
        ReloadFromConfig();
}

// ---- drag and drop -----------------------------------------------------------------------

void QMultifunKeyBoard::on_MouseDrawMove(QPoint pos)
{
    const QPoint local = mapFromGlobal(pos);
    if (!rect().contains(local))
        return;
    for (QMultifunKeyButton *key : qAsConst(m_keys)) {
        if (key->geometry().contains(local)) {
            if (m_hovered && m_hovered != key)
                m_hovered->on_disphover(false);
            key->on_disphover(true);
            m_hovered = key;
            return;
        }
    }
    if (m_hovered)
        m_hovered->on_disphover(false);
    m_hovered = nullptr;
}

void QMultifunKeyBoard::EndDrop(_KeyValueInfo *unstored)
{
    if (m_hovered)
        m_hovered->on_disphover(false);
    m_hovered = nullptr;
    DeleteDragRecord(unstored);
}

void QMultifunKeyBoard::on_MouseDrawRePress(QPoint, _KeyValueInfo *info)
{
    QPointer<QMultifunKeyButton> key = m_hovered;
    if (!key || !info)
        return EndDrop(info);
    QString keyText = key->GetKeyValue();
    keyText.remove(QStringLiteral("0x")).remove(QStringLiteral("0X"));
    const uchar layer = CurrentLayer();
    // Any value led by 0d is an Fn key here, not only the two that reach every layer.
    if (info->value[0] == 0x0D && info->LeftValue != QLatin1String("j") && layer != 0) {
        Refuse(GetLangText(884));
        return EndDrop(info); // the keyboard may have gone meanwhile: only the pointer is asked
    }
    if (keyText.size() < 8)
        keyText.prepend(QStringLiteral("000000"));
    if (CodeText(*info) == keyText)
        return EndDrop(info);
    key->on_disphover(false);
    if (info->type == 5) {
        key->on_dispText(QStringLiteral("<K>"));
    } else if (info->type == 3) {
        // The dropped macro is checked with the stored ones: a macro without its file cannot be sent.
        const QStringList macros = QJsonConfing().ListMacroFiles(true);
        QStringList names{info->LeftValue};
        for (const KeyLayerTable *table : qAsConst(m_layers))
            for (const _KeyValueInfo *stored : *table)
                if (stored->type == 3)
                    names.append(stored->LeftValue);
        for (const QString &name : qAsConst(names)) {
            if (!macros.contains(name)) {
                Refuse(GetLangText(885).arg(name));
                return EndDrop(info);
            }
        }
        key->on_dispText(QStringLiteral("<M>"));
    } else if (info->type == 0) {
        key->on_dispText(info->LeftValue);
    }
    info->KeyButtonName = key->objectName();
    if (!AssignKeyValue(layer, info))
        return EndDrop(info); // not stored: no backup, no save
    update();
    BackUpAndSave();
    EndDrop(nullptr);
}

// ---- colours -----------------------------------------------------------------------------

void QMultifunKeyBoard::ShowFrame(const uchar *frame, uchar alpha)
{
    for (QMultifunKeyButton *key : qAsConst(m_buttons)) {
        if (key->Hidden)
            continue;
        const int p = key->Effectpos;
        if (!frame)
            key->SetColour(0, 0, 0, 0);
        else if (p >= 0 && p < kFrameSize - 2) // any int from the layout file: nothing added to it
            key->SetColour(frame[p], frame[p + 1], frame[p + 2], alpha);
    }
}

void QMultifunKeyBoard::on_DispLagEffect(uchar *datas, uchar transparence)
{
    ShowFrame(datas, transparence);
    LightFramePool::Release(datas); // the effect thread may reuse it now
}

void QMultifunKeyBoard::on_DispLagEffect(uchar *datas)
{
    ShowFrame(datas, 180);
}

void QMultifunKeyBoard::on_DispLagEffect_Audion(uchar *datas)
{
    ShowFrame(datas, 180);
    if (datas)
        AudioFrameShown = 1;
}

void QMultifunKeyBoard::on_DispDiyEffect(uchar *datas)
{
    if (!datas)
        return;
    const QLStyleKeybordTabWidget *page = Page();
    const int k = page ? page->DiyCount : 126;
    for (QMultifunKeyButton *key : qAsConst(m_keys)) {
        const int d = key->Diypos;
        if (key->Hidden || d + 2 * k >= kFrameSize)
            continue;
        key->SetColour(datas[d], datas[d + k], datas[d + 2 * k], 80);
    }
    LightFramePool::Release(datas);
}

void QMultifunKeyBoard::on_DispButtonColor(ushort Buttonid, uchar R, uchar G, uchar B, ushort transparence)
{
    QMultifunKeyButton *key = m_buttons.value(Buttonid);
    if (key && !key->Hidden)
        key->SetColour(R, G, B, static_cast<uchar>(transparence & 0xFF));
}

void QMultifunKeyBoard::on_ClearDisp()
{
    ShowFrame(nullptr, 0);
}

void QMultifunKeyBoard::on_ClearDispAudion()
{
    if (AudioFrameShown)
        ShowFrame(nullptr, 0);
}

void QMultifunKeyBoard::on_ReSetStandardDiy(bool diy)
{
    SelfDefineMode = diy ? 1 : 0;
}

void QMultifunKeyBoard::on_LightColorChange(uchar R, uchar G, uchar B)
{
    LightR = R;
    LightG = G;
    LightB = B;
    update();
}

void QMultifunKeyBoard::on_DiyColorChange(QWidget *widget)
{
    auto *key = qobject_cast<QMultifunKeyButton *>(widget);
    if (key)
        Q_EMIT ButtonDiyColorChange(key->Diypos, key->R, key->G, key->B);
}

void QMultifunKeyBoard::on_LampEffect_Stop()
{
    QBaseEffctThread::instance()->On_StopThread();
}

// ---- pages -------------------------------------------------------------------------------

void QMultifunKeyBoard::on_PageChange(uchar page)
{
    QLStyleKeybordTabWidget *owner = Page();
    if (!owner || sender() != owner)
        return;
    QPointer<QMultifunKeyBoard> self(this);
    MainWidget *main = MainWidget::instance();
    if (main)
        main->ShowBusyAt(true);
    CurrentPage = page;
    const uchar left = owner->LightSubPage;
    AudioMonitor *audio = m_audio;
    QBaseEffctThread *effects = QBaseEffctThread::instance();
    const bool other = page == 0 || page == 3 || page == 4 || page == 5;
    if (left == 1 && other) {
        audio->on_StopGrabEffct();
        effects->On_StopThread();
    } else if ((left == 1 || left == 2) && page == 1) {
        audio->on_StopGrabEffct();
        DelayMs(100);
        if (self)
            on_ClearDisp();
    } else if (left == 1 && page == 2) {
        effects->On_StopThread();
        DelayMs(100);
        if (self) {
            on_ClearDisp();
            audio->on_StartGrabEffct();
        }
    } else if (left == 2 && other) {
        audio->SetSoftDisplay(false);
        effects->On_StopThread();
    } else if (left == 2 && page == 2) {
        effects->On_StopThread();
        DelayMs(100);
        if (self) {
            on_ClearDisp();
            audio->SetSoftDisplay(true);
            audio->on_StartGrabEffct();
        }
    }
    if ((main = MainWidget::instance()))
        main->on_Hide_busy_Status();
}

// ---- mouse and painting ------------------------------------------------------------------

void QMultifunKeyBoard::mousePressEvent(QMouseEvent *event)
{
    if (SelfDefineMode)
        Q_EMIT MousePress(event);
}

void QMultifunKeyBoard::mouseMoveEvent(QMouseEvent *event)
{
    if (SelfDefineMode)
        Q_EMIT MouseMouve(event);
}

void QMultifunKeyBoard::mouseReleaseEvent(QMouseEvent *event)
{
    if (SelfDefineMode)
        Q_EMIT MouseRePress(event);
}

void QMultifunKeyBoard::paintEvent(QPaintEvent *)
{
    if (m_background.isNull())
        return;
    QPainter p(this);
    p.drawPixmap(rect(), m_scaled.isNull() ? QPixmap::fromImage(m_background) : m_scaled);
}
