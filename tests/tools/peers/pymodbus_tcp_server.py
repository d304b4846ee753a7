#!/usr/bin/python3
"""A Modbus TCP server of pymodbus on a free port of 127.0.0.1, an independent peer of
qetra-poll. Serves holding registers 0x0130.. at unit UNIT. Prints one line, "PORT v1 v2 ...",
the port it listens on and the values it serves, then serves until it is stopped."""
import asyncio
import logging
import sys

from pymodbus.datastore import (ModbusSequentialDataBlock, ModbusServerContext,
                                ModbusSlaveContext)
from pymodbus.server.async_io import ModbusTcpServer


async def main(unit):
    # 54 registers of the metering block, each different, some above 0x7FFF.
    values = [(i * 7919 + 13) & 0xFFFF for i in range(54)]
    store = ModbusSlaveContext(hr=ModbusSequentialDataBlock(0x130, values), zero_mode=True)
    context = ModbusServerContext(slaves={unit: store}, single=False)
    server = ModbusTcpServer(context, address=("127.0.0.1", 0))
    serving = asyncio.ensure_future(server.serve_forever())
    await server.serving
    port = server.server.sockets[0].getsockname()[1]
    print(port, *values, flush=True)
    await serving


if __name__ == "__main__":
    logging.disable(logging.CRITICAL)
    asyncio.run(main(int(sys.argv[1]) if len(sys.argv) > 1 else 1))
