#pragma once

#include "ClientCallbacks.h"
#include "FaultRuns.h"
#include "ModbusLink.h"
#include "PollPlanner.h"
#include "PollScheduler.h"
#include "RequestQueue.h"
#include "TimedReads.h"

#include <QObject>
#include <QVariantList>

#include <memory>

// Everything one client does, on the thread that made it: the link, the request queue, timed reads in
// poll cycles, and the callbacks with their log lines.
class ModbusEngine : public QObject {
    Q_OBJECT
public:
    explicit ModbusEngine(const LinkParams &params, QObject *parent = nullptr);
    ~ModbusEngine() override;

    bool open();
    bool isConnected() const;
    void close();
    // The last reference is gone: silence at once; deferred when a callback is still running.
    void shutdown(bool deferred);
    bool inCallback() const { return m_callbacks.inCallback(); }

    bool setReadResultCallback(ReadResultCallback fn, void *ctx);
    bool setLogCallback(LogCallback fn, void *ctx);
    bool readData(int kind, int addr, int nb);
    bool startTimerRead(int kind, int addr, int nb);
    bool stopTimerRead(int kind, int addr);
    bool stopAllTimerRead();
    bool writeData(int kind, int addr, const std::shared_ptr<QVariantList> &values);

private:
    QString refusal(int kind, int addr, int nb) const;
    void onFinished(const Request &request, const Outcome &outcome);
    void writeDone(const Request &request, const Outcome &outcome);
    void readDone(const Request &request, const Outcome &outcome);
    void pollDone(const Request &request, const Outcome &outcome);
    bool deliver(const ReadBlock &block, const QVector<quint16> &values, bool onlyTimed, QStringList *texts);
    void onDropped();
    void onCycleCompleted();
    void noteAnswer();
    void noteTimeout(const QString &subject, bool logFirst);
    QString badSubject(const ReadBlock &block) const;

    ClientCallbacks m_callbacks;
    TimedReads m_reads;
    PollPlanner m_planner;
    FaultRuns m_faults;
    ModbusLink m_link;
    RequestQueue m_queue;
    PollScheduler m_scheduler;
    bool m_closed = false;
    int m_timeoutStreak = 0;
    bool m_streakLogged = false;
};
