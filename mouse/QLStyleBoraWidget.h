#pragma once
// The mouse key-definition page frame. For now it holds what the mouse workers and the rows
// need of it: the one frame, its columns' rows by column name, the text-id references and the
// key-value signal to the worker manager; the configuration lists and pictures come with the
// mouse page.
#include "mouse/MouseKeyRow.h"

#include <QList>
#include <QMap>
#include <QVector>
#include <QWidget>

class QLineInfo;

class QLStyleBoraWidget : public QWidget
{
    Q_OBJECT
public:
    explicit QLStyleBoraWidget(QWidget *parent = nullptr);
    ~QLStyleBoraWidget() override;

    static QLStyleBoraWidget *instance();

    // Column name -> its rows in row order; a later column of the same name replaces an earlier.
    QMap<QString, QList<QLineInfo *>> LineValueMap() const;
    // The rows of every column in child order.
    QVector<QLineInfo *> LineValues() const;
    // Every row made by a column of this frame, in creation order.
    QList<QLineInfo *> &Rows() { return m_rows; }

    // "@<id>" -> the text of that id (id stored); "" -> "" (id 0); other texts unchanged.
    static QString ParseKeyText(const QString &text, uint16_t *id);

    // Opening a product: its configuration lists (item list file), the configuration shown
    // (a user configuration file) and the product's memory map. Filled by the configuration
    // files work; for now they keep the frame as it is.
    void BuildConfigButtons(const QString &itemListPath);
    void LoadProduct(const QString &configPath);
    void SetDpiConfig(const QString &memoryMapPath);

    // Copies the rows and the mouse page's selected button for the workers (GUI thread).
    void TakeKeySnapshot();
    // The last copy, from any thread; on the GUI thread a fresh one is taken first.
    static MouseKeySnapshot KeySnapshot();

Q_SIGNALS:
    void ZrMouseKeyValueChange();
    void ConfigDataChange();

public Q_SLOTS:
    // The new-macro row: names a macro and opens the editor on it.
    void on_toEditDefinepage();
    // After a drop or reset in a column: the assignments go to the mouse.
    void on_LineValueDtdaChange();
    void on_LanguageChange();
    void on_ClearItems();

private:
    QList<QLineInfo *> m_rows;
};
