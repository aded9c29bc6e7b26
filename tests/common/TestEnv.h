#pragma once

#include <QString>

// Small facts about the test machine. All waits spin the caller's event loop, so Qt objects on the
// test thread (clients, timers) keep working while a test waits for a peer.
namespace TestEnv {

// A TCP port on 127.0.0.1 that was free a moment ago (0 if none could be bound).
quint16 freeTcpPort();
// The interpreter that has pymodbus: $VELTRO_PYTHON, else /usr/bin/python3.
QString python();
// Absolute path of a script in tests/peers, e.g. peerScript("pymodbus_server.py").
QString peerScript(const QString &name);
// Path of an executable in <build>/bin, e.g. binProgram("plcsim"); empty if it is not built.
QString binProgram(const QString &name, const QString &binDir);
// CPU time (user + system) this process has used so far, in milliseconds.
qint64 processCpuMs();
// Runs the event loop for ms milliseconds (like QTest::qWait, usable outside QtTest too).
void spin(int ms);

} // namespace TestEnv
