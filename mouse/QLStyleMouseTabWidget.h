#pragma once
#include <QWidget>

struct MouseConfigRecord;
class QLStyleBoraWidget;

// The mouse device page.
class QLStyleMouseTabWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QLStyleMouseTabWidget(QWidget *parent = nullptr);
    ~QLStyleMouseTabWidget() override;
    static QLStyleMouseTabWidget *instance();

    void LoadProductItems(const QString &productFolder);
    void ConfigMouse(MouseConfigRecord *record);
    void CloseTabs();
    void RefreshFirmwareInfo();
    QString LoadedProduct() const { return m_product; }

    // The mouse button whose assignment is written next; 0xFF means all back to defaults.
    uchar m_CurrentKeyIndex = 0;
    QLStyleBoraWidget *m_LStyleBoraWidget = nullptr; // the key-definition page

Q_SIGNALS:
    void Cleartabs();
    void Exit();
    void ChangeMousePram(uchar code, uint v1, uint v2, uint v3, uint v4);
    void ResetMouseCofig();
    void UpdataMouseConfigPram(uchar code);

public Q_SLOTS:
    void ButExit_on_clicked();
    void on_RefreshLangual();
    void on_MacroFileChangge(const QString &file);

private:
    QString m_product;
    static QLStyleMouseTabWidget *s_instance;
};
