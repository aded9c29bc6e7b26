#pragma once

// Every tunable of the client library in one place, with its unit.
namespace ModbusConst {

constexpr int kUnitId = 1; // Modbus server address of the PLC
constexpr unsigned kDefaultTcpPort = 502;

// 32-bit integers and floats: the lower-addressed register holds the low 16 bits.
constexpr bool kLowWordFirst = true;

constexpr int kConnectTimeoutMs = 1500; // milliseconds: a factory waits this long for a TCP link
constexpr int kReconnectTimeoutMs = 3000; // milliseconds: one background connect attempt
constexpr int kReconnectFirstDelayMs = 1000; // milliseconds: first retry after a lost link
constexpr int kReconnectMaxDelayMs = 10000; // milliseconds: delays double up to this
constexpr int kResponseTimeoutMs = 500; // milliseconds: per request
constexpr int kRetries = 0; // resends after a response timeout
constexpr int kWatchdogSlackMs = 1000; // milliseconds beyond Qt's own timeout before we give a reply up
constexpr int kTimeoutsForLinkLoss = 3; // consecutive timeouts that count as a lost link
// milliseconds a reopened link must stay up (unless the peer answers first) before the loss counts as
// over; a link that drops again at once stays one loss, not a pair of log lines per retry.
constexpr int kRestoreConfirmMs = 1000;

constexpr int kPollPeriodMs = 100; // milliseconds from the start of one poll cycle to the next

constexpr int kMaxRegistersPerRead = 125; // protocol limit for function 03
// The protocol allows 2000 coils, but Qt 5.15's client rejects a coil answer of 128 bytes or more.
constexpr int kMaxCoilsPerRead = 1016;
// Unused addresses a merged read may span: 40 bytes on the wire, about what one more request costs on a
// 115200 baud line (frames, silent intervals, the PLC's turnaround).
constexpr int kMaxRegisterGap = 20; // registers
constexpr int kMaxCoilGap = 320; // coils

constexpr int kPendingLogLimit = 500; // lines kept until a log callback is registered

} // namespace ModbusConst
