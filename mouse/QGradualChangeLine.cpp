#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLineInfo.h"
#include "mouse/QLineLabelHead.h"
#include "widgets/AppFont.h"

#include <QPainter>
#include <QPushButton>

QGradualChangeLine::QGradualChangeLine(QWidget *parent) : QWidget(parent)
{
    m_ResetButton = new QPushButton(QStringLiteral("使用默认键值"), this);
    m_ResetButton->setFixedSize(100, 30);
    m_ResetButton->setFont(LoadAppFont(15));
    m_ResetButton->setStyleSheet(QStringLiteral(
        "QPushButton{background-color: rgb(38, 38, 38);border-radius:5px;border:none;color: rgba(255, 255, 255, 200);}"
        "QPushButton:hover{background-color:rgb(48, 82, 132);}"
        "QPushButton:disabled{background-color: rgba(38, 38, 38,100);}"));
    m_ResetButton->hide();
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
    head->show();
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
    m_ResetButton->move((width() - 100) / 2, height() - 30);
}

void QGradualChangeLine::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Q_EMIT DispLineAnimation();
}
