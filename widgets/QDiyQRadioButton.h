#pragma once
#include <QRadioButton>

// A tab-like choice of the layer bar: its text over an underline, green, brighter green under
// the mouse, red while it is on.
class QDiyQRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    explicit QDiyQRadioButton(QWidget *parent = nullptr);

    void SetButtonText(const QString &text);
    // The underline colour the button paints in its current state.
    QColor UnderlineColour() const;
    bool IsHovered() const { return m_hover; }

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_hover = false;
    int m_level = 230;
};
