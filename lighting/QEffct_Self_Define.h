#pragma once
#include "lighting/QEffctBase.h"

#include <QPointer>
#include <QRect>

class QLabel;
class QMouseEvent;

// Model 97: shows the keyboard's stored self-define colours once; then a left-button drag over
// the on-screen keyboard paints the keys in the rectangle, a right-button drag clears them, and
// every change is stored for the current device and sent to it.
class QEffct_Self_Define : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    ~QEffct_Self_Define() override;
    int GetModel() override { return 97; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void ReleaseEffct() override;

    QPointer<QLabel> SelectLabel;
    uchar Pressed = 0;
    QPoint PressPoint{0, 0};
    QRect SelectRect;

Q_SIGNALS:
    void DispDiyEffect(uchar *buff);
    void DiyColorChange();

public Q_SLOTS:
    void on_MousePressEvent(QMouseEvent *eve);
    void on_MouseMouveEvent(QMouseEvent *eve);
    void on_MouseRePressEvent(QMouseEvent *eve);
    void on_ButtonDiyColorChange(uchar buttonId, uchar r, uchar g, uchar b);

private:
    void SetLabelStyle(bool clearing);
    // Every key's colour written into a copy of the stored map; false without a stored map or keys.
    bool BuildDiyMap();
    void StoreAndSend();
    void ShowMap(const uchar *map);
    void EndDrag();

    QVector<QMetaObject::Connection> m_links;
    QByteArray m_storedMap; // taken on the GUI thread for the single frame
    uchar m_map[LightRowsFile::kFrameSize] = {};
};
