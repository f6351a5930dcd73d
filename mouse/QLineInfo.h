#pragma once
// One row of a mouse button-assignment column: a callout line from the button on the picture
// to its head, and the button's assignment (what the mouse workers send).
#include <QColor>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>

class QLineLabelHead;

class QLineInfo : public QWidget
{
    Q_OBJECT
public:
    enum Direction : uint8_t { SLeft = 1, SRight, SUp, SDottom, BLeft, BRight, BUp, BDottom };

    explicit QLineInfo(QWidget *parent = nullptr);

    // Places the row at rect and computes its callout; default text and assigned name both take
    // text, the default code takes code.
    void SetLineInfo(const QRect &rect, const QString &text, const QString &code, uint8_t slope, uint8_t direction,
                     uint16_t sendAddress);

    QString DefaultText() const { return m_DefaultText; }
    QString DefaultCode() const { return m_DefaultCode; }
    QString Recode() const { return m_Recode; }
    QString ReName() const { return m_ReName; }
    QString CurrentCode() const { return m_Recode.isEmpty() ? m_DefaultCode : m_Recode; }

    uint16_t SendAddress() const { return m_SendAddress; }
    uint8_t ValueType() const { return m_ValueType; }
    uint16_t DefaultTextId() const { return m_DefaultTextId; }
    uint16_t NameId() const { return m_NameId; }
    // The name id when set, else the default-text id.
    uint16_t EffectiveTextId() const { return m_NameId ? m_NameId : m_DefaultTextId; }
    uint8_t Slope() const { return m_Slope; }
    uint8_t LineDirection() const { return m_Direction; }
    uint8_t ChangeFlag() const { return m_Change; }
    QLineLabelHead *Head() const { return m_Head; }
    QPoint P1() const { return m_P1; }
    QPoint P2() const { return m_P2; }
    QPoint P3() const { return m_P3; }
    bool IsAnimating() const { return m_Animating; }
    QColor LineColor() const { return m_LineColor; }

    void SetValueType(uint8_t type) { m_ValueType = type; }
    void SetRecode(const QString &code) { m_Recode = code; }
    void SetReName(const QString &name) { m_ReName = name; }
    void SetDefaultText(const QString &text) { m_DefaultText = text; }
    void SetDefaultTextId(uint16_t id) { m_DefaultTextId = id; }
    void SetNameId(uint16_t id) { m_NameId = id; }
    void SetChangeFlag(uint8_t change) { m_Change = change; }
    void SetHead(QLineLabelHead *head) { m_Head = head; }
    // Colours of the drag states.
    void SetDefaultColors();
    void SetDragHoverColors();

Q_SIGNALS:
    void enterWidget(QWidget *w);
    void leaveWidget(QWidget *w);
    void setLinesChickStatic(bool LineChick);
    void tailclicked(bool click);
    void LineInfo_select_Manage(QWidget *widget);
    void SetLineSelectstatic(QLineInfo *ptr, bool open);
    void InfoRightRightButton(QWidget *Widget);

public Q_SLOTS:
    void on_DispLineAnimation();
    void on_TimeOut();
    void on_SetLineDarkColor();
    void on_SetLineBrightColor();
    void on_SetLineBlueColor() {}
    void on_RefreshLangual();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool Vertical() const;

    QPoint m_P1, m_P2, m_P3;
    uint16_t m_SendAddress = 8;
    uint8_t m_ValueType = 0;
    QString m_DefaultCode, m_Recode;
    uint16_t m_DefaultTextId = 0, m_NameId = 0;
    QString m_DefaultText, m_ReName;
    QColor m_LineColor{180, 180, 180, 255};
    QColor m_RingColor{150, 150, 150, 80};
    uint8_t m_RingRadius = 12;
    bool m_RingFilled = true;
    QTimer m_Timer;
    bool m_Animating = false;
    int m_End = 0;
    uint8_t m_Direction = SLeft;
    uint8_t m_Slope = 0;
    uint8_t m_Change = 0;
    QLineLabelHead *m_Head = nullptr;
};
