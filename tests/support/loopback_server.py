#!/usr/bin/env python3
"""A loopback HTTP server for the tests: it records every request exactly as it arrived and answers with the
replies a test scripted.

It is driven through a folder, because a Windows test program under Wine can start a Unix program but gets
no handle, pipe or exit code of it back:

  DIR/port              written (atomically) once the server listens: its port number
  DIR/tls-port          with --tls, the port of a second listener that speaks HTTPS with a self-signed
                        certificate for 127.0.0.1, made by openssl at start (same routes, same records);
                        --tls-port N makes it listen on port N
  DIR/routes/NAME       a scripted reply: first line "TARGET<TAB>ACTION", then for the action "reply" the raw
                        reply bytes to send as they stand; "never" holds the connection open without a word;
                        "large N" sends a 200 reply with an N-byte body. TARGET is the request target exactly
                        (an absolute address when the server serves as a proxy); "*" answers every other one.
  DIR/requests/NNNNNN   every request as it arrived: request line, header lines, empty line, body bytes
  DIR/stop              made by the test: the server ends within a tenth of a second and removes DIR

It ends by itself after --lifetime seconds in any case, so a test that dies cannot leave it behind.
"""

import argparse
import os
import shutil
import socket
import ssl
import subprocess
import threading
import time

HEAD_LIMIT = 1 << 20


def write_atomically(path, data):
    temporary = path + ".part"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


class Server:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0
        self.lock = threading.Lock()
        self.stopping = threading.Event()
        os.makedirs(os.path.join(folder, "routes"), exist_ok=True)
        os.makedirs(os.path.join(folder, "requests"), exist_ok=True)

    def record(self, data):
        with self.lock:
            self.count += 1
            name = "%06d" % self.count
        write_atomically(os.path.join(self.folder, "requests", name), data)

    def route(self, target):
        routes = os.path.join(self.folder, "routes")
        fallback = None
        for name in sorted(os.listdir(routes)):
            if name.endswith(".part"):
                continue
            with open(os.path.join(routes, name), "rb") as f:
                content = f.read()
            first, _, rest = content.partition(b"\n")
            routed, _, action = first.partition(b"\t")
            if routed == target:
                return action, rest
            if routed == b"*":
                fallback = (action, rest)
        return fallback or (b"reply", b"HTTP/1.1 404 Not Found\r\nContent-Length: 8\r\nConnection: close\r\n\r\nno route")

    def read_request(self, connection, pending):
        while b"\r\n\r\n" not in pending:
            if len(pending) > HEAD_LIMIT:
                return None, b""
            data = connection.recv(65536)
            if not data:
                return None, b""
            pending += data
        head, _, pending = pending.partition(b"\r\n\r\n")
        length = 0
        for line in head.split(b"\r\n")[1:]:
            name, _, value = line.partition(b":")
            if name.strip().lower() == b"content-length":
                length = int(value.strip() or b"0")
        while len(pending) < length:
            data = connection.recv(65536)
            if not data:
                break
            pending += data
        return head + b"\r\n\r\n" + pending[:length], pending[length:]

    def serve(self, connection):
        with connection:
            pending = b""
            while not self.stopping.is_set():
                request, pending = self.read_request(connection, pending)
                if request is None:
                    return
                self.record(request)
                parts = request.split(b"\r\n", 1)[0].split(b" ")
                target = parts[1] if len(parts) > 1 else b""
                action, reply = self.route(target)
                if action == b"never":
                    self.stopping.wait()
                    return
                if action.startswith(b"large "):
                    size = int(action.split()[1])
                    connection.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\nConnection: close\r\n\r\n" % size)
                    block = bytes(range(256)) * 4096
                    while size > 0:
                        connection.sendall(block[:size])
                        size -= len(block)
                    return
                connection.sendall(reply)
                if b"connection: close" in reply.split(b"\r\n\r\n", 1)[0].lower():
                    return


def listen(port=0):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(64)
    listener.settimeout(0.1)
    return listener


def tls_context(folder):
    certificate = os.path.join(folder, "certificate.pem")
    key = os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                    "-nodes", "-keyout", key, "-out", certificate, "-days", "1", "-subj", "/CN=127.0.0.1"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    return context


def accept_until(server, listener, context, finished):
    while not finished():
        try:
            connection, _ = listener.accept()
        except socket.timeout:
            continue
        connection.settimeout(None)
        threading.Thread(target=serve_connection, args=(server, connection, context), daemon=True).start()
    listener.close()


def serve_connection(server, connection, context):
    if context is not None:
        try:
            connection.settimeout(10)
            connection = context.wrap_socket(connection, server_side=True)
            connection.settimeout(None)
        except (ssl.SSLError, OSError):
            connection.close()
            return
    server.serve(connection)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--lifetime", type=float, default=300)
    parser.add_argument("--tls", action="store_true")
    parser.add_argument("--tls-port", type=int, default=0,
                        help="the HTTPS listener's port, for a program built to ask a fixed one; 0 picks a free one")
    arguments = parser.parse_args()

    server = Server(arguments.dir)
    deadline = time.monotonic() + arguments.lifetime
    stop_file = os.path.join(arguments.dir, "stop")

    def finished():
        return time.monotonic() >= deadline or os.path.exists(stop_file)

    listeners = []
    if arguments.tls:
        secure = listen(arguments.tls_port)
        listeners.append(threading.Thread(target=accept_until, args=(server, secure, tls_context(arguments.dir), finished)))
        write_atomically(os.path.join(arguments.dir, "tls-port"), b"%d" % secure.getsockname()[1])
    plain = listen()
    write_atomically(os.path.join(arguments.dir, "port"), b"%d" % plain.getsockname()[1])
    for thread in listeners:
        thread.start()
    accept_until(server, plain, None, finished)
    for thread in listeners:
        thread.join()
    server.stopping.set()
    # The test has read what it wanted before it asked the server to stop.
    shutil.rmtree(arguments.dir, ignore_errors=True)


if __name__ == "__main__":
    main()
