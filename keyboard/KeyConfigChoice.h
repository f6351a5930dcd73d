#pragma once
#include "app/NestedWait.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>

// Makes a user configuration the keyboard's own, all or nothing: every layer goes to the
// keyboard one key write at a time, and only once it has taken the last one is the choice
// stored ("default/UserConfig"). A refused layer, or a name that cannot be stored, puts the
// configuration before back on the keyboard; the chosen file itself is never written.
class KeyConfigChoice : public QObject
{
    Q_OBJECT
public:
    struct Setup
    {
        QString userConfigDir; // the product's "UserConfig" folder
        QString macroDir;      // the product's macro folder
        QString dataIni;       // the product data INI
        QStringList layerNames;
        QString product;
    };

    explicit KeyConfigChoice(QObject *parent = nullptr);
    ~KeyConfigChoice() override;

    // Starts choosing; false when refused before anything was sent, with *refusal the text
    // that says why (empty while another choice runs).
    bool Start(const Setup &setup, const QString &name, QString *refusal);
    bool Running() const { return m_running; }
    // Stops following the keyboard's answers: nothing more is sent and nothing is stored. The
    // staged copies stay until the next choice: the write already queued still reads what it
    // was given, and says nothing of a file gone.
    void Abandon();

public Q_SLOTS:
    // The keyboard's answer to the last layer sent.
    void on_LayerWritten(bool succeeded);

Q_SIGNALS:
    // One key write: the layer of a file.
    void SendLayer(QString file, uchar layer);
    // chosen: the name now the keyboard's; otherwise the configuration before stays, and text,
    // when not empty, says what the keyboard's own refusal did not.
    void Finished(bool chosen, QString name, QString text);

private:
    bool Stage(const QString &from, const QString &to) const;
    bool StoreName() const;
    void RollBack(int layers, const QString &text);
    void on_NoAnswer();
    void End(bool chosen, const QString &text);

    Setup m_setup;
    QString m_name, m_previous;
    QString m_sending, m_before; // staged copies: the chosen layers and those before
    int m_count = 0, m_next = 0, m_rollEnd = 0;
    bool m_running = false, m_rolling = false;
    QString m_text;
    // The choice is one wait from its first layer to its end: page leaves, a device's going and
    // the program's end follow it, so the keyboard is never left between two configurations.
    std::unique_ptr<NestedWait::Scope> m_wait;
    QTimer m_answerTimer; // a keyboard that never answers ends the choice as a refusal
};
