#pragma once
#include <QWidget>

class QGridLayout;
class InerWidget;

// The global settings page, tab 3 of the main window; its behaviour lives in InerWidget.
class QGlobalSetWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QGlobalSetWidget(QWidget *parent = nullptr);

    // The page's close-to-tray flag.
    bool IsCloseToTray() const;
    InerWidget *Iner() const { return widget; }

Q_SIGNALS:
    void SetCurrLanguage(uchar Lan);

public Q_SLOTS:
    void RefreshLangual();
    void on_MLan(uchar lan);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QGridLayout *gridLayout = nullptr;
    InerWidget *widget = nullptr;
};
