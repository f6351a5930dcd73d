#pragma once
#include <QLabel>

struct _KeyValueInfo;

// One key of the on-screen keyboard, laid over the keyboard picture: the key's identity from the
// layout, the colour the previews give it, and the assignment it shows in the current layer.
class QMultifunKeyButton : public QLabel
{
    Q_OBJECT
public:
    explicit QMultifunKeyButton(QWidget *parent = nullptr);

    // Read and set directly by the on-screen keyboard.
    uchar R = 0, G = 0, B = 0, A = 180; // shown on the backlight and audio light pages
    QString KeyValue;
    int keypos = 0;
    int Effectpos = 0;
    QString DefaultText;
    uchar Diypos = 0;
    uchar BorderMode = 0;  // 1: an assignment border instead of text
    uchar PictureMode = 0; // 1: no text
    _KeyValueInfo *Record = nullptr; // owned by its layer table
    uchar DisplayType = 0; // 0 none, 1 basic and similar, 2 group, 3 macro, 4 device key code
    uchar Hover = 0;
    uchar Hidden = 0;      // shown with a media icon, takes no colours

    void on_BuildButtonInfo(int Mkeypos, int Mffectpos, QString MKeyValue, uchar MButDiypos, bool border, bool dehide);
    void on_Resetdefault();
    void on_setChangobj(_KeyValueInfo *Info);
    void on_dispText(QString Text);
    void on_disphover(bool h);
    QString GetKeyValue() const { return KeyValue; }
    QColor KeyColor() const;
    // Sets the colour and repaints the key when it changed.
    void SetColour(uchar r, uchar g, uchar b, uchar a);

    // The title of the value pop-up for a key name with "@"; empty when it has none.
    static QString PopupTitle(const QString &name);

Q_SIGNALS:
    void DiyColorChange(QWidget *widget);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void PaintAssignment(QPainter &p);
    uchar m_layoutBorder = 0; // the layout's border value, back after a reset
};
