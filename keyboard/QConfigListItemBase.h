#pragma once
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QWidget>

class QPainter;

// The base of every row of a configuration list: its texts, the text ids they came from and
// the drag state. Command and macro rows are drag sources; the list turns their three drag
// signals into a drop on a key or a mouse button.
class QConfigListItemBase : public QWidget
{
    Q_OBJECT
public:
    explicit QConfigListItemBase(QWidget *parent = nullptr);

    // The row kind of the item list file (0 header, 1 command, 3 macro, 5 new macro,
    // 6 add application, 7 user configuration, 8 new user configuration); -1 here.
    virtual int ItemType() const;
    // Only a group header can be collapsed.
    virtual bool IsCollapsed() const;
    // Texts that begin with "@" show the text of that id and follow the language.
    virtual void SetItemInfo(const QString &left, const QString &centre, const QString &code);

    QString ItemText() const { return m_left; }
    QString CentreText() const { return m_centre; }
    QString Code() const { return m_code; }
    quint16 LeftTextId() const { return m_leftId; }
    quint16 CentreTextId() const { return m_centreId; }
    bool IsDragging() const { return m_dragging; }
    // What a drag carries: the centre text, or the left text when there is none.
    QString DragText() const;

Q_SIGNALS:
    void clicked();
    void clicked(bool click);
    void DragLeftPress(QString Text, QPixmap pic);
    void DragLeftMove(QPoint GlobalPoint);
    void DragLeftRePress(QString Text, QPixmap pic, QString ReSetObjCode, uchar ButtonTyp, ushort Left_Code,
                         ushort Cent_Code);
    void Expande(QConfigListItemBase *obj, bool Ex);

public Q_SLOTS:
    void on_LangueChange();

protected:
    // The 2-pixel line along the bottom edge of file and command rows.
    void PaintBorder(QPainter &painter) const;
    // The "X" area at the right end of a file row.
    bool InDeleteArea(const QPoint &pos) const;
    QRect DeleteArea() const;

    QString m_left;
    QString m_centre;
    QString m_code;
    quint16 m_leftId = 0;
    quint16 m_centreId = 0;
    bool m_dragging = false;
};
