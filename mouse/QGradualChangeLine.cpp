#include "mouse/QGradualChangeLine.h"
#include "app/CheckedSave.h"
#include "device/HID_API.h"
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLineInfo.h"
#include "mouse/QLineLabelHead.h"
#include "widgets/AppFont.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {
constexpr uint16_t kLeftButtonText = 244;
constexpr uint16_t kDisabledText = 250;
const QColor kGreyBar(178, 179, 180);

// The button is as wide as its text in the current language needs, at least its drawn 100 px.
void ShowResetText(QPushButton *button)
{
    button->setText(GetLangText(867));
    button->setFixedSize(std::max(100, button->fontMetrics().horizontalAdvance(button->text()) + 20), 30);
}
} // namespace

QGradualChangeLine::QGradualChangeLine(QWidget *parent) : QWidget(parent)
{
    m_ResetButton = new QPushButton(this);
    m_ResetButton->setFont(LoadAppFont(15));
    ShowResetText(m_ResetButton);
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, m_ResetButton, [this] { ShowResetText(m_ResetButton); });
    m_ResetButton->setStyleSheet(QStringLiteral(
        "QPushButton{background-color: rgb(38, 38, 38);border-radius:5px;border:none;color: rgba(255, 255, 255, 200);}"
        "QPushButton:hover{background-color:rgb(48, 82, 132);}"
        "QPushButton:disabled{background-color: rgba(38, 38, 38,100);}"));
    m_ResetButton->hide();
    connect(m_ResetButton, &QPushButton::clicked, this, &QGradualChangeLine::on_ResetButtonCheck);
}

bool QGradualChangeLine::SetBackImage(const QString &path)
{
    m_BackImage = QImage(path);
    update();
    return !m_BackImage.isNull();
}

void QGradualChangeLine::SetLines(const QVector<LineKeyRecord> &records)
{
    const int count = std::min(records.size(), 255); // the row count is held in 8 bits
    for (int i = 0; i < count; ++i)
        CreateLines(records.at(i));
    for (QLineInfo *row : m_Lines) {
        connect(this, &QGradualChangeLine::DispLineAnimation, row, &QLineInfo::on_DispLineAnimation, Qt::UniqueConnection);
        connect(row, &QLineInfo::enterWidget, this, &QGradualChangeLine::on_enterWidget, Qt::UniqueConnection);
        connect(row, &QLineInfo::leaveWidget, this, &QGradualChangeLine::on_leaveWidget, Qt::UniqueConnection);
        connect(row, &QLineInfo::setLinesChickStatic, this, &QGradualChangeLine::on_setLinesChickStatic,
                Qt::UniqueConnection);
    }
    Q_EMIT DispLineAnimation();
}

void QGradualChangeLine::CreateLines(const LineKeyRecord &record)
{
    uint16_t defaultId = 0, nameId = 0;
    const QString text = QLStyleBoraWidget::ParseKeyText(record.defaultText, &defaultId);
    const QString name = QLStyleBoraWidget::ParseKeyText(record.reName, &nameId);

    auto *row = new QLineInfo(this);
    row->SetLineInfo(record.rect, text, record.defaultCode, record.slope, record.direction, record.sendAddress);
    row->SetDefaultTextId(defaultId);
    row->SetValueType(record.valueType);
    m_Lines.append(row);
    if (QLStyleBoraWidget *frame = QLStyleBoraWidget::instance()) {
        frame->Rows().append(row);
        // a column deleted on its own must not leave its rows in the frame's list
        connect(row, &QObject::destroyed, frame, [frame, row] { frame->Rows().removeAll(row); });
    }

    QPoint anchor = row->mapTo(this, row->P3());
    if (record.direction == QLineInfo::SDottom || record.direction == QLineInfo::BDottom)
        anchor = QPoint(static_cast<int>(anchor.x() * 1.05), static_cast<int>(anchor.y() * 1.05));

    auto *head = new QLineLabelHead(this);
    head->SetAnchor(anchor.x(), anchor.y());
    if (!name.isEmpty()) {
        row->SetReName(name);
        row->SetRecode(record.recode);
        row->SetNameId(nameId);
        head->SetTextId(nameId);
        if (record.valueType == 1)
            head->SetHeadInfo(name, QPixmap(QStringLiteral(":/new/prefix1/Imges/M_File_25px.png")));
        else
            head->SetHeadText(name);
    } else {
        head->SetTextId(defaultId);
        head->SetHeadText(text);
    }
    head->PlaceAtAnchor(30);
    row->SetChangeFlag(record.change ? 1 : 0);
    row->SetHead(head);
    m_Heads.append(head);
    row->show();
    connect(row, &QLineInfo::InfoRightRightButton, this, &QGradualChangeLine::on_ReSetButton);
    connect(head, &QLineLabelHead::HeadRightRightButton, this, &QGradualChangeLine::on_ReSetButton);
    head->show();
}

bool QGradualChangeLine::IsLeftButtonRow(const QLineInfo *row)
{
    if (row->ValueType() == 1)
        return false; // a macro is never the left button, whatever ids the row still carries
    if (row->NameId() == kLeftButtonText)
        return true;
    // the factory left button counts only while it still holds its factory function
    const bool unassigned = row->Recode().isEmpty() || row->Recode() == row->DefaultCode();
    return row->DefaultTextId() == kLeftButtonText && row->NameId() == 0 && unassigned;
}

int QGradualChangeLine::LeftButtonRows() const
{
    int count = 0;
    for (const QLineInfo *row : m_Lines)
        count += IsLeftButtonRow(row) ? 1 : 0;
    return count;
}

void QGradualChangeLine::SetSelectedButton(uint8_t index)
{
    if (QLStyleMouseTabWidget *tab = QLStyleMouseTabWidget::instance())
        tab->m_CurrentKeyIndex = index;
}

uchar QGradualChangeLine::Ask(const QString &text, bool yesOnly)
{
    MainWidget *main = MainWidget::instance();
    return main ? main->ShowMessage(kGreyBar, text, yesOnly) : 0;
}

void QGradualChangeLine::ClearDropTarget()
{
    if (m_DropLine)
        m_DropLine->SetDefaultColors();
    if (m_DropHead)
        m_DropHead->ClearSelected();
    m_DropLine = nullptr;
    m_DropHead = nullptr;
    m_Drag = false;
}

bool QGradualChangeLine::RefuseDrop(const QLineInfo *row, bool lastLeftButton)
{
    if (lastLeftButton) {
        ClearDropTarget();
        Ask(GetLangText(868).arg(GetLangText(kLeftButtonText)), true);
        return true;
    }
    if (row->EffectiveTextId() == kDisabledText) {
        ClearDropTarget(); // a disabled button takes nothing until it is reset
        return true;
    }
    return false;
}

void QGradualChangeLine::on_MouseDragMove(QPoint GPos)
{
    // Every column hears every drag, but only the page on show may take it: a hidden page's
    // rows lie under the same screen points.
    if (!isVisible()) {
        ClearDropTarget();
        return;
    }
    m_Drag = true;
    m_DropLine = nullptr;
    m_DropHead = nullptr;
    for (int i = 0; i < m_Lines.size(); ++i) {
        QLineInfo *row = m_Lines.at(i);
        QLineLabelHead *head = m_Heads.value(i);
        const QPoint inHead = head ? head->mapFromGlobal(GPos) : QPoint();
        const QPoint p1 = row->mapToGlobal(row->P1());
        const bool hit = (head && head->rect().contains(inHead)) || std::hypot(GPos.x() - p1.x(), GPos.y() - p1.y()) <= 10.0;
        if (hit && !m_DropLine) {
            m_DropLine = row;
            m_DropHead = head;
            m_LastHit = row;
            row->SetDragHoverColors();
            if (head)
                head->SetSelected();
        } else {
            row->SetDefaultColors();
            if (head)
                head->ClearSelected();
        }
    }
}

void QGradualChangeLine::on_MouseDragRePress(QString Select_text, QString ObjCode, uchar buttonTyp, ushort leftcode,
                                             ushort centcode)
{
    QLineInfo *row = m_DropLine;
    QLineLabelHead *head = m_DropHead;
    if (!row || !isVisible()) {
        ClearDropTarget();
        return;
    }
    if (m_LastHit && ObjCode == m_LastHit->CurrentCode()) {
        ClearDropTarget();
        return;
    }
    const bool leftByAssignment = row->NameId() == kLeftButtonText && row->DefaultTextId() != kLeftButtonText;
    const bool leftByDefault = row->DefaultTextId() == kLeftButtonText && row->NameId() == 0;
    if (RefuseDrop(row, LeftButtonRows() <= 1 && IsLeftButtonRow(row) && (leftByAssignment || leftByDefault)))
        return;
    SetSelectedButton(static_cast<uint8_t>(row->SendAddress() & 0xFF));
    const uint16_t id = leftcode ? leftcode : centcode;
    row->SetReName(Select_text);
    if (head) {
        head->SetTextId(id);
        head->SetHeadText(Select_text);
        head->on_RefreshLangual();
    }
    row->SetRecode(ObjCode);
    row->SetValueType(buttonTyp);
    row->SetNameId(id);
    ClearDropTarget();
    Q_EMIT LineValueDtdaChange();
}

void QGradualChangeLine::on_MouseDragPixRePress(QString Select_text, QPixmap img, QString ObjCode, uchar buttonTyp)
{
    QLineInfo *row = m_DropLine;
    QLineLabelHead *head = m_DropHead;
    if (!row || !isVisible()) {
        ClearDropTarget();
        return;
    }
    if (RefuseDrop(row, LeftButtonRows() < 2 && IsLeftButtonRow(row)))
        return;
    SetSelectedButton(static_cast<uint8_t>(row->SendAddress() & 0xFF));
    if (head) {
        head->SetTextId(0); // a macro's name is its file name, not a text of the tables
        head->SetHeadInfo(Select_text, img);
    }
    row->SetRecode(ObjCode);
    row->SetValueType(buttonTyp);
    row->SetReName(Select_text);
    row->SetNameId(0); // the row no longer holds the function its old name id stood for
    ClearDropTarget();
    Q_EMIT LineValueDtdaChange();
}

void QGradualChangeLine::on_ReSetButton(QWidget *ObjHeand)
{
    int index = m_Lines.indexOf(qobject_cast<QLineInfo *>(ObjHeand));
    if (index < 0)
        index = m_Heads.indexOf(qobject_cast<QLineLabelHead *>(ObjHeand));
    if (index < 0 || !ObjHeand)
        return;
    QLineInfo *row = m_Lines.at(index);
    QLineLabelHead *head = m_Heads.value(index);
    if (row->Recode().isEmpty() || row->Recode() == QLatin1String("NULL") || row->Recode() == row->DefaultCode())
        return;
    if (row->DefaultTextId() != kLeftButtonText && LeftButtonRows() <= 1 && row->NameId() == kLeftButtonText) {
        Ask(GetLangText(869), true);
        return;
    }
    // A mouse that goes while the question is open takes this column and its rows with it.
    QPointer<QGradualChangeLine> self(this);
    if (Ask(GetLangText(870), false) != 1 || !self)
        return;
    row->SetReName(QString());
    row->SetNameId(0);
    if (head) {
        head->SetTextId(row->EffectiveTextId());
        head->SetHeadText(row->DefaultText());
    }
    row->SetRecode(QString());
    row->SetValueType(0);
    row->SetDefaultColors();
    SetSelectedButton(static_cast<uint8_t>(row->SendAddress() & 0xFF));
    Q_EMIT LineValueDtdaChange();
}

void QGradualChangeLine::on_ResetButtonCheck()
{
    QPointer<QGradualChangeLine> self(this);
    if (Ask(GetLangText(871), false) != 1 || !self)
        return; // a mouse that went during the question took this column with it
    for (int i = 0; i < m_Lines.size(); ++i) {
        QLineInfo *row = m_Lines.at(i);
        row->SetReName(QString());
        if (QLineLabelHead *head = m_Heads.value(i)) {
            head->SetTextId(row->DefaultTextId());
            head->SetHeadText(row->DefaultText());
            head->on_RefreshLangual();
        }
        row->SetRecode(QString());
        row->SetValueType(0);
        row->SetNameId(0);
        row->SetDefaultColors();
    }
    // The user's Base.xml goes back to the factory copy: once, and only when that copy exists,
    // so a missing factory file never leaves the user with no Base.xml at all.
    if (MainWidget *main = MainWidget::instance()) {
        const QString target = main->ProductDir() + QStringLiteral("/UserConfig/Base.xml");
        const QString factory = main->ProductDir() + QStringLiteral("/UserConfig/Base/Base.xml");
        ReplaceFromFactory(factory, target);
        DelayMs(100);
    }
    SetSelectedButton(0xFF);
    Q_EMIT LineValueDtdaChange();
}

bool QGradualChangeLine::ReplaceFromFactory(const QString &factory, const QString &target)
{
    if (HID_API::PageDeviceGoing())
        return false; // the mouse went: its file stays as it was
    QFile source(factory);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    return CheckedSave::WriteFile(target, source.readAll());
}

void QGradualChangeLine::on_enterWidget(QWidget *w)
{
    for (QLineInfo *row : m_Lines)
        row == w ? row->on_SetLineBrightColor() : row->on_SetLineDarkColor();
}

void QGradualChangeLine::on_leaveWidget(QWidget *)
{
    for (QLineInfo *row : m_Lines)
        row->on_SetLineBrightColor();
}

void QGradualChangeLine::on_setLinesChickStatic(bool lineStatic)
{
    m_Lock = lineStatic;
    Q_EMIT LinesLockStatic(lineStatic);
}

void QGradualChangeLine::paintEvent(QPaintEvent *)
{
    if (m_BackImage.isNull())
        return;
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 1, 2));
    QImage image = m_BackImage;
    if (image.width() > width() || image.height() > height()) {
        const double factor = image.width() >= width() ? 0.9 * width() / image.width() : 0.9 * height() / image.height();
        image = image.scaled(static_cast<int>(image.width() * factor), static_cast<int>(image.height() * factor),
                             Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    p.drawImage((width() - image.width()) / 2, (height() - image.height()) / 2, image);
    m_ResetButton->move((width() - m_ResetButton->width()) / 2, height() - 30);
}

void QGradualChangeLine::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Q_EMIT DispLineAnimation();
}
