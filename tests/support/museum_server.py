#!/usr/bin/env python3
"""A stand-in for the museums' web servers, for tests: serves recorded answers
from a routes file on 127.0.0.1 at a free port, and logs every request with the
time it came, so a test can count requests and check their spacing.

Usage: museum_server.py ROUTES.json LOG_FILE
Prints "PORT <n>" once it listens. ROUTES.json is a list of routes:
  {"path": "/api/v1/artworks/search", "query": {"page": "1"},   # query: items that must match
   "responses": [ANSWER, ...]}                                   # in turn; the last one repeats
An ANSWER is {"status": 200, "headers": {...}, and one of "body" (text; "{base}" becomes
this server's address), "file" (a file's bytes), plus optional "cut_after": N (announce
the whole length, send N bytes, close the connection) and "delay_ms" (wait before answering)}.
Hostile answers: "endless": TEXT sends the body, then TEXT over and over without a
length until the client goes away; "drip_ms": N sends the body (or the endless
stream) one byte every N milliseconds.
ROUTES.json may instead be {"routes": [...], "firewall": {"after": N, "window_ms": W,
"block_ms": B, "page": FILE}}: like a rate firewall, more than N requests within W ms
get the page with 403 (text/html) for B ms. A request no route matches gets 404. Each log line is JSON: {"ms", "path", "user_agent",
"aic_user_agent"}.
"""
import http.server
import json
import socketserver
import sys
import threading
import time
import urllib.parse

routes = []
firewall = None
recent = []
blocked_until = 0.0
counters = {}
lock = threading.Lock()
log = None
base = ""
start = time.monotonic()


def firewall_blocks():
    global blocked_until
    if firewall is None:
        return False
    now = time.monotonic()
    if now < blocked_until:
        return True
    window = firewall["window_ms"] / 1000.0
    recent.append(now)
    while recent and recent[0] < now - window:
        recent.pop(0)
    if len(recent) > firewall["after"]:
        blocked_until = now + firewall["block_ms"] / 1000.0
        recent.clear()
        return True
    return False


def find(path, query):
    for index, route in enumerate(routes):
        if route["path"] != path:
            continue
        wanted = route.get("query", {})
        if all(query.get(k, [None])[0] == v for k, v in wanted.items()):
            return index, route
    return None, None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        parts = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(parts.query, keep_blank_values=True)
        with lock:
            log.write(json.dumps({"ms": round((time.monotonic() - start) * 1000, 1), "path": self.path,
                                  "user_agent": self.headers.get("User-Agent", ""),
                                  "aic_user_agent": self.headers.get("AIC-User-Agent", "")}) + "\n")
            log.flush()
            index, route = find(parts.path, query)
            if firewall_blocks():
                answer = {"status": 403, "file": firewall["page"], "headers": {"Content-Type": "text/html"}}
            elif route is None:
                answer = {"status": 404, "body": "no such route"}
            else:
                n = counters.get(index, 0)
                counters[index] = n + 1
                answers = route["responses"]
                answer = answers[min(n, len(answers) - 1)]
        if answer.get("delay_ms"):
            time.sleep(answer["delay_ms"] / 1000.0)
        if "file" in answer:
            with open(answer["file"], "rb") as f:
                body = f.read()
        else:
            body = answer.get("body", "").replace("{base}", base).encode("utf-8")
        self.send_response(answer.get("status", 200))
        headers = answer.get("headers", {})
        for name, value in headers.items():
            self.send_header(name, value.replace("{base}", base))
        if "Content-Type" not in headers:
            self.send_header("Content-Type", "image/jpeg" if "file" in answer else "application/json")
        endless = answer.get("endless")
        drip = answer.get("drip_ms")
        if endless is not None or drip:
            self.send_header("Connection", "close")
            self.end_headers()
            self.close_connection = True
            self.stream(body, endless, drip)
            return
        self.send_header("Content-Length", str(len(body)))
        cut = answer.get("cut_after")
        if cut is not None:
            self.send_header("Connection", "close")
        self.end_headers()
        if cut is not None:
            self.wfile.write(body[:cut])
            self.wfile.flush()
            self.close_connection = True
            return
        self.wfile.write(body)


    def stream(self, body, endless, drip):
        repeat = (endless or "").encode("utf-8") * max(1, 65536 // max(1, len(endless or "x")))
        try:
            if drip:
                data = body
                while True:
                    for i in range(len(data)):
                        self.wfile.write(data[i:i + 1])
                        self.wfile.flush()
                        time.sleep(drip / 1000.0)
                    if endless is None:
                        return
                    data = repeat[:64]
            self.wfile.write(body)
            while endless is not None:
                self.wfile.write(repeat)
        except (BrokenPipeError, ConnectionResetError, OSError):
            pass


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    global routes, log, base, firewall
    with open(sys.argv[1], encoding="utf-8") as f:
        routes = json.load(f)
    if isinstance(routes, dict):
        firewall = routes.get("firewall")
        routes = routes["routes"]
    log = open(sys.argv[2], "a", encoding="utf-8")
    server = Server(("127.0.0.1", 0), Handler)
    port = server.server_address[1]
    base = "http://127.0.0.1:%d" % port
    print("PORT %d" % port, flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
