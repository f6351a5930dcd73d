#include "widgets/QTextAndpictue.h"

#include <QPainter>

QTextAndpictue::QTextAndpictue(QWidget *parent) : QLabel(parent)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(200, 60);
}

void QTextAndpictue::SetText(const QString &text)
{
    m_text = text;
    resize(15 * text.length(), 30);
    update();
}

void QTextAndpictue::SetTextAndPicture(const QPixmap &picture, const QString &text)
{
    m_picture = picture;
    m_text = text;
    resize(15 * (text.length() + 2), 30);
    update();
}

void QTextAndpictue::SetDrawMode(uchar mode)
{
    m_mode = mode;
}

void QTextAndpictue::Select()
{
    m_selected = true;
    update();
}

void QTextAndpictue::UnSelect()
{
    m_selected = false;
    update();
}

void QTextAndpictue::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    switch (m_mode) {
    case 0:
        if (!m_text.isEmpty()) {
            p.setPen(Qt::white);
            p.drawText(rect(), Qt::AlignCenter, m_text);
        }
        break;
    case 1:
        if (!m_picture.isNull())
            p.drawPixmap(rect(), m_picture);
        break;
    case 2: {
        if (!m_picture.isNull())
            p.drawPixmap(QRect(0, 0, 30, 30), m_picture);
        QFont f(QStringLiteral("Arial Black"));
        f.setPointSize(12);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(30, 0, width() - 30, height()), Qt::AlignCenter, m_text);
        break;
    }
    default:
        break;
    }
}
