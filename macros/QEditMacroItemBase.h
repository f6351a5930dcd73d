#pragma once
#include <QWidget>

class QTimer;

// One row of the macro event list. Rows are 50 pixels high and at least 50 wide; key and
// mouse rows fade in when the mouse enters or leaves them.
class QEditMacroItemBase : public QWidget
{
    Q_OBJECT
public:
    explicit QEditMacroItemBase(QWidget *parent = nullptr);

    // 1 mouse button, 2 key, 3 delay row of an event row, 4 delay row of none.
    virtual int ClassTyp() const { return 0; }
    virtual void SetItemData(const QString &name, bool down, uint code, uint delay);
    virtual bool IsCheck() const { return m_check; }
    virtual void SetCheck(bool check);
    virtual bool IsDown() const { return m_down; }
    // A new row of the same class, geometry and data (the floating image of a drag).
    virtual QEditMacroItemBase *Clone(QWidget *parent) const { Q_UNUSED(parent); return nullptr; }

    // The key code (key rows) or button index 0-4 (mouse rows).
    uint Code() const { return m_code; }
    // The wait before the event, ms.
    uint Delay() const { return m_delay; }
    void SetDelay(uint delay) { m_delay = delay; }
    QString Name() const { return m_name; }

Q_SIGNALS:
    void Rightchec(QEditMacroItemBase *row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void StartFade();
    int Alpha() const { return m_alpha; }

    bool m_down = true;
    bool m_check = false;
    QString m_name;
    uint m_code = 0;
    uint m_delay = 0;
    bool m_dragging = false;

private:
    int m_alpha = 255;
    QTimer *m_fade = nullptr;
};
