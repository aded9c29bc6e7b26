#pragma once

#include "RequestHook.h"

#include <QModbusPdu>

// The stock TCP or RTU server with the hook around every request it answers (one template, so both
// transports share the same behaviour).
template <class Base> class InstrumentedServer : public Base {
public:
    explicit InstrumentedServer(RequestHook &hook)
        : m_hook(hook)
    {
    }

protected:
    QModbusResponse processRequest(const QModbusPdu &request) override
    {
        m_hook.before(request);
        const QModbusResponse response = Base::processRequest(request);
        m_hook.after(*this, request, response);
        return response;
    }

private:
    RequestHook &m_hook;
};
