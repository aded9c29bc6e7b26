#include "Animator.h"

#include "RegisterWords.h"

#include <QModbusServer>

#include <cmath>

namespace {
constexpr int kSecondMs = 1000; // milliseconds
constexpr int kSineStepMs = 200; // milliseconds
constexpr double kSinePeriodS = 20.0; // seconds
constexpr double kSineAmplitude = 100.0;
constexpr quint16 kCounterAddress = 0;
constexpr quint16 kSineAddress = 2;
constexpr quint16 kToggleCoil = 0;
} // namespace

Animator::Animator(QModbusServer &server, QObject *parent)
    : QObject(parent)
    , m_server(server)
{
    m_secondTimer.setInterval(kSecondMs);
    m_sineTimer.setInterval(kSineStepMs);
    connect(&m_secondTimer, &QTimer::timeout, this, &Animator::tick);
    connect(&m_sineTimer, &QTimer::timeout, this, &Animator::updateSine);
}

void Animator::start()
{
    m_clock.start();
    updateSine();
    m_secondTimer.start();
    m_sineTimer.start();
}

void Animator::tick()
{
    quint16 value = 0;
    m_server.data(QModbusDataUnit::HoldingRegisters, kCounterAddress, &value);
    m_server.setData(QModbusDataUnit::HoldingRegisters, kCounterAddress, quint16(value + 1));
    m_server.data(QModbusDataUnit::Coils, kToggleCoil, &value);
    m_server.setData(QModbusDataUnit::Coils, kToggleCoil, quint16(value ? 0 : 1));
}

void Animator::updateSine()
{
    const double t = m_clock.elapsed() / 1000.0;
    RegisterWords::setFloat(m_server, kSineAddress, float(kSineAmplitude * std::sin(2 * M_PI * t / kSinePeriodS)));
}
