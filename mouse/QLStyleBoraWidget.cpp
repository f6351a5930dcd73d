#include "mouse/QLStyleBoraWidget.h"
#include "app/CheckedSave.h"
#include "app/NestedWait.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "macros/QGenerateFile.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QLineInfo.h"
#include "mouse/QLineLabelHead.h"
#include "mouse/QBackLineMange.h"
#include "macros/ConfigDirFiles.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "device/DpiConfigRecord.h"
#include "device/QDpiConfigMange.h"
#include "keyboard/ConfigItemList.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QLeftMuenTabWidget.h"
#include "macros/OpenXmlDocument.h"
#include "macros/QConfigDirs.h"
#include "widgets/AppFont.h"
#include "widgets/QDarkScreenWidget.h"
#include "widgets/QLStylRadioButton.h"
#include "widgets/QLayerNavigationBar.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMetaMethod>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

#include <mutex>

namespace {
QLStyleBoraWidget *s_frame = nullptr;
std::mutex s_snapshotLock;
MouseKeySnapshot s_snapshot;

void CollectColumns(const QObject *parent, QVector<QGradualChangeLine *> &out)
{
    for (QObject *child : parent->children()) {
        if (auto *column = qobject_cast<QGradualChangeLine *>(child))
            out.append(column);
        CollectColumns(child, out);
    }
}

void ConnectListToColumn(QConfigList *list, QGradualChangeLine *column)
{
    QObject::connect(list, &QConfigList::DragLeftMove, column, &QGradualChangeLine::on_MouseDragMove);
    QObject::connect(list, &QConfigList::DragLeftRePress, column, &QGradualChangeLine::on_MouseDragRePress);
    QObject::connect(list, &QConfigList::DragLeftPixRePress, column, &QGradualChangeLine::on_MouseDragPixRePress);
}
} // namespace

QLStyleBoraWidget::QLStyleBoraWidget(QWidget *parent) : QWidget(parent)
{
    setupUi();
    // The panel's button stays in view: the panel is the only way to add, rename, import,
    // export and choose configurations.
    ConfigenameLabel->hide();
    ButLock_LeftWidget->hide();
    m_LockCover = new QLabel(QStringLiteral("X"), tabWidget_2);
    m_LockCover->setStyleSheet(QStringLiteral("font: 87 80pt 'Arial Black';color: rgb(252, 11, 8);"));
    m_LockCover->setAlignment(Qt::AlignCenter);
    m_LockCover->hide();
    m_ConfigDirs = new QConfigDirs(LeftWidget);
    m_ConfigDirs->hide();
    ApplyAppFont(ConfigenameLabel, 15);
    s_frame = this;
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QLStyleBoraWidget::on_LanguageChange);
    connect(layerNavigationBar, QOverload<int, QString>::of(&QLayerNavigationBar::ButtonChange), this,
            &QLStyleBoraWidget::on_ButtonChange);
    connect(m_ConfigDirs, &QConfigDirs::Itemclicked, this, &QLStyleBoraWidget::on_ConfigDirs_Itemclicked);
    // The configuration tab lists what the panel made, renamed or deleted without a new opening.
    for (const auto changed : {&QConfigDirs::AddFile, &QConfigDirs::DeleteFil, &QConfigDirs::RenameFil, &QConfigDirs::InPutFile})
        connect(m_ConfigDirs, changed, this, [this] {
            for (QConfigList *list : qAsConst(m_ConfigLists))
                list->LoadUserConfigItems();
        });
    connect(ButConfig, &QPushButton::clicked, this, &QLStyleBoraWidget::on_ButConfig_clicked);
    connect(ButLock_LeftWidget, &QPushButton::clicked, this, &QLStyleBoraWidget::on_ButLock_LeftWidget_clicked);
    connect(But_Left_Move, &QPushButton::clicked, this, &QLStyleBoraWidget::on_But_Left_Move_clicked);
    connect(But_Reight_Move, &QPushButton::clicked, this, &QLStyleBoraWidget::on_But_Reight_Move_clicked);
    if (HID_API *api = HID_API::instance())
        if (QHid_Threads_Manage *manager = api->Manager())
            connect(this, &QLStyleBoraWidget::ZrMouseKeyValueChange, manager,
                    &QHid_Threads_Manage::on_MouseKeysValueCHange);
    on_LanguageChange();
    SetTabButtonStyle();
}

namespace {
QPushButton *LeftPanelButton(QWidget *parent, const char *name, const QString &on, const QString &off)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setCheckable(true);
    button->setFixedSize(23, 23);
    button->setStyleSheet(QStringLiteral("QPushButton{border:none;color:transparent;image:url(%2);}"
                                         "QPushButton:checked{image:url(%1);}"
                                         "QPushButton:hover{background-color: rgb(14, 131, 220);border-radius:5px;}")
                              .arg(on, off));
    return button;
}
} // namespace

void QLStyleBoraWidget::setupUi()
{
    setObjectName(QStringLiteral("QLStyleBoraWidget"));
    setStyleSheet(QStringLiteral("#QLStyleBoraWidget\n{\n  background-color:#010203;\n}"));
    auto *outer = new QHBoxLayout(this);
    LeftWidget = new QWidget(this);
    LeftWidget->setObjectName(QStringLiteral("LeftWidget"));
    LeftWidget->setMaximumWidth(300);
    LeftWidget->setStyleSheet(
        QStringLiteral("#LeftWidget\n{\n border:none;\n border-radius:15px;\n  background-color:#131213;\n}"));
    auto *left = new QVBoxLayout(LeftWidget);
    auto *top = new QHBoxLayout;
    ConfigenameLabel = new QLabel(LeftWidget);
    ConfigenameLabel->setObjectName(QStringLiteral("ConfigenameLabel"));
    ConfigenameLabel->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    top->addWidget(ConfigenameLabel, 1);
    const QString images = QStringLiteral(":/new/prefix1/Imges/");
    ButConfig = LeftPanelButton(LeftWidget, "ButConfig", images + QStringLiteral("Services_35px.png"),
                                images + QStringLiteral("Un_Services_35px.png"));
    ButLock_LeftWidget = LeftPanelButton(LeftWidget, "ButLock_LeftWidget", images + QStringLiteral("lock_35.png"),
                                         images + QStringLiteral("unlock_35.png"));
    top->addWidget(ButConfig);
    top->addWidget(ButLock_LeftWidget);
    left->addLayout(top);
    Tab_BarWidget = new QWidget(LeftWidget);
    Tab_BarWidget->setObjectName(QStringLiteral("Tab_BarWidget"));
    Tab_BarWidget->setMinimumHeight(30);
    m_TabBarLayout = new QHBoxLayout(Tab_BarWidget);
    m_TabBarLayout->setContentsMargins(0, 0, 0, 0);
    left->addWidget(Tab_BarWidget);
    tabWidget_2 = new QLeftMuenTabWidget(LeftWidget);
    tabWidget_2->setObjectName(QStringLiteral("tabWidget_2"));
    tabWidget_2->setMinimumWidth(295);
    left->addWidget(tabWidget_2, 1);
    outer->addWidget(LeftWidget);

    auto *right = new QVBoxLayout;
    ProDuctNameLabel = new QLabel(this);
    ProDuctNameLabel->setObjectName(QStringLiteral("ProDuctNameLabel"));
    right->addWidget(ProDuctNameLabel);
    layerNavigationBar = new QLayerNavigationBar(this);
    layerNavigationBar->setObjectName(QStringLiteral("layerNavigationBar"));
    layerNavigationBar->setMinimumHeight(50);
    right->addWidget(layerNavigationBar);
    TabBackImageWidget = new QWidget(this);
    TabBackImageWidget->setObjectName(QStringLiteral("TabBackImageWidget"));
    TabBackImageWidget->setFixedSize(900, 630);
    TabBackImageWidget->setStyleSheet(QStringLiteral("background-color:transparent;"));
    auto *stack = new QVBoxLayout(TabBackImageWidget);
    stack->setContentsMargins(0, 0, 0, 0);
    m_Pages = new QStackedWidget(TabBackImageWidget);
    stack->addWidget(m_Pages);
    right->addWidget(TabBackImageWidget, 1);
    auto *BottomWidget = new QWidget(this);
    BottomWidget->setObjectName(QStringLiteral("BottomWidget"));
    auto *bottom = new QHBoxLayout(BottomWidget);
    But_Left_Move = new QPushButton(QStringLiteral("<"), BottomWidget);
    But_Left_Move->setObjectName(QStringLiteral("But_Left_Move"));
    But_Reight_Move = new QPushButton(QStringLiteral(">"), BottomWidget);
    But_Reight_Move->setObjectName(QStringLiteral("But_Reight_Move"));
    for (QPushButton *arrow : {But_Left_Move, But_Reight_Move})
        arrow->setFixedSize(61, 61);
    bottom->addStretch(1);
    bottom->addWidget(But_Left_Move);
    bottom->addWidget(But_Reight_Move);
    bottom->addStretch(1);
    right->addWidget(BottomWidget);
    outer->addLayout(right, 1);
    retranslateUi();
}

void QLStyleBoraWidget::retranslateUi()
{
    setWindowTitle(QStringLiteral("Form"));
    setToolTip(QStringLiteral("<html><head/><body><p>Confing File Edit</p></body></html>"));
    ButConfig->setText(QStringLiteral("Edit Look"));
}

QLStyleBoraWidget::~QLStyleBoraWidget()
{
    // Workers only ever see the snapshot, so the frame may go while they run.
    if (s_frame == this)
        s_frame = nullptr;
    // The columns die after this body, with the row list already gone: they must not report.
    for (QLineInfo *row : m_rows)
        disconnect(row, nullptr, this, nullptr);
}

QLStyleBoraWidget *QLStyleBoraWidget::instance()
{
    return s_frame;
}

QMap<QString, QList<QLineInfo *>> QLStyleBoraWidget::LineValueMap() const
{
    QVector<QGradualChangeLine *> columns;
    CollectColumns(this, columns);
    QMap<QString, QList<QLineInfo *>> map;
    for (QGradualChangeLine *column : columns)
        map.insert(column->ColumnName(), column->Lines().toList());
    return map;
}

QVector<QLineInfo *> QLStyleBoraWidget::LineValues() const
{
    QVector<QGradualChangeLine *> columns;
    CollectColumns(this, columns);
    QVector<QLineInfo *> rows;
    for (QGradualChangeLine *column : columns)
        rows += column->Lines();
    return rows;
}

QString QLStyleBoraWidget::ParseKeyText(const QString &text, uint16_t *id)
{
    if (text.isEmpty()) {
        if (id)
            *id = 0;
        return text;
    }
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    const uint16_t number = static_cast<uint16_t>(text.mid(1).toUInt());
    if (id)
        *id = number;
    return QXM_Process::instance()->GetText(number);
}


void QLStyleBoraWidget::TakeKeySnapshot(bool allKeys)
{
    MouseKeySnapshot snapshot;
    snapshot.allKeys = allKeys;
    const auto map = LineValueMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        for (const QLineInfo *row : it.value())
            snapshot.rows.append({row->SendAddress(), row->ValueType(), row->CurrentCode(), row->ReName()});
    if (QLStyleMouseTabWidget *tab = QLStyleMouseTabWidget::instance())
        snapshot.selectedKey = tab->m_CurrentKeyIndex;
    std::lock_guard<std::mutex> lock(s_snapshotLock);
    s_snapshot = snapshot;
}

MouseKeySnapshot QLStyleBoraWidget::KeySnapshot()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (s_frame && app && QThread::currentThread() == app->thread()) {
        bool allKeys = false;
        {
            std::lock_guard<std::mutex> lock(s_snapshotLock);
            allKeys = s_snapshot.allKeys; // a fresh copy still answers for the last request
        }
        s_frame->TakeKeySnapshot(allKeys);
    }
    std::lock_guard<std::mutex> lock(s_snapshotLock);
    return s_snapshot;
}

// ---- the page's lists and columns --------------------------------------------------------------

void QLStyleBoraWidget::BuildConfigButtons(const QString &itemListPath)
{
    QVector<QString> keys;
    ConfigItemList::ItemMap items = ConfigItemList::Load(itemListPath, keys);
    if (!m_ButtonGroup) {
        m_ButtonGroup = new QButtonGroup(this);
        connect(m_ButtonGroup, &QButtonGroup::idClicked, this,
                &QLStyleBoraWidget::TabBarClicked);
    }
    // A file whose keys and tabs disagree (a repeated key, an empty tab) shows no tabs at all.
    if (keys.size() == items.size()) {
        QHash<uint, QString> commands;
        for (int n = 0; n < keys.size(); ++n) {
            const QStringList halves = keys.at(n).split(QLatin1Char('|'));
            uint16_t textId = 0, captionId = 0;
            const QString text = ParseKeyText(halves.value(0), &textId);
            const QString caption = ParseKeyText(halves.value(1), &captionId);
            const QVector<ConfigItem *> tabItems = items.value(keys.at(n));
            m_ConfigLists.append(tabWidget_2->AddListTab(text, caption, captionId, this, tabItems));
            auto *button = new QLStylRadioButton(Tab_BarWidget);
            button->setObjectName(QStringLiteral("Button_%1").arg(n));
            ApplyAppFont(button, 13);
            if (textId)
                button->SetTextId(textId);
            else
                button->setText(text);
            // Only the height is capped: a width cap of 50 cuts longer tab names ("Functions").
            button->setMaximumHeight(25);
            m_TabBarLayout->addWidget(button, 1);
            m_ButtonGroup->addButton(button, n);
            for (const ConfigItem *item : tabItems) {
                if (item->kind != 1)
                    continue;
                bool ok = false;
                const uint code = QString(item->code).remove(QStringLiteral("0x"), Qt::CaseInsensitive).toUInt(&ok, 16);
                uint16_t id = 0;
                if (ok)
                    commands.insert(code, ParseKeyText(item->centre.isEmpty() ? item->left : item->centre, &id));
            }
        }
        if (MainWidget *main = MainWidget::instance())
            main->CommandTextTable() = commands;
    }
    ConfigItemList::Free(items);
}

bool QLStyleBoraWidget::SafePicture(const QString &name)
{
    // A picture is a file of the product folder: no absolute path, no way up or out of it.
    if (name.isEmpty() || QDir::isAbsolutePath(name) || name.contains(QLatin1Char('\\')) || name.contains(QLatin1Char(':')))
        return false;
    for (const QString &part : name.split(QLatin1Char('/')))
        if (part == QLatin1String(".."))
            return false;
    return true;
}

void QLStyleBoraWidget::DropUnsafeMacro(LineKeyRecord &record)
{
    if (record.valueType != 1 || IsSafeFileComponent(record.reName))
        return;
    record.reName.clear();
    record.recode.clear();
    record.valueType = 0;
}

void QLStyleBoraWidget::LoadProduct(const QString &configPath)
{
    if (m_ProductDir.isEmpty())
        if (MainWidget *main = MainWidget::instance())
            m_ProductDir = main->ProductDir();
    const QString base = QFileInfo(configPath).completeBaseName();
    ShowConfigName(base);
    QString levels, pictures, small;
    QMap<QString, QVector<LineKeyRecord>> records = QBackLineMange().Read(configPath, &levels, &pictures, &small);
    if (levels == QLatin1String("NULL")) {
        layerNavigationBar->hide();
    } else {
        layerNavigationBar->show();
        layerNavigationBar->BuildButtons(levels.split(QLatin1Char('|')), 50);
    }
    for (const QString &picture : pictures.split(QLatin1Char('|'))) {
        auto *column = new QGradualChangeLine(nullptr);
        m_Pages->addWidget(column);
        column->ResetButton()->show();
        if (SafePicture(picture))
            column->SetBackImage(m_ProductDir + QLatin1Char('/') + picture);
        column->SetColumnName(picture);
        QVector<LineKeyRecord> rows = records.value(picture);
        for (LineKeyRecord &row : rows)
            DropUnsafeMacro(row);
        column->SetLines(rows);
        ConnectColumn(column);
    }
    SetTabButtonStyle();
    TakeKeySnapshot();
    // The page serves one mouse after another: the panel lists this one's files.
    m_ConfigDirs->SetInUseName(CurrentConfigName());
    m_ConfigDirs->Refresh();
}

void QLStyleBoraWidget::ConnectColumn(QGradualChangeLine *column)
{
    connect(column, &QGradualChangeLine::LineValueDtdaChange, this, &QLStyleBoraWidget::on_LineValueDtdaChange);
    connect(column, &QGradualChangeLine::ResetButtonKey, this, &QLStyleBoraWidget::on_ResetKeyButton);
    for (QConfigList *list : qAsConst(m_ConfigLists))
        ConnectListToColumn(list, column);
}

void QLStyleBoraWidget::SetDpiConfig(const QString &memoryMapPath)
{
    delete QDpiConfigMange().Parse(memoryMapPath);
}

void QLStyleBoraWidget::OpenConfigFile(const QString &path)
{
    const QString base = QFileInfo(path).completeBaseName();
    for (int i = 0; i < tabWidget_2->count(); ++i) {
        auto *list = tabWidget_2->widget(i)->findChild<QConfigList *>();
        if (list && list->FirstRowType() == 8) {
            list->AddItem(7, base, QString(), QStringLiteral("0x00"));
            return;
        }
    }
}

bool QLStyleBoraWidget::IsThirdButtonChecked() const
{
    QAbstractButton *button = m_ButtonGroup ? m_ButtonGroup->button(2) : nullptr;
    return button && button->isChecked();
}

void QLStyleBoraWidget::ApplyKeyRecord(const LineKeyRecord &stored)
{
    LineKeyRecord record = stored;
    DropUnsafeMacro(record);
    for (QLineInfo *row : qAsConst(m_rows)) {
        if (row->geometry() != record.rect)
            continue;
        qDebug() << "datarect:" << record.rect;
        uint16_t defaultId = 0, nameId = 0;
        const QString text = ParseKeyText(record.defaultText, &defaultId);
        const QString name = ParseKeyText(record.reName, &nameId);
        row->SetLineInfo(record.rect, text, record.defaultCode, record.slope, record.direction, record.sendAddress);
        row->SetDefaultTextId(defaultId);
        QLineLabelHead *head = row->Head();
        if (!name.isEmpty()) {
            row->SetReName(name);
            row->SetRecode(record.recode);
            row->SetNameId(nameId);
            row->SetValueType(record.valueType);
            if (head)
                head->SetTextId(nameId);
        } else {
            // A record without an assignment puts the button back to its factory function; the
            // old assignment must not stay behind and be sent or saved with this configuration.
            row->SetRecode(QString());
            row->SetNameId(0);
            row->SetValueType(0);
            if (head)
                head->SetTextId(defaultId);
        }
        row->SetChangeFlag(record.change ? 1 : 0);
        if (!head)
            continue;
        if (row->ValueType() == 1)
            head->SetHeadInfo(row->ReName(), QPixmap(QStringLiteral(":/new/prefix1/Imges/M_File_25px.png")));
        else
            head->SetHeadText(row->ReName());
        head->update();
    }
}

void QLStyleBoraWidget::RenameMacroKeys(const QString &from, const QString &to)
{
    // Every product keeps its own macros: a page of another mouse has none of this one's.
    const MainWidget *main = MainWidget::instance();
    if (!main || m_ProductDir != main->ProductDir())
        return;
    for (QLineInfo *row : qAsConst(m_rows)) {
        if (row->ValueType() != 1 || row->ReName() != from)
            continue;
        row->SetReName(to);
        if (QLineLabelHead *head = row->Head()) {
            head->SetHeadInfo(to, QPixmap(QStringLiteral(":/new/prefix1/Imges/M_File_25px.png")));
            head->update();
        }
    }
    KeySnapshot(); // the workers' copy follows, as asked last
}

// ---- choosing and saving the configuration -------------------------------------------------------

void QLStyleBoraWidget::ShowConfigName(const QString &name)
{
    // The product's own files are the default configuration, whichever way they were opened.
    const bool factory = name == QLatin1String("Base") || name == QLatin1String("imageAndLines");
    ConfigenameLabel->setText(factory ? GetLangText(10) : name);
}

QString QLStyleBoraWidget::CurrentConfigName()
{
    MainWidget *main = MainWidget::instance();
    std::unique_ptr<QSettings> ini(main ? main->OpenProductDataIni() : nullptr);
    return ini ? ini->value(QStringLiteral("default/UserConfig")).toString() : QString();
}

void QLStyleBoraWidget::on_ConfigDirs_Itemclicked(QString itemtext)
{
    MainWidget *main = MainWidget::instance();
    if (!main || HID_API::PageDeviceGoing())
        return;
    // Only a configuration of this mouse's own folder is named in its data file: a name without
    // a readable file there would leave the page blank at its next opening.
    const QString path = QStringLiteral("%1/%2.xml").arg(main->UserConfigDir(), itemtext);
    const bool named = IsSafeFileComponent(itemtext) && ConfigDirFiles::IsSafeName(itemtext);
    if (!named || OpenXmlDocument(path).documentElement().tagName() != QLatin1String("Backinfos")) {
        WriteLogLine(QStringLiteral("configuration not chosen: %1 cannot be read or named").arg(path));
        const bool gone = named && !QFileInfo::exists(path);
        main->ShowMessage(QColor(178, 179, 180), GetLangText(gone ? 764 : 830), true);
        if (gone) { // the lists show the folder again
            m_ConfigDirs->Refresh();
            for (QConfigList *list : qAsConst(m_ConfigLists))
                list->LoadUserConfigItems();
        }
        return;
    }
    bool stored;
    {
        std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
        ini->setValue(QStringLiteral("default/UserConfig"), itemtext);
        stored = CheckedSave::SyncSettings(*ini);
    }
    if (!stored) { // the configuration in use stays the one stored
        main->ShowMessage(QColor(178, 179, 180), CheckedSave::FailureText(CheckedSave::Settings), true);
        return;
    }
    m_ConfigDirs->SetInUseName(itemtext);
    main->ShowPageMask();
    ShowConfigName(itemtext);
    QString levels, pictures, small;
    const auto records = QBackLineMange().Read(path, &levels, &pictures, &small);
    for (auto it = records.cbegin(); it != records.cend(); ++it)
        for (const LineKeyRecord &record : it.value())
            ApplyKeyRecord(record);
    SaveAndSend(true);
}

void QLStyleBoraWidget::on_ConfigChangeTofile()
{
    MainWidget *main = MainWidget::instance();
    const QString name = CurrentConfigName();
    ShowConfigName(name);
    if (HID_API::PageDeviceGoing())
        return; // the mouse went in a wait that has not returned yet: its file stays as it was
    // No name, or one that is no file of the folder: nothing to save into (never ".xml").
    if (!main || !IsSafeFileComponent(name)) {
        WriteLogLine(QStringLiteral("mouse keys not saved: no usable configuration name \"%1\"").arg(name));
        return;
    }
    const QString path = QStringLiteral("%1/%2.xml").arg(main->UserConfigDir(), name);
    // The texts of the file come from the file itself: a save never follows a failed read, so a
    // vanished or damaged file is not replaced by one without pictures.
    const QDomDocument document = OpenXmlDocument(path);
    if (document.documentElement().tagName() != QLatin1String("Backinfos")) {
        WriteLogLine(QStringLiteral("mouse keys not saved: %1 cannot be read").arg(path));
        return;
    }
    QString levels, pictures, small;
    QBackLineMange store;
    const auto stored = store.Read(path, &levels, &pictures, &small);
    // A page whose buttons did not load holds no row: its save would empty a file that has them.
    const QMap<QString, QList<QLineInfo *>> rows = LineValueMap();
    const auto holdsRows = [](const auto &map) {
        for (const auto &picture : map)
            if (!picture.isEmpty())
                return true;
        return false;
    };
    if (!holdsRows(rows) && holdsRows(stored)) {
        WriteLogLine(QStringLiteral("mouse keys not saved: the page holds none of the buttons of %1").arg(path));
        return;
    }
    store.Write(path, levels, pictures, small, rows);
}

void QLStyleBoraWidget::SaveAndSend(bool allKeys)
{
    if (MainWidget *main = MainWidget::instance())
        main->on_Show_busy_Status();
    Q_EMIT ConfigDataChange();
    on_ConfigChangeTofile();
    {
        NestedWait::Scope wait; // lets the busy indicator show
        QCoreApplication::processEvents(QEventLoop::AllEvents, 500);
    }
    TakeKeySnapshot(allKeys);
    Q_EMIT ZrMouseKeyValueChange();
    // Without a worker manager nobody would end the busy indicator.
    MainWidget *main = MainWidget::instance();
    if (main && !isSignalConnected(QMetaMethod::fromSignal(&QLStyleBoraWidget::ZrMouseKeyValueChange)))
        main->on_Hide_busy_Status();
}

void QLStyleBoraWidget::on_LineValueDtdaChange()
{
    SaveAndSend(false);
}

void QLStyleBoraWidget::on_ChangeConfig(QString open_file)
{
    // A configuration row chooses as the configuration panel's use button does.
    on_ConfigDirs_Itemclicked(open_file);
}

// ---- left panel, tabs and arrows ---------------------------------------------------------------------

void QLStyleBoraWidget::TabBarClicked(int Buttonid)
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowPageMask();
    tabWidget_2->setCurrentIndex(Buttonid);
    if (Buttonid == 2 && Buttonid < m_ConfigLists.size())
        m_ConfigLists.at(Buttonid)->LoadMacroItems(m_ProductDir);
}

void QLStyleBoraWidget::SetTabButtonStyle()
{
    static const QString active = QStringLiteral(
        "QPushButton {border:3px;border-radius:30px;background-color: rgba(182, 183, 184,100);font: 87 20pt 'Arial "
        "Black';color: rgb(255, 255, 255);}            QPushButton:hover{background-color: rgb(14, 183, 255);}");
    static const QString faded = QStringLiteral(
        "QPushButton{border:3px; border-radius:30px;background-color: rgba(182, 183, 184,20);font: 87 20pt 'Arial "
        "Black';color: rgb(255, 255, 255);}");
    const int index = m_Pages->currentIndex();
    const bool first = index <= 0;
    const bool last = index >= m_Pages->count() - 1;
    But_Left_Move->setStyleSheet(first ? faded : active);
    But_Reight_Move->setStyleSheet(first ? active : (last ? faded : active));
}

void QLStyleBoraWidget::on_But_Left_Move_clicked()
{
    if (m_Pages->currentIndex() > 0) {
        if (MainWidget *main = MainWidget::instance())
            main->ShowPageMask();
        m_Pages->setCurrentIndex(m_Pages->currentIndex() - 1);
    }
    SetTabButtonStyle();
}

void QLStyleBoraWidget::on_But_Reight_Move_clicked()
{
    if (m_Pages->currentIndex() + 1 < m_Pages->count()) {
        if (MainWidget *main = MainWidget::instance())
            main->ShowPageMask();
        m_Pages->setCurrentIndex(m_Pages->currentIndex() + 1);
    }
    SetTabButtonStyle();
}

void QLStyleBoraWidget::on_ButLock_LeftWidget_clicked(bool checked)
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowPageMask();
    tabWidget_2->setEnabled(!checked);
    Tab_BarWidget->setEnabled(!checked);
    if (checked) {
        LeftWidget->setStyleSheet(QStringLiteral("#LeftWidget{ border:none;border-radius:25px;background-color: rgb(0, 0,0);}"));
        m_LockCover->setGeometry(0, 0, tabWidget_2->width(), tabWidget_2->height());
        m_LockCover->show();
    } else {
        m_LockCover->hide();
        LeftWidget->setStyleSheet(
            QStringLiteral("#LeftWidget{ border:none;border-radius:25px;background-color: rgb(33, 34,42);}"));
    }
}

void QLStyleBoraWidget::on_ButConfig_clicked(bool checked)
{
    if (checked)
        m_ConfigDirs->setGeometry(0, 35, LeftWidget->width() - 3, LeftWidget->height() - 35);
    if (MainWidget *main = MainWidget::instance())
        main->ShowPageMask();
    m_ConfigDirs->SetInUseName(CurrentConfigName());
    m_ConfigDirs->Refresh();
    m_ConfigDirs->setVisible(checked);
    if (checked)
        ButLock_LeftWidget->hide();
}

void QLStyleBoraWidget::on_SetLeftenabeld(bool enabeld)
{
    if (enabeld)
        QDarkScreenWidget::Disp(LeftWidget);
    else
        QDarkScreenWidget::UnDisp();
}

void QLStyleBoraWidget::on_SetLeftenabeld()
{
    on_SetLeftenabeld(false);
}

void QLStyleBoraWidget::on_DeleteConfigUi(QString File)
{
    tabWidget_2->DeleteUserConfigFile(File);
}

void QLStyleBoraWidget::on_DeleteMacroUi(QString MacroFile)
{
    tabWidget_2->DeleteMacroFile(MacroFile);
}

void QLStyleBoraWidget::on_toEditMacroUi(QString) {}
void QLStyleBoraWidget::on_toCreatMacr() {}
void QLStyleBoraWidget::on_ButtonChange(int, QString) {}
void QLStyleBoraWidget::on_ResetKeyButton() {}

void QLStyleBoraWidget::on_LanguageChange()
{
    ButConfig->setToolTip(GetLangText(14));
    ButLock_LeftWidget->setToolTip(GetLangText(229));
}

void QLStyleBoraWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    tabWidget_2->setCurrentIndex(0);
    if (QAbstractButton *button = m_ButtonGroup ? m_ButtonGroup->button(0) : nullptr)
        button->setChecked(true);
}

void QLStyleBoraWidget::on_ClearItems()
{
    while (tabWidget_2->count() > 0) {
        QWidget *page = tabWidget_2->widget(0);
        tabWidget_2->removeTab(0);
        delete page;
    }
    if (m_ButtonGroup)
        for (QAbstractButton *button : m_ButtonGroup->buttons()) {
            m_ButtonGroup->removeButton(button);
            delete button;
        }
    layerNavigationBar->UnBuilbButtons();
    QVector<QGradualChangeLine *> columns;
    CollectColumns(this, columns);
    m_rows.clear();
    qDeleteAll(columns);
    m_ConfigLists.clear();
    m_ConfigDirs->List()->clear();
    TakeKeySnapshot();
}

void QLStyleBoraWidget::on_toEditDefinepage()
{
    QString name;
    int mode = 1;
    bool accepted = false;
    {
        QGenerateFile dialog(nullptr);
        accepted = dialog.GetResult(&name, &mode);
    }
    MainWidget *w = MainWidget::instance();
    if (!accepted || !w)
        return;
    w->on_TabChangeEditkeysDefinition(name, false);
    w->on_SetEditkeysDefinitionRunWay(mode);
}
