#pragma once
#include <QColor>
#include <QMap>
#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QPropertyAnimation;
class QPushButton;
class QRadioButton;
class QGradientRampEditWidget;

// The compact colour chooser of the lighting page: a ramp, a hue strip that recolours the ramp,
// seven preset swatches and three decimal fields. Every user pick emits ChickColorChange once;
// the page's own SetColour emits nothing.
class QEditColourDialog : public QWidget
{
    Q_OBJECT
public:
    explicit QEditColourDialog(QWidget *parent = nullptr);
    ~QEditColourDialog() override;

    void SetColour(uchar R, uchar G, uchar B);
    void SetEditEnabled(bool enabled);
    bool IsGradientRampEnabled() const;
    QString HexText() const;
    bool IsMColorButtonEnabled() const;
    void SetMColorButtonEnabled(bool enabled);
    bool IsMColorButtonChecked() const;
    void SetMColorButtonChecked(bool checked);

    QColor CurrentColour() const { return QColor(m_R, m_G, m_B); }

    // The ramp's style sheet for a hue: the hue, then its channels times 0.8, 0.3 and 0.1.
    static QString RampStyleFor(uchar r, uchar g, uchar b);
    // The colour on screen under the cursor, read from the window that shows this widget.
    static bool GrabScreenColour(const QWidget *source, uchar &R, uchar &G, uchar &B);

Q_SIGNALS:
    void ChickColorChange(int R, int G, int B);
    void MoreColorChange(bool OPen);
    void ColorRerelesePrece(uchar R, uchar G, uchar B);

private Q_SLOTS:
    void on_StrawColourLabelClick();
    void on_GradientRampEditClick();
    void on_ButClose_clicked();
    void on_GroupCheck(QAbstractButton *objButton);
    void on_MColorButton_clicked(bool checked);
    void on_ColoreditingFinished();

private:
    void setupUi();
    void showColour(bool rewriteFields);

    uchar m_R = 255;
    uchar m_G = 0;
    uchar m_B = 0;
    QPropertyAnimation *m_slideOut = nullptr;
    QButtonGroup *m_presetGroup = nullptr;
    QMap<QAbstractButton *, QColor> m_presetColours;
    QAbstractButton *m_currentPreset = nullptr;
    QWidget *m_overlay = nullptr;

    // The form.
    QGradientRampEditWidget *GradientRampEdit = nullptr;
    QGradientRampEditWidget *StrawColourLabel = nullptr;
    QRadioButton *CurrntColourLabel = nullptr;
    QPushButton *MColorButton = nullptr;
    QWidget *widget = nullptr;
    QFrame *line = nullptr;
    QRadioButton *BiyColor[7] = {};
    QLabel *label_Hex = nullptr;
    QLabel *HexLable = nullptr;
    QLabel *label = nullptr;
    QLabel *Label_RGB = nullptr;
    QLineEdit *RedLable = nullptr;
    QLineEdit *GreenLable = nullptr;
    QLineEdit *BlueLable = nullptr;
};
