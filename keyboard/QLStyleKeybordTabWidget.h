#pragma once
#include <QWidget>

// The keyboard device page.
class QLStyleKeybordTabWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QLStyleKeybordTabWidget(QWidget *parent = nullptr);
    ~QLStyleKeybordTabWidget() override;
    static QLStyleKeybordTabWidget *instance();

    void BuildPage(const QString &productFolder);
    void ExitPage();
    QString BuiltProduct() const { return m_product; }

Q_SIGNALS:
    void SetKeyboardKeys(const QString &file, uchar layer);
    void ResetKeyboradConfig(const QString &file);

public Q_SLOTS:
    void ButExit_on_clicked();
    void on_RefreshLangual();
    void on_MacroFileChangge(const QString &file);
    void on_MarcoQuitPage();

private:
    QString m_product;
    static QLStyleKeybordTabWidget *s_instance;
};
