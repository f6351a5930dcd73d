#pragma once
#include <QRadioButton>

// A tab-like choice with a text id: white centred text, a blue underline while on, and a larger
// font under the mouse, as large as the button's width lets the label be.
class QLStylRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    explicit QLStylRadioButton(QWidget *parent = nullptr);

    // Sets the text id and shows its text at once.
    void SetTextId(quint16 id);
    quint16 TextId = 0;

public Q_SLOTS:
    void on_RefreshLangual();

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
