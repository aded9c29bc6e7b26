#pragma once

#include <QSerialPort>
#include <QString>

#include <optional>
#include <string>

// Where a client talks to, checked once in the factory.
struct LinkParams {
    enum class Transport { Tcp, Rtu };
    Transport transport = Transport::Tcp;
    QString host;
    quint16 port = 0;
    QString device; // a name from the system's list ("ttyUSB0", "COM3") or a full path
    int baud = 115200;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    // "host" uses port; "host:port" and "[v6]:port" use their own port. Empty for an empty host or a
    // port outside 1..65535.
    static std::optional<LinkParams> tcp(const std::string &host, unsigned port);
    // parity: 0 none, 1 odd, 2 even, 3 mark, 4 space (the numbering of the Windows serial API);
    // data bits 5..8; stop bits 1 or 2. Empty for an empty port name or any other value.
    static std::optional<LinkParams> rtu(
        const std::string &device, unsigned baud, int parity, unsigned dataBits, unsigned stopBits);

    // "127.0.0.1:502" or "/dev/ttyUSB0 115200 8N1"
    QString describe() const;
};
