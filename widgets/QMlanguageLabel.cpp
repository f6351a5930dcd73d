#include "widgets/QMlanguageLabel.h"
#include "app/QXM_Process.h"

QMlanguageLabel::QMlanguageLabel(QWidget *parent) : QLabel(parent)
{
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QMlanguageLabel::on_RefreshLangual);
}

void QMlanguageLabel::SetTextId(quint16 id)
{
    TextId = id;
    on_RefreshLangual();
}

void QMlanguageLabel::on_RefreshLangual()
{
    if (TextId != 0)
        setText(QXM_Process::instance()->GetText(TextId));
}
