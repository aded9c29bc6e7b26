#pragma once

#include "RequestStats.h"

class QModbusPdu;
class QModbusResponse;
class QModbusServer;

// What plcsim adds around the stock request handling: a slow PLC's delay, counting, and a line per write.
class RequestHook {
public:
    RequestHook(int delayMs, bool printWrites);

    void before(const QModbusPdu &request);
    void after(const QModbusServer &server, const QModbusPdu &request, const QModbusResponse &response) const;

    RequestStats &stats() { return m_stats; }

private:
    int m_delayMs = 0;
    bool m_printWrites = true;
    RequestStats m_stats;
};
