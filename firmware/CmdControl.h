#pragma once
#include <QString>
#include <QThread>
#include <QVariantMap>

typedef struct hid_device_ hid_device;
class CmdDispatch;

// Base of the firmware protocol engines: a thread whose run() writes one image, reporting
// only through the four signals. Exactly one of finished() and failed() ends a run.
class CmdControl : public QThread
{
    Q_OBJECT
public:
    explicit CmdControl(QObject *parent = nullptr);
    ~CmdControl() override;

    CmdDispatch *dispatcher() const { return m_dispatcher; }
    hid_device *device() const { return m_device; }

public Q_SLOTS:
    void run() override {}
    virtual QString ReadWiredVersion() { return QString(); }
    virtual QString QueryWirelessVersion() { return QString(); }
    virtual bool setup() { return true; }
    virtual bool set_params(QVariantMap params);
    virtual bool reset();
    void attach_device(hid_device *dev) { m_device = dev; }

Q_SIGNALS:
    void update_process(int progress);
    void finished();
    void failed(QString msg);
    void message(QString msg);

protected:
    CmdDispatch *m_dispatcher = nullptr;
    hid_device *m_device = nullptr;
};
