#!/usr/bin/python3
# An RFC 2217 port server made of pyserial's own server side, in front of one
# serial device: a second opinion beside ser2net. With --refuse-baud RATE its port
# refuses that rate, as an adapter that cannot run at it would.
#
#   rfc2217_server.py --port 4000 [--refuse-baud 600] /dev/pts/3
import argparse
import socket
import threading

import serial
import serial.rfc2217


class BoardPort(serial.Serial):
    """The board's pseudo-terminal, which has no modem lines: they read as a
    connected board's would, and DTR and RTS go nowhere."""

    refused = None

    cts = dsr = cd = property(lambda self: True)
    ri = property(lambda self: False)

    def _update_dtr_state(self):
        pass

    def _update_rts_state(self):
        pass

    @serial.Serial.baudrate.setter
    def baudrate(self, rate):
        if rate == self.refused:
            raise ValueError("this port does not run at {} baud".format(rate))
        serial.Serial.baudrate.fset(self, rate)


class Connection:
    """The file-like side of a client socket that PortManager writes to."""

    def __init__(self, client):
        self.client = client

    def write(self, data):
        self.client.sendall(data)


def serve(client, port):
    connection = Connection(client)
    manager = serial.rfc2217.PortManager(port, connection)
    done = threading.Event()

    def to_client():
        while not done.is_set():
            data = port.read(port.in_waiting or 1)
            if data:
                connection.write(b"".join(manager.escape(data)))

    reader = threading.Thread(target=to_client, daemon=True)
    reader.start()
    try:
        while True:
            data = client.recv(1024)
            if not data:
                break
            port.write(b"".join(manager.filter(data)))
    finally:
        # The next client's bytes must not go to this one's reader.
        done.set()
        reader.join()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--refuse-baud", type=int)
    parser.add_argument("device")
    args = parser.parse_args()
    BoardPort.refused = args.refuse_baud
    port = BoardPort(args.device, 9600, timeout=0.2)
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", args.port))
    listener.listen(1)
    while True:
        client, _ = listener.accept()
        client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        try:
            serve(client, port)
        except OSError:
            pass  # a client gone in the middle, such as a probe that only looked
        client.close()


if __name__ == "__main__":
    main()
