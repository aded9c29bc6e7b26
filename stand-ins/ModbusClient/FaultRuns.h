#pragma once

#include <QHash>
#include <QString>
#include <QVector>

// Repeating faults, keyed by their subject (e.g. "定时读取 保持寄存器 地址 105"): a run is logged when it
// starts and when it ends, with how often it happened in between, never on every repetition.
class FaultRuns {
public:
    struct Ended {
        QString subject;
        QString fault;
        int count = 0;
    };

    // One occurrence; true when it starts a run or the fault text changed (the caller logs it).
    bool occurred(const QString &subject, const QString &fault);
    // Ends the subject's run; count 0 when there was none.
    Ended end(const QString &subject);
    // Ends every run that did not occur since the previous sweep (one sweep per poll cycle).
    QVector<Ended> sweep();
    void forget(const QString &subject);
    void clear();
    bool active(const QString &subject) const { return m_runs.contains(subject); }

private:
    struct Run {
        QString fault;
        int count = 0;
        bool seen = false;
    };
    QHash<QString, Run> m_runs;
};
