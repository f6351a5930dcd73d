#include "widgets/QWaitGifWidget.h"
#include "app/QXM_Process.h"

#include <QLabel>
#include <QVBoxLayout>

QWaitGifWidget::QWaitGifWidget(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    label_2 = new QLabel(this);
    label_2->setAlignment(Qt::AlignCenter);
    layout->addWidget(label_2);
    RefreshLanguage();
}

void QWaitGifWidget::RefreshLanguage()
{
    label_2->setText(GetLangText(150));
}
