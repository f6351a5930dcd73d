#pragma once
#include <QWidget>

// The lighting page: the effect list and its controls. Its signals drive the host effect thread
// and the on-screen keyboard.
class QLightConfigWIdget : public QWidget
{
    Q_OBJECT
public:
    explicit QLightConfigWIdget(QWidget *parent = nullptr);
    ~QLightConfigWIdget() override;
    static QLightConfigWIdget *instance();

    // The lighting model chosen on the page; 97 is the self-defined one.
    int CurrentEffectFlag = 0;

Q_SIGNALS:
    void _KeyBoradLightSleep_Lumina(int speed, int luminance);
    void ChangLightModel(int model, int multiColour, int speed, int luminance, uchar r, uchar g, uchar b);
    void endLightPage();
    void ReSetStandardDiy(bool diy);
    void LightColorChange(uchar r, uchar g, uchar b);

private:
    static QLightConfigWIdget *s_instance;
};
