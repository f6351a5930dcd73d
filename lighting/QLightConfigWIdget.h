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

    // What the keyboard page asks of the lighting page while it opens and switches sub-pages.
    void BuildEffectList(const QList<int> &effects, const QString &audioNames, int typeIndex, int speedSteps,
                         int luminanceSteps);
    void SetStripTabEnabled(bool on) { m_stripEnabled = on; }
    void SelectEffect(int effect) { CurrentEffectFlag = effect; }
    void SetCurrentTab(int tab) { m_tab = tab; }
    void ShowMask(bool speakerFound) { m_masked = !speakerFound; }
    void RefreshFromConfig() { ++m_refreshes; }
    bool IsPreviewRunning() const { return m_preview; }
    QList<int> Effects() const { return m_effects; }
    bool StripTabEnabled() const { return m_stripEnabled; }
    bool Masked() const { return m_masked; }
    int CurrentTab() const { return m_tab; }
    int Refreshes() const { return m_refreshes; }
    int SubPage() const { return m_subPage; }

public Q_SLOTS:
    void on_SwtchDispStatic(bool on) { m_preview = on; }
    void on_LightConfigWIdget_ReChanged(int id) { m_subPage = id; }

Q_SIGNALS:
    void _KeyBoradLightSleep_Lumina(int speed, int luminance);
    void ChangLightModel(int model, int multiColour, int speed, int luminance, uchar r, uchar g, uchar b);
    void endLightPage();
    void ReSetStandardDiy(bool diy);
    void LightColorChange(uchar r, uchar g, uchar b);
    void ResetAudionGrabTime(uint time);

private:
    QList<int> m_effects;
    bool m_stripEnabled = true;
    bool m_masked = false;
    bool m_preview = false;
    int m_tab = 0;
    int m_refreshes = 0;
    int m_subPage = 0;
    static QLightConfigWIdget *s_instance;
};
