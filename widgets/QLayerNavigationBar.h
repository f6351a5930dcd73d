#pragma once
#include <QStringList>
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;

// A row of exclusive tab-like buttons, one per layer name; reports the chosen one by index and text.
class QLayerNavigationBar : public QWidget
{
    Q_OBJECT
public:
    explicit QLayerNavigationBar(QWidget *parent = nullptr);

    void BuildButtons(const QStringList &names, int minimumWidth);
    int CheckedButtonId() const;
    QButtonGroup *ButtonGroup() const { return m_group; }

public Q_SLOTS:
    void UnBuilbButtons();

Q_SIGNALS:
    void ButtonChange(int id, QString Text);
    void ButtonChange(int id);

private Q_SLOTS:
    void on_mbuttonGroup_buttonClicked(int id);

private:
    QHBoxLayout *horizontalLayout = nullptr;
    QButtonGroup *m_group = nullptr;
};
