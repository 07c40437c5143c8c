#!/usr/bin/env python3
"""HTTP and HTTPS servers on 127.0.0.1 for the web tests.

Usage: loopback_server.py ROOT ENDPOINT...

Each ENDPOINT starts one server: "PORT" for plain HTTP, "PORT,CERT,KEY" for HTTPS; port 0
takes a free one. Files of ROOT are served under /files/. Once every server listens, one
line "ports P1 P2 ..." goes to standard output; the servers run until standard input
closes, so they never outlive the test that started them.
"""

import base64
import hashlib
import itertools
import os
import re
import select
import socket
import ssl
import sys
import threading
import time
import urllib.parse
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

USER = "tandem"
PASSWORD = "s3cret"
REALM = "tandemix-tests"
NONCE = "5f1c2a9e0b7d"

ROOT = "."
REQUEST_LOG = []
# The Authorization headers that reached this server, as "path header".
AUTH_LOG = []
LOG_LOCK = threading.Lock()

# Broken answers, written to the socket as they stand.
RAW_ANSWERS = {
    "not-http": b"hello there\r\n\r\nbody",
    "bad-length": b"HTTP/1.1 200 OK\r\nContent-Length: banana\r\n\r\nbody",
    "negative-length": b"HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nbody",
    "huge-length": b"HTTP/1.1 200 OK\r\nContent-Length: 999999999999999999999999\r\n\r\nbody",
    "two-lengths": b"HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 4\r\n\r\nbody",
    "no-colon": b"HTTP/1.1 200 OK\r\nthis line has no colon\r\n\r\nbody",
    "bad-status": b"HTTP/1.1 abc\r\n\r\nbody",
    "status-only": b"HTTP/1.1 200 OK\r\n",
    "bare-newlines": b"HTTP/1.1 200 OK\nContent-Length: 4\n\nbody",
    "nul-in-header": b"HTTP/1.1 200 OK\r\nX-Odd: a\x00b\r\n\r\nbody",
    "bad-chunks": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nbody\r\n",
    "bad-chunk-later": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
                       b"5\r\nhello\r\nzz\r\nmore\r\n0\r\n\r\n",
    "chunks-cut-off": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n",
    "huge-chunk": b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffffffffffffff\r\nbody",
    "long-header": b"HTTP/1.1 200 OK\r\nX-Long: " + b"a" * 300000 + b"\r\n\r\nbody",
    "redirect-without-location": b"HTTP/1.1 302 Found\r\nContent-Length: 4\r\n\r\nbody",
    "redirect-to-nowhere": b"HTTP/1.1 302 Found\r\nLocation: http://\r\nContent-Length: 4\r\n\r\nbody",
}


def digest_hash(*parts):
    return hashlib.md5(":".join(parts).encode()).hexdigest()


def digest_fields(header):
    fields = {}
    for key, quoted, plain in re.findall(r'(\w+)=(?:"([^"]*)"|([^\s,]*))', header):
        fields[key] = quoted or plain
    return fields


def digest_valid(header):
    if not header.startswith("Digest "):
        return False
    f = digest_fields(header[len("Digest "):])
    if f.get("username") != USER or f.get("nonce") != NONCE:
        return False
    ha1 = digest_hash(USER, REALM, PASSWORD)
    ha2 = digest_hash("GET", f.get("uri", ""))
    if f.get("qop") == "auth":
        expected = digest_hash(ha1, NONCE, f.get("nc", ""), f.get("cnonce", ""), "auth", ha2)
    else:
        expected = digest_hash(ha1, NONCE, ha2)
    return f.get("response") == expected


def basic_valid(header):
    return header == "Basic " + base64.b64encode(f"{USER}:{PASSWORD}".encode()).decode()


def relay(first, second):
    sockets = [first, second]
    while True:
        readable, _, _ = select.select(sockets, [], [], 30)
        if not readable:
            return
        for source in readable:
            data = source.recv(65536)
            if not data:
                return
            (second if source is first else first).sendall(data)


class Handler(BaseHTTPRequestHandler):
    # HTTP/1.1 lets a proxy keep the connection open after 407, as libcurl expects of a
    # tunnel; the routes themselves close the connection after each answer.
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def end_headers(self):
        if self.close_connection:
            self.send_header("Connection", "close")
        super().end_headers()

    def reply(self, status, body=b"", headers=(), length=True):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_CONNECT(self):
        if not basic_valid(self.headers.get("Proxy-Authorization", "")):
            self.reply(407, b"proxy says no", [("Proxy-Authenticate", 'Basic realm="proxy"')])
            return
        host, port = self.path.rsplit(":", 1)
        with socket.create_connection((host, int(port))) as upstream:
            self.send_response(200, "Connection established")
            self.end_headers()
            relay(self.connection, upstream)
        self.close_connection = True

    def as_proxy(self):
        if "proxy-auth" in self.path and not basic_valid(
                self.headers.get("Proxy-Authorization", "")):
            self.reply(407, b"proxy says no", [("Proxy-Authenticate", 'Basic realm="proxy"')])
            return
        self.reply(200, b"via proxy " + self.path.encode())

    def do_GET(self):
        self.close_connection = True
        if self.path.startswith("http://"):
            self.as_proxy()
            return
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query, keep_blank_values=True))
        if url.path in ("/log", "/auth-log"):
            with LOG_LOCK:
                log = REQUEST_LOG if url.path == "/log" else ["auth-log"] + AUTH_LOG
                self.reply(200, "".join(line + "\n" for line in log).encode())
            return
        with LOG_LOCK:
            REQUEST_LOG.append(self.path)
            if "Authorization" in self.headers:
                AUTH_LOG.append(self.path + " " + self.headers["Authorization"])
        if url.path.startswith("/files/"):
            self.serve_file(urllib.parse.unquote(url.path[len("/files/"):]))
        elif url.path.startswith("/raw/"):
            self.wfile.write(RAW_ANSWERS[url.path[len("/raw/"):]])
        else:
            handler = getattr(self, "route_" + url.path.strip("/").replace("-", "_"), None)
            if handler is None:
                self.reply(404, b"no such route")
            else:
                handler(query)

    def serve_file(self, name):
        try:
            with open(os.path.join(ROOT, name), "rb") as f:
                self.reply(200, f.read())
        except OSError:
            self.reply(404, b"no such file")

    def route_echo(self, query):
        lines = [f"path={self.path}"]
        for name in ("Accept", "Pragma", "Cache-Control", "User-Agent"):
            lines.append(f"{name.lower()}={self.headers.get(name, '')}")
        self.reply(200, ("\n".join(lines) + "\n").encode())

    # /respond?status=N&body=TEXT&location=URL: an answer made to order; without body=
    # it has an empty body.
    def route_respond(self, query):
        headers = [("Location", query["location"])] if "location" in query else []
        self.reply(int(query.get("status", "200")), query.get("body", "").encode("latin-1"),
                   headers)

    # /fresh: one page whose nonce and build id are new on every fetch, as a live site's are.
    def route_fresh(self, query):
        nonce = base64.b64encode(os.urandom(12)).decode()
        build = hashlib.sha1(os.urandom(8)).hexdigest()[:12]
        self.reply(200, (f'<html><head><script nonce="{nonce}" src="/app.js"></script>'
                         f'</head>\n<body data-build="{build}"><p>Hello</p>\n'
                         f'<p>the same text</p></body></html>\n').encode())

    def route_loop(self, query):
        self.reply(302, b"round and round", [("Location", "/loop")])

    def refuse(self, challenge):
        said = "wrong credentials" if "Authorization" in self.headers else "no credentials"
        self.reply(401, said.encode(), [("WWW-Authenticate", challenge)])

    # /basic?location=URL: once logged in, a redirect there.
    def route_basic(self, query):
        if basic_valid(self.headers.get("Authorization", "")) and "location" in query:
            self.reply(302, b"welcome, go on", [("Location", query["location"])])
        elif basic_valid(self.headers.get("Authorization", "")):
            self.reply(200, b"welcome basic")
        else:
            self.refuse(f'Basic realm="{REALM}"')

    def route_digest(self, query):
        if digest_valid(self.headers.get("Authorization", "")):
            self.reply(200, b"welcome digest")
        else:
            self.refuse(f'Digest realm="{REALM}", nonce="{NONCE}", qop="auth", algorithm=MD5')

    # /partial?stall=S&announce=no: the start of a body announced as 1000 bytes (or not
    # announced), then S seconds of silence, then the connection ends.
    def route_partial(self, query):
        self.send_response(200)
        if query.get("announce", "yes") == "yes":
            self.send_header("Content-Length", "1000")
        self.end_headers()
        self.wfile.write(b"partial-start")
        self.wfile.flush()
        time.sleep(float(query.get("stall", "0")))

    # /drip?every=SECONDS: a body of one byte at a time, without end.
    def route_drip(self, query):
        every = float(query.get("every", "0.125"))
        self.send_response(200)
        self.end_headers()
        try:
            for _ in range(int(120 / every)):
                self.wfile.write(b"d")
                self.wfile.flush()
                time.sleep(every)
        except OSError:
            pass

    # /gzip-bomb?mib=N: N MiB of "b", sent gzip-compressed in chunks of a few hundred bytes.
    def route_gzip_bomb(self, query):
        self.send_response(200)
        self.send_header("Transfer-Encoding", "gzip, chunked")
        self.end_headers()
        packer = zlib.compressobj(9, zlib.DEFLATED, 31)
        block = b"b" * (1 << 20)
        try:
            for _ in range(int(query.get("mib", "1"))):
                self.write_chunk(packer.compress(block))
            self.write_chunk(packer.flush())
            self.wfile.write(b"0\r\n\r\n")
        except OSError:
            pass

    def write_chunk(self, data):
        if data:
            self.wfile.write(b"%x\r\n%s\r\n" % (len(data), data))

    def route_stall_headers(self, query):
        time.sleep(30)

    # /sized?n=N&announce=no: N bytes of "x", with or without their length in the header;
    # without n, a body without end.
    def route_sized(self, query):
        size = int(query["n"]) if "n" in query else None
        self.send_response(200)
        if size is not None and query.get("announce", "yes") == "yes":
            self.send_header("Content-Length", str(size))
        self.end_headers()
        block = b"x" * 65536
        try:
            while size is None or size > 0:
                self.wfile.write(block[:size])
                size = None if size is None else size - min(size, len(block))
        except OSError:
            pass

    def route_endless_headers(self, query):
        self.wfile.write(b"HTTP/1.1 200 OK\r\n")
        try:
            for number in itertools.count():
                self.wfile.write(b"X-Header-%d: value\r\n" % number)
        except OSError:
            pass


class LoopbackServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, tls):
        super().__init__(("127.0.0.1", port), Handler)
        self.tls = tls

    # The handshake runs in the connection's own thread, so a client that never finishes it
    # cannot block the others.
    def finish_request(self, request, client_address):
        if self.tls is not None:
            try:
                request = self.tls.wrap_socket(request, server_side=True)
            except (ssl.SSLError, OSError):
                return
        super().finish_request(request, client_address)

    def handle_error(self, request, client_address):
        pass


def tls_context(certificate, key):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    return context


def main():
    global ROOT
    ROOT = sys.argv[1]
    servers = []
    for endpoint in sys.argv[2:]:
        parts = endpoint.split(",")
        tls = tls_context(parts[1], parts[2]) if len(parts) == 3 else None
        servers.append(LoopbackServer(int(parts[0]), tls))
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print("ports " + " ".join(str(s.server_address[1]) for s in servers), flush=True)
    sys.stdin.buffer.read()
    os._exit(0)


if __name__ == "__main__":
    main()
