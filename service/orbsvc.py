#!/usr/bin/env python3
"""Local download service for OrbVorexTrialWebSetup.

Serves the version file, the two trial installers and the comparison page
on 127.0.0.1 so the setup program can be demonstrated and tested without any
outside traffic. Test scripts switch the behaviour at run time through
/_control and read back what the program asked for through /_log.
"""

import argparse
import dataclasses
import functools
import hashlib
import http.server
import json
import os
import signal
import sys
import threading
import time
import urllib.parse
from datetime import datetime, timezone

from request_token import make_request_token

DEFAULT_VERSION_LINE = "20261201;2009.4.2"
VERSION_NOTES = (
    "notes: Orb Vorex 2009 trial editions Lite and Pro",
    "notes: compare the editions at /compare.htm",
)
BUSY_BODY = b"UPDATING"
STAND_IN_SIZE = 64 * 1024
LOG_WAIT_SECONDS = 1.0
MAX_REASON_CHARS = 120

COMPARE_PAGE = b"""<!DOCTYPE html>
<html><head><meta charset="windows-1252"><title>Orb Vorex 2009 editions</title></head>
<body>
<h1>Orb Vorex 2009: Lite or Pro?</h1>
<table border="1" cellpadding="4">
<tr><th>Feature</th><th>Orb Vorex 2009 Lite Trial</th><th>Orb Vorex 2009 Pro Trial</th></tr>
<tr><td>Orb editor</td><td>yes</td><td>yes</td></tr>
<tr><td>Scenes per project</td><td>3</td><td>unlimited</td></tr>
<tr><td>Batch render</td><td>no</td><td>yes</td></tr>
<tr><td>Plug-ins</td><td>no</td><td>yes</td></tr>
<tr><td>Trial length</td><td>30 days</td><td>30 days</td></tr>
</table>
</body></html>
"""


@dataclasses.dataclass(frozen=True)
class Edition:
    name: str
    filename: str
    token_number: int


EDITIONS = {
    b"p": Edition("Pro", "OrbVorex2009ProTrial.exe", 1),
    b"l": Edition("Lite", "OrbVorex2009LiteTrial.exe", 4),
}
SUBSCRIBE_VALUES = (b"on", b"off")
INSTALL_KEYS = (b"em", b"edn", b"sub", b"tk")


@dataclasses.dataclass(frozen=True)
class Mode:
    """How the service behaves right now; /_control swaps in a changed copy.

    Each request takes one snapshot when it starts, so a switch made during
    a slow download applies to the next request, not the running one.
    """

    busy: bool = False
    throttle: int = 0  # bytes per second for installer bodies; 0 = unthrottled
    version_line: str = DEFAULT_VERSION_LINE


@dataclasses.dataclass
class Sent:
    """What a route put on the wire, for the request log."""

    status: int
    nbytes: int = 0
    note: str = ""


# ---------------------------------------------------------------- query bytes

def split_target(target: str):
    """Split a request target into (path, raw query bytes)."""
    raw = target.encode("latin-1")  # http.server decoded the line as latin-1
    if raw[:7].lower() == b"http://":
        raw = b"/" + raw.split(b"/", 3)[3] if raw.count(b"/") >= 3 else b"/"
    path, _, query = raw.partition(b"?")
    return path.decode("latin-1"), query


def _unquote(raw: bytes) -> bytes:
    return urllib.parse.unquote_to_bytes(raw.replace(b"+", b" "))


def split_pairs(raw_query: bytes):
    """Decoded (key, value) byte pairs; value is None for a piece without '='."""
    if not raw_query:
        return []
    pairs = []
    for piece in raw_query.split(b"&"):
        key, sep, value = piece.partition(b"=")
        pairs.append((_unquote(key), _unquote(value) if sep else None))
    return pairs


def _show(raw: bytes) -> str:
    """Bytes as the program meant them (cp1252), keeping undecodable ones visible."""
    return raw.decode("cp1252", "backslashreplace")


def query_for_log(raw_query: bytes) -> dict:
    """Query as a dict of text; a repeated key maps to the list of its values."""
    query = {}
    for key, value in split_pairs(raw_query):
        name, text = _show(key), _show(value or b"")
        if name not in query:
            query[name] = text
        elif isinstance(query[name], list):
            query[name].append(text)
        else:
            query[name] = [query[name], text]
    return query


# ------------------------------------------------------------ install request

def _collect_fields(pairs):
    """Map the four install keys to their values; (None, reason) if the set is wrong."""
    fields = {}
    for key, value in pairs:
        if value is None:
            return None, "query piece without '='"
        if key not in INSTALL_KEYS:
            return None, "unknown key " + _show(key)[:40]
        if key in fields:
            return None, "repeated key " + _show(key)
        fields[key] = value
    missing = [_show(k) for k in INSTALL_KEYS if k not in fields]
    if missing:
        return None, "missing key " + ",".join(missing)
    return fields, ""


def check_install_request(raw_query: bytes):
    """(edition, "") for a valid install request, else (None, reason).

    Bytes the client left unescaped (a '#', an ANSI letter) count as they
    arrived, so the token is checked over exactly what was sent.
    """
    fields, reason = _collect_fields(split_pairs(raw_query))
    if fields is None:
        return None, reason
    edition = EDITIONS.get(fields[b"edn"])
    if edition is None:
        return None, "unknown edition"
    if fields[b"sub"] not in SUBSCRIBE_VALUES:
        return None, "sub must be on or off"
    expected = make_request_token(fields[b"em"], edition.token_number)
    if fields[b"tk"] != expected.encode("ascii"):
        return None, "token does not match the e-mail"
    return edition, ""


# ------------------------------------------------------------------- bodies

@functools.lru_cache(maxsize=None)
def stand_in_installer(filename: str) -> bytes:
    """64 KiB of repeatable bytes starting with "MZ", different per file name."""
    seed = filename.encode("ascii")
    blocks = [hashlib.sha256(seed + n.to_bytes(4, "big")).digest()
              for n in range(STAND_IN_SIZE // 32)]
    return (b"MZ" + b"".join(blocks))[:STAND_IN_SIZE]


def installer_body(installers_dir, filename: str) -> bytes:
    """The installer from the folder, or its stand-in when the file is missing."""
    if installers_dir:
        try:
            with open(os.path.join(installers_dir, filename), "rb") as f:
                return f.read()
        except FileNotFoundError:
            pass
    return stand_in_installer(filename)


def version_body(first_line: str) -> bytes:
    lines = (first_line,) + VERSION_NOTES
    return "".join(line + "\r\n" for line in lines).encode("cp1252", "replace")


# ------------------------------------------------------------------ control

class ControlError(ValueError):
    """A /_control request named an unknown key or gave a bad value."""


def _flag(text: str) -> bool:
    if text not in ("0", "1"):
        raise ControlError("expected 0 or 1, got %r" % text)
    return text == "1"


def _count(text: str) -> int:
    if not (text.isascii() and text.isdigit()):
        raise ControlError("expected a whole number >= 0, got %r" % text)
    return int(text)


def _one(text: str) -> bool:
    if text != "1":
        raise ControlError("expected 1, got %r" % text)
    return True


def _clear_log(state, mode, _):
    state.log.clear()
    return mode


# key -> (parse the value, apply it: (state, mode, value) -> new mode).
# Keys are applied in this order whatever their order in the query, so
# "reset" always comes first. A new fault switch is one Mode field and one
# row here, plus the code that honours it.
CONTROL_KEYS = {
    "reset": (_one, lambda state, mode, _: state.start_mode),
    "busy": (_flag, lambda state, mode, v: dataclasses.replace(mode, busy=v)),
    "throttle": (_count, lambda state, mode, v: dataclasses.replace(mode, throttle=v)),
    "version": (str, lambda state, mode, v: dataclasses.replace(mode, version_line=v)),
    "reset_log": (_one, _clear_log),
}


def parse_control(raw_query: bytes) -> dict:
    """Validated control values by key; raises ControlError."""
    try:
        pairs = urllib.parse.parse_qsl(raw_query.decode("latin-1"), keep_blank_values=True,
                                       strict_parsing=True, encoding="utf-8")
    except ValueError as err:
        raise ControlError(str(err)) from None
    values = {}
    for key, text in pairs:
        if key not in CONTROL_KEYS:
            raise ControlError("unknown control key %r" % key)
        if key in values:
            raise ControlError("repeated control key %r" % key)
        values[key] = CONTROL_KEYS[key][0](text)
    return values


def apply_control(state, raw_query: bytes) -> None:
    """Check every key first, then apply them all, so a bad request changes nothing."""
    values = parse_control(raw_query)
    with state.lock:
        mode = state.mode
        for key, (_, apply) in CONTROL_KEYS.items():
            if key in values:
                mode = apply(state, mode, values[key])
        state.mode = mode


# ---------------------------------------------------------------- state, log

class RequestLog:
    """One entry per answered request, kept in memory and written to a file.

    Requests being answered are counted, so snapshot() and clear() wait for
    them: once a client has read its response, its request is in the log and
    a later reset_log removes it.
    """

    def __init__(self, path=None):
        self._entries = []
        self._pending = 0
        self._cond = threading.Condition()
        self._file = open(path, "w", encoding="utf-8") if path else None

    def begin(self):
        with self._cond:
            self._pending += 1

    def finish(self, entry: dict):
        line = json.dumps(entry, ensure_ascii=False)
        with self._cond:
            self._pending -= 1
            self._entries.append(entry)
            if self._file:
                self._file.write(line + "\n")
                self._file.flush()
            self._cond.notify_all()

    def _settle(self):
        """Wait (briefly) for requests still being answered; call with _cond held."""
        self._cond.wait_for(lambda: self._pending == 0, timeout=LOG_WAIT_SECONDS)

    def snapshot(self) -> list:
        with self._cond:
            self._settle()
            return list(self._entries)

    def clear(self):
        """Forget the entries served by /_log; the file keeps every line."""
        with self._cond:
            self._settle()
            self._entries.clear()

    def close(self):
        if self._file:
            self._file.close()


class ServiceState:
    """Everything the request handlers share."""

    def __init__(self, mode: Mode, installers_dir, log: RequestLog):
        self.start_mode = mode
        self.mode = mode
        self.lock = threading.Lock()
        self.installers_dir = installers_dir
        self.log = log


def _utc_now() -> str:
    """UTC time with milliseconds, e.g. 2026-12-09T23:01:29.314Z."""
    return datetime.now(timezone.utc).strftime("%Y-%m-%dT%H:%M:%S.%f")[:-3] + "Z"


def log_entry(method, target, headers, sent: Sent, mode: Mode) -> dict:
    """One log line; target is the request target exactly as the client sent it."""
    path, raw_query = split_target(target) if target else (None, b"")
    entry = {
        "time": _utc_now(),
        "method": method,
        "target": target,
        "path": path,
        "query": query_for_log(raw_query),
        "headers": dict(headers.items()) if headers is not None else {},
        "status": sent.status,
        "bytes": sent.nbytes,
        "mode": dataclasses.asdict(mode),
    }
    if sent.note:
        entry["note"] = sent.note
    return entry


# ------------------------------------------------------------------ handler

def _sleep_until(deadline: float):
    delay = deadline - time.monotonic()
    if delay > 0:
        time.sleep(delay)


def _chunk_size(bps: int, total: int) -> int:
    """Whole body at once, or about twenty writes a second when throttled."""
    return max(1, min(8192, bps // 20)) if bps else max(1, total)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "OrbVorexDownload/1.0"
    timeout = 60  # an idle or stalled client frees its thread after this

    def do_GET(self):
        path, raw_query = split_target(self.path)
        if path in UNLOGGED_ROUTES:
            UNLOGGED_ROUTES[path](self, raw_query)
        else:
            self._answer_logged(path, raw_query)

    def _answer_logged(self, path, raw_query):
        state = self.server.state
        mode = state.mode
        route = ROUTES.get(path, Handler.route_not_found)
        sent = Sent(500, 0, "handler failed")
        state.log.begin()
        try:
            sent = route(self, raw_query, mode)
        finally:
            state.log.finish(log_entry(self.command, self.path, self.headers, sent, mode))

    def handle_one_request(self):
        self.headers = None  # an error log entry must not show an earlier request's
        super().handle_one_request()

    def send_error(self, code, message=None, explain=None):
        """Log the answers http.server gives by itself: a malformed request
        line (say, an e-mail sent with a raw blank), an unknown method."""
        state = self.server.state
        state.log.begin()
        try:
            super().send_error(code, message, explain)
        finally:
            sent = Sent(code, None, message or "")  # body length not counted
            state.log.finish(log_entry(self.command or "", None, self.headers, sent, state.mode))

    def log_message(self, format, *args):
        pass  # requests and http.server's own errors go to the JSON log instead

    # -- writing

    def _write_body(self, body: bytes, bps: int):
        """Write body, paced to bps bytes per second if bps > 0; (bytes written, note)."""
        view, sent = memoryview(body), 0
        chunk, start = _chunk_size(bps, len(body)), time.monotonic()
        try:
            while sent < len(body):
                if bps:
                    _sleep_until(start + sent / bps)
                sent += self.wfile.write(view[sent:sent + chunk])
        except OSError as err:
            self.close_connection = True
            return sent, "client gone: %s" % type(err).__name__
        return sent, ""

    def _send(self, status, content_type, body: bytes, headers=()) -> Sent:
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        return Sent(status, *self._write_body(body, 0))

    def _send_text(self, status, text: str) -> Sent:
        return self._send(status, "text/plain", text.encode("utf-8"))

    def _send_busy(self) -> Sent:
        """UPDATING with no length: the body ends when the connection closes."""
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True
        return Sent(200, *self._write_body(BUSY_BODY, 0))

    def _send_installer(self, edition: Edition, bps: int) -> Sent:
        body = installer_body(self.server.state.installers_dir, edition.filename)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Content-Disposition", 'attachment; filename="%s"' % edition.filename)
        self.end_headers()
        return Sent(200, *self._write_body(body, bps))

    # -- logged routes: (raw_query, mode) -> Sent

    def route_version(self, raw_query, mode):
        return self._send(200, "text/plain", version_body(mode.version_line))

    def route_install(self, raw_query, mode):
        if mode.busy:
            return self._send_busy()
        edition, reason = check_install_request(raw_query)
        if edition is None:
            sent = self._send_text(403, "refused: %s\r\n" % reason[:MAX_REASON_CHARS])
            sent.note = sent.note or reason
            return sent
        return self._send_installer(edition, mode.throttle)

    def route_compare(self, raw_query, mode):
        return self._send(200, "text/html", COMPARE_PAGE)

    def route_not_found(self, raw_query, mode):
        return self._send_text(404, "not found\r\n")

    # -- test routes, not logged

    def route_control(self, raw_query):
        try:
            apply_control(self.server.state, raw_query)
        except ControlError as err:
            self._send_text(400, "%s\r\n" % err)
            return
        self._send_text(200, "ok")

    def route_log(self, raw_query):
        body = json.dumps(self.server.state.log.snapshot(), ensure_ascii=False)
        self._send(200, "application/json", body.encode("utf-8"))


ROUTES = {
    "/latest/version.txt": Handler.route_version,
    "/dl": Handler.route_install,
    "/compare.htm": Handler.route_compare,
}
UNLOGGED_ROUTES = {
    "/_control": Handler.route_control,
    "/_log": Handler.route_log,
}


class OrbServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False  # a stalled client must not hold up shutdown

    def __init__(self, address, state: ServiceState):
        super().__init__(address, Handler)
        self.state = state


def start_server(state: ServiceState, host="127.0.0.1", port=0) -> OrbServer:
    """Listen on host:port (0 = any free port) and serve in a background thread."""
    server = OrbServer((host, port), state)
    threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1},
                     name="orbsvc", daemon=True).start()
    return server


def stop_server(server: OrbServer):
    server.shutdown()
    server.server_close()
    server.state.log.close()


# ------------------------------------------------------------- command line

def _non_negative(text: str) -> int:
    value = int(text)
    if value < 0:
        raise argparse.ArgumentTypeError("must be >= 0")
    return value


def parse_args(argv):
    p = argparse.ArgumentParser(description="Local download service for OrbVorexTrialWebSetup.")
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--port", type=int, default=8765, help="0 picks a free port")
    p.add_argument("--installers", metavar="DIR",
                   help="folder with OrbVorex2009LiteTrial.exe and OrbVorex2009ProTrial.exe")
    p.add_argument("--log", metavar="FILE", help="JSON line per request (file is truncated)")
    p.add_argument("--throttle", metavar="BPS", type=_non_negative, default=0,
                   help="bytes per second for installer bodies, 0 = unthrottled")
    p.add_argument("--busy", action="store_true", help="start answering /dl with UPDATING")
    p.add_argument("--ready-file", metavar="FILE", help="write the port here once listening")
    p.add_argument("--version-line", metavar="TEXT", default=DEFAULT_VERSION_LINE,
                   help="first line of the version file")
    return p.parse_args(argv)


def report_stand_ins(installers_dir):
    for edition in EDITIONS.values():
        path = os.path.join(installers_dir or "", edition.filename)
        if not (installers_dir and os.path.isfile(path)):
            print("orbsvc: %s not found, serving a stand-in body" % edition.filename,
                  file=sys.stderr)


def write_ready_file(path: str, port: int):
    """Write via rename so a waiting script never reads a half-written file."""
    with open(path + ".tmp", "w") as f:
        f.write("%d\n" % port)
    os.replace(path + ".tmp", path)


def main(argv=None) -> int:
    args = parse_args(argv)
    mode = Mode(busy=args.busy, throttle=args.throttle, version_line=args.version_line)
    state = ServiceState(mode, args.installers, RequestLog(args.log))
    stop = threading.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: stop.set())
    server = start_server(state, args.host, args.port)
    port = server.server_address[1]
    report_stand_ins(args.installers)
    if args.ready_file:
        write_ready_file(args.ready_file, port)
    print("listening on http://%s:%d" % (args.host, port), flush=True)
    while not stop.wait(0.5):
        pass
    stop_server(server)
    return 0


if __name__ == "__main__":
    sys.exit(main())
