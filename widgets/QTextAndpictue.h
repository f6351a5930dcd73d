#pragma once
#include <QLabel>
#include <QPixmap>

// The floating picture that follows the mouse while a list item is dragged: a text, a picture,
// or a small picture followed by a text.
class QTextAndpictue : public QLabel
{
    Q_OBJECT
public:
    explicit QTextAndpictue(QWidget *parent = nullptr);

    void SetText(const QString &text);
    void SetTextAndPicture(const QPixmap &picture, const QString &text);
    void SetDrawMode(uchar mode);
    uchar DrawMode() const { return m_mode; }
    bool IsSelected() const { return m_selected; }

public Q_SLOTS:
    void Select();
    void UnSelect();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QPixmap m_picture;
    uchar m_mode = 0;
    bool m_selected = false;
};
