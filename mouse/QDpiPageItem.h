#pragma once
// One DPI stage row of the DPI page: stage number, slider, value field and the mark of the
// current stage. The committed value is what the row last accepted; the slider shows the
// displayed value, which differs while the user drags, after a move too small to commit and
// after a range change.
#include <QColor>
#include <QVector>
#include <QWidget>

#include <cstdint>

class QIntValidator;
class QLabel;
class QLineEdit;
class QListWidget;
class QSliderAlterMax;

class QDpiPageItem : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool mchecked READ isChecked WRITE setMChecked)
public:
    explicit QDpiPageItem(QWidget *parent = nullptr);

    uint dpiValue() const;            // the displayed value
    uint committedValue() const { return m_committed; }
    QString dpiText() const;
    void setIndex(int number);
    void setDpiRange(uint max, uint min);
    void setDpi(uint value);
    void setColor(const QColor &colour);
    void setMChecked(bool checked);
    bool isChecked() const { return m_checked; }

    // The committed values of the rows of a stage list whose items are not hidden, in order.
    static QVector<uint> VisibleStageValues(const QListWidget *list);

    // ---- the form ----
    QLabel *DpiIndex_1 = nullptr;
    QSliderAlterMax *Backlight_Slider = nullptr;
    QLineEdit *DpiEdit1 = nullptr;
    QWidget *widget = nullptr;
    QLabel *LabelDisp = nullptr;
    QLabel *label = nullptr;

Q_SIGNALS:
    void RefushDefultDpiUi(QWidget *CurrDpi);
    void valueChange(QWidget *CurrDpi, uint value);

public Q_SLOTS:
    void on_Backlight_Slider_sliderReleased(uint value);
    void on_Backlight_Slider_valueChanged(uint value);
    void on_DpiEdit1_editingFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void ShowCurrentText();
    void CommitTyped();
    void Commit(uint rounded);

    QIntValidator *m_validator = nullptr; // one for the row's life: the range changes often
    uint m_committed = 0;
    bool m_checked = false;
    bool m_committing = false; // a commit clears the focus, which must not commit again
};
