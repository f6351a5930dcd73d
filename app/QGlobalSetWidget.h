#pragma once
#include <QWidget>

// The global settings page (language, close behaviour, auto-start, versions).
class QGlobalSetWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QGlobalSetWidget(QWidget *parent = nullptr);
    bool IsCloseToTray() const;

Q_SIGNALS:
    void SetCurrLanguage(uchar index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void loadCloseToTray();
    bool m_closeToTray = false;
};
