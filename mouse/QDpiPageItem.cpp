#include "mouse/QDpiPageItem.h"
#include "mouse/CurrentDeviceDpiStep.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"
#include "widgets/QSliderAlterMax.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

namespace {
const uint kMinDpi = 50;
const uint kMaxDpi = 26000;
} // namespace

QDpiPageItem::QDpiPageItem(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QDpiPageItem"));
    resize(353, 62);
    auto *row = new QHBoxLayout(this);
    row->setSpacing(20);
    DpiIndex_1 = new QLabel(this);
    DpiIndex_1->setObjectName(QStringLiteral("DpiIndex_1"));
    DpiIndex_1->setMinimumWidth(50);
    Backlight_Slider = new QSliderAlterMax(this);
    Backlight_Slider->setObjectName(QStringLiteral("Backlight_Slider"));
    DpiEdit1 = new QLineEdit(this);
    DpiEdit1->setObjectName(QStringLiteral("DpiEdit1"));
    DpiEdit1->setMinimumHeight(40);
    DpiEdit1->setMaximumWidth(100);
    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setFixedWidth(90); // the same room with and without the mark: the sliders line up
    auto *mark = new QHBoxLayout(widget);
    mark->setSpacing(2);
    LabelDisp = new QLabel(widget);
    LabelDisp->setObjectName(QStringLiteral("LabelDisp"));
    LabelDisp->setFixedSize(10, 10);
    LabelDisp->setStyleSheet(QStringLiteral("background-color:#FF0000;border-radius:5px;"));
    label = new QLabel(GetLangText(875), widget);
    label->setObjectName(QStringLiteral("label"));
    mark->addWidget(LabelDisp);
    mark->addWidget(label);
    row->addWidget(DpiIndex_1);
    row->addWidget(Backlight_Slider, 1);
    row->addWidget(DpiEdit1);
    row->addWidget(widget);

    m_validator = new QIntValidator(int(kMinDpi), int(kMaxDpi), DpiEdit1);
    DpiEdit1->setValidator(m_validator);
    Backlight_Slider->min = kMinDpi;
    Backlight_Slider->max = kMaxDpi;
    ApplyAppFont(DpiIndex_1, 15);
    ApplyAppFont(DpiEdit1, 15);
    ShowCurrentText();
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QDpiPageItem::ShowCurrentText);
    installEventFilter(this);
    // A right click anywhere on the row makes its stage current: the slider and the field take
    // the press themselves, so the row watches every part of it.
    for (QWidget *part : findChildren<QWidget *>())
        part->installEventFilter(this);
    DpiEdit1->setContextMenuPolicy(Qt::NoContextMenu);
    connect(Backlight_Slider, QOverload<uint>::of(&QSliderAlterMax::sliderReleased), this,
            &QDpiPageItem::on_Backlight_Slider_sliderReleased);
    connect(Backlight_Slider, &QSliderAlterMax::valueChanged, this, &QDpiPageItem::on_Backlight_Slider_valueChanged);
    connect(DpiEdit1, &QLineEdit::editingFinished, this, &QDpiPageItem::on_DpiEdit1_editingFinished);
    setMChecked(false);
}

uint QDpiPageItem::dpiValue() const
{
    return Backlight_Slider->Value();
}

QString QDpiPageItem::dpiText() const
{
    return DpiEdit1->text();
}

void QDpiPageItem::setIndex(int number)
{
    DpiIndex_1->setText(QString::number(number % 256));
}

void QDpiPageItem::setDpiRange(uint max, uint min)
{
    Backlight_Slider->max = max;
    Backlight_Slider->min = min;
    m_validator->setRange(int(min), int(max));
    uint v = Backlight_Slider->Value();
    if (v > max)
        v = max;
    else if (v < min)
        v = min;
    DpiEdit1->setText(QString::number(v));
    Backlight_Slider->setValue(v);
}

void QDpiPageItem::setDpi(uint value)
{
    Backlight_Slider->setValue(value);
    m_committed = value;
    DpiEdit1->setText(QString::number(value));
}

void QDpiPageItem::setColor(const QColor &colour)
{
    DpiEdit1->setStyleSheet(QStringLiteral("QLineEdit{background-color: #00000000;color: rgb(255, 255, 255);"
                                           "border:3px solid rgba(%1,%2,%3,255);border-radius:8px;}")
                                .arg(colour.red())
                                .arg(colour.green())
                                .arg(colour.blue()));
}

void QDpiPageItem::setMChecked(bool checked)
{
    LabelDisp->hide();
    label->hide();
    m_checked = checked;
    if (checked) {
        LabelDisp->show();
        label->show();
    }
}

QVector<uint> QDpiPageItem::VisibleStageValues(const QListWidget *list)
{
    QVector<uint> values;
    for (int i = 0; list && i < list->count(); ++i) {
        QListWidgetItem *item = list->item(i);
        auto *row = qobject_cast<QDpiPageItem *>(list->itemWidget(item));
        if (row && !item->isHidden())
            values.append(row->committedValue());
    }
    return values;
}

void QDpiPageItem::on_Backlight_Slider_valueChanged(uint value)
{
    DpiEdit1->setText(QString::number(value));
}

void QDpiPageItem::on_DpiEdit1_editingFinished()
{
    Backlight_Slider->setValue(DpiEdit1->text().toUInt());
}

void QDpiPageItem::on_Backlight_Slider_sliderReleased(uint value)
{
    const uint distance = value > m_committed ? value - m_committed : m_committed - value;
    if (distance < 11)
        return;
    const int step = CurrentDeviceDpiStep();
    if (step <= 0)
        return;
    Commit(value / uint(step) * uint(step));
}

void QDpiPageItem::CommitTyped()
{
    const int step = CurrentDeviceDpiStep();
    if (step <= 0 || m_committing)
        return;
    m_committing = true;
    DpiEdit1->clearFocus();
    Backlight_Slider->setValue(DpiEdit1->text().toUInt());
    Commit(Backlight_Slider->Value() / uint(step) * uint(step));
    m_committing = false;
}

void QDpiPageItem::Commit(uint rounded)
{
    // Rounding down must not leave the row's range: the next step up is taken instead.
    const int step = CurrentDeviceDpiStep();
    while (step > 0 && rounded < Backlight_Slider->min)
        rounded += uint(step);
    QListWidget *list = nullptr;
    for (QWidget *w = parentWidget(); w && !list; w = w->parentWidget())
        list = qobject_cast<QListWidget *>(w);
    if (VisibleStageValues(list).contains(rounded)) {
        Backlight_Slider->setValue(m_committed);
        DpiEdit1->setText(QString::number(m_committed));
        return;
    }
    m_committed = rounded;
    DpiEdit1->setText(QString::number(rounded));
    Backlight_Slider->setValue(rounded);
    Q_EMIT valueChange(this, rounded);
}

// The mark's text fits the room the row keeps beside the mark's dot, in every language.
void QDpiPageItem::ShowCurrentText()
{
    label->setText(GetLangText(875));
    const QLayout *mark = widget->layout();
    const QMargins m = mark->contentsMargins();
    FitAppFont(label, label->text(), 15,
               widget->maximumWidth() - m.left() - m.right() - LabelDisp->width() - mark->spacing());
}

bool QDpiPageItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != this && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        if (isEnabled())
            Q_EMIT RefushDefultDpiUi(this);
        return true; // taken here: the row's own press would make it current twice
    }
    if (watched == DpiEdit1) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter)
                CommitTyped();
        } else if (event->type() == QEvent::FocusOut) {
            CommitTyped();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QDpiPageItem::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && isEnabled())
        Q_EMIT RefushDefultDpiUi(this);
    QWidget::mousePressEvent(event);
}
