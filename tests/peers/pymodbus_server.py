#!/usr/bin/python3
"""A Modbus server (unit id 1; coils and holding registers, wire address = data address) for tests.

Usage:
  pymodbus_server.py (--tcp PORT | --rtu DEVICE) [options]

  --tcp PORT           listen on 127.0.0.1:PORT (Modbus-TCP)
  --rtu DEVICE         serve Modbus-RTU on DEVICE at 115200 8N1 (e.g. one end of a socat pty pair)
  --coils N            number of coils, addresses 0..N-1 (default 10000); reads beyond give exception 2
  --registers N        number of holding registers, addresses 0..N-1 (default 10000)
  --set-hr A:V1,V2     preset holding registers from address A (repeatable; values 0..65535)
  --set-coil A:B1,B2   preset coils from address A (repeatable; 0 or 1)
  --delay-ms N         answer every request N milliseconds late (a slow PLC)
  --silent             never answer (requests are still counted)
  --dump FILE          append the write lines to FILE instead of stdout

Output on stdout, one line each, flushed:
  "pymodbus listening tcp 127.0.0.1:PORT" or "pymodbus listening rtu DEVICE"   once, when ready
  "write fc=NN addr=A values=v1,v2,..."   for every write request received (decimal; coils 0/1)
Commands on stdin, one per line:
  "stats"  prints "stats fc01=N fc03=N fc05=N fc06=N fc16=N other=N total=N" (requests since start/reset)
  "reset"  zeroes the counters and prints "reset"
End of stdin, SIGTERM or SIGINT end the server. Errors print one line to stderr and exit 1.
"""
import argparse
import asyncio
import logging
import os
import signal
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.framer.rtu_framer import ModbusRtuFramer
from pymodbus.framer.socket_framer import ModbusSocketFramer
from pymodbus.server.async_io import (ModbusConnectedRequestHandler, ModbusSerialServer,
                                      ModbusSingleRequestHandler, ModbusTcpServer)

COUNTED = (1, 3, 5, 6, 16)


def parse_args():
    p = argparse.ArgumentParser(description="Modbus test server")
    mode = p.add_mutually_exclusive_group(required=True)
    mode.add_argument("--tcp", type=int, metavar="PORT")
    mode.add_argument("--rtu", metavar="DEVICE")
    p.add_argument("--coils", type=int, default=10000)
    p.add_argument("--registers", type=int, default=10000)
    p.add_argument("--set-hr", action="append", default=[])
    p.add_argument("--set-coil", action="append", default=[])
    p.add_argument("--delay-ms", type=int, default=0)
    p.add_argument("--silent", action="store_true")
    p.add_argument("--dump")
    return p.parse_args()


def presets(specs):
    for item in specs:
        addr, _, values = item.partition(":")
        yield int(addr), [int(v) for v in values.split(",") if v != ""]


def say(line, out=None):
    stream = out or sys.stdout
    stream.write(line + "\n")
    stream.flush()


class Observer:
    def __init__(self, dump_path):
        self.counts = {}
        self.dump = open(dump_path, "a") if dump_path else None

    def request(self, request):
        fc = request.function_code
        key = fc if fc in COUNTED else "other"
        self.counts[key] = self.counts.get(key, 0) + 1
        values = None
        if fc in (5, 6):
            values = [int(request.value)]
        elif fc in (15, 16):
            values = [int(v) for v in request.values]
        if values is not None:
            say("write fc=%02d addr=%d values=%s" % (fc, request.address, ",".join(map(str, values))), self.dump)

    def stats(self):
        parts = ["fc%02d=%d" % (fc, self.counts.get(fc, 0)) for fc in COUNTED]
        parts.append("other=%d" % self.counts.get("other", 0))
        parts.append("total=%d" % sum(self.counts.values()))
        return "stats " + " ".join(parts)


def observed_handler(base, observer, args, loop):
    class Handler(base):
        def execute(self, request, *addr):
            observer.request(request)
            if args.silent:
                return
            if args.delay_ms > 0:
                loop.call_later(args.delay_ms / 1000.0, base.execute, self, request, *addr)
            else:
                base.execute(self, request, *addr)

    return Handler


def make_context(args):
    coils = [0] * args.coils
    registers = [0] * args.registers
    for addr, values in presets(args.set_coil):
        coils[addr:addr + len(values)] = [1 if v else 0 for v in values]
    for addr, values in presets(args.set_hr):
        registers[addr:addr + len(values)] = [v & 0xFFFF for v in values]
    slave = ModbusSlaveContext(co=ModbusSequentialDataBlock(0, coils),
                               di=ModbusSequentialDataBlock(0, [0]),
                               hr=ModbusSequentialDataBlock(0, registers),
                               ir=ModbusSequentialDataBlock(0, [0]),
                               zero_mode=True)
    return ModbusServerContext(slaves=slave, single=True)


def watch_stdin(loop, observer):
    def on_input():
        line = sys.stdin.readline()
        if not line:
            os._exit(0)
        command = line.strip()
        if command == "stats":
            say(observer.stats())
        elif command == "reset":
            observer.counts.clear()
            say("reset")

    loop.add_reader(sys.stdin.fileno(), on_input)


async def serve(args):
    loop = asyncio.get_running_loop()
    observer = Observer(args.dump)
    context = make_context(args)
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, lambda: os._exit(0))
    if args.tcp is not None:
        handler = observed_handler(ModbusConnectedRequestHandler, observer, args, loop)
        server = ModbusTcpServer(context, framer=ModbusSocketFramer, address=("127.0.0.1", args.tcp),
                                 handler=handler, allow_reuse_address=True)
        task = asyncio.ensure_future(server.serve_forever())
        await asyncio.wait([task, server.serving], return_when=asyncio.FIRST_COMPLETED)
        if task.done():
            task.result()  # raises the bind error
        ready = "pymodbus listening tcp 127.0.0.1:%d" % args.tcp
    else:
        handler = observed_handler(ModbusSingleRequestHandler, observer, args, loop)
        server = ModbusSerialServer(context, framer=ModbusRtuFramer, port=args.rtu, baudrate=115200,
                                    bytesize=8, parity="N", stopbits=1, handler=handler)
        await server.start()
        task = None
        ready = "pymodbus listening rtu %s" % args.rtu
    watch_stdin(loop, observer)
    say(ready)
    if task is not None:
        await task
    else:
        await asyncio.Event().wait()


def main():
    # pymodbus logs every normal client disconnect at ERROR: noise for a test peer.
    logging.basicConfig(level=logging.CRITICAL)
    for name in ("pymodbus", "pymodbus.server.async_io"):
        logging.getLogger(name).setLevel(logging.CRITICAL)
    args = parse_args()
    try:
        asyncio.run(serve(args))
    except Exception as exc:  # pylint: disable=broad-except
        say("pymodbus_server: %s" % exc, sys.stderr)
        os._exit(1)


if __name__ == "__main__":
    main()
