#!/usr/bin/env python3
"""Local download service for OrbVorexTrialWebSetup.

Serves the version file, the two trial installers and the comparison page
on 127.0.0.1 so the setup program can be demonstrated and tested without any
outside traffic. Test scripts switch the behaviour at run time through
/_control and read back what the program asked for through /_log.
"""

import argparse
import dataclasses
import email.utils
import functools
import hashlib
import http.server
import json
import mmap
import os
import re
import select
import signal
import socket
import struct
import sys
import threading
import time
import urllib.parse
from datetime import datetime, timezone
from typing import Optional

try:
    import fcntl
    import termios
except ImportError:  # not on Linux: resets go out without waiting for the client's ack
    fcntl = termios = None

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
MAX_HOLD_SECONDS = 30.0  # longest stall a fault may ask for, so no test run hangs
HOLD_POLL_SECONDS = 0.1
DRIP_BYTES = 16  # written every DRIP_INTERVAL by the drip fault
DRIP_INTERVAL = 0.1
CHUNK_SIZE = 8192  # data bytes per chunk of a chunked installer body
MAX_LONG_LINE = 16 * 1024 * 1024
MAP_FROM_BYTES = 16 * 1024 * 1024  # installer files this large are mapped, not read
STAND_IN_MODIFIED = 1796083200  # Last-Modified of a stand-in: 2026-12-01 00:00 UTC
ACK_WAIT_SECONDS = 1.0

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
FILES_PREFIX = "/files/"  # where each installer also lives; redirects point here
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
    fault: Optional["Fault"] = None  # how /dl misbehaves for a valid request
    disposition: Optional[bytes] = None  # raw Content-Disposition of installer answers
    version_body: Optional[bytes] = None  # the whole version file, as given
    long_line: int = 0  # version file as one line of this many bytes; 0 = off
    version_fault: Optional["Fault"] = None  # how the version file misbehaves
    # How installer answers (valid /dl without a fault, /files/) serve their entity.
    cut_once: tuple = ()  # answer K (from 0) is closed at the K-th of these bytes of the entity
    cut_every: Optional[int] = None  # every answer is closed at this byte of the entity
    ignore_ranges: bool = False  # Range is ignored: always 200 with the whole entity
    new_entity: bool = False  # each answer is another entity (another ETag, another body)
    validators: str = "both"  # which of ETag and Last-Modified the answers carry


@dataclasses.dataclass(frozen=True)
class Fault:
    """One way of answering a valid install request wrongly (a key of DL_FAULTS)."""

    kind: str
    value: object


@dataclasses.dataclass
class Sent:
    """What a route put on the wire, for the request log."""

    status: int
    nbytes: int = 0
    note: str = ""
    content_range: str = ""  # the Content-Range of a 206 or 416


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
    """The installer from the folder, or its stand-in when the file is missing. A large
    file is mapped rather than read, so that a 1 GB installer costs no 1 GB of memory."""
    if installers_dir:
        try:
            with open(os.path.join(installers_dir, filename), "rb") as f:
                if os.fstat(f.fileno()).st_size >= MAP_FROM_BYTES:
                    return mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ)
                return f.read()
        except FileNotFoundError:
            pass
    return stand_in_installer(filename)


def installer_modified(installers_dir, filename: str) -> int:
    """Seconds since 1970 of the installer file's last change; the stand-in's fixed date."""
    if installers_dir:
        try:
            return int(os.stat(os.path.join(installers_dir, filename)).st_mtime)
        except FileNotFoundError:
            pass
    return STAND_IN_MODIFIED


def entity_body(body, generation: int):
    """The entity of one generation: the installer itself, then, for a changed entity, the
    installer followed by b"\0entity N" (an overlay the installer ignores)."""
    return body if generation == 0 else bytes(body) + b"\0entity %d" % generation


def entity_validators(body, modified: int, generation: int, which: str):
    """[(name, value)] of the entity's ETag and Last-Modified, as many as `which` asks for.
    The tag is made of the length, the date and a digest of the first bytes, so that a
    mapped installer need not be read whole; a changed entity changes both."""
    digest = hashlib.sha256(body[:65536]).hexdigest()[:12]
    tag = '"%x-%x-%s-%d"' % (len(body), modified, digest, generation)
    date = email.utils.formatdate(modified + 60 * generation, usegmt=True)
    headers = []
    if which in ("both", "etag"):
        headers.append(("ETag", tag))
    if which in ("both", "date"):
        headers.append(("Last-Modified", date))
    return headers


def requested_range(range_header, if_range, validators, length):
    """What a Range request asks of an entity of `length` bytes: None for the whole entity
    (no Range, a form this service does not serve, or an If-Range that no longer matches),
    (first, last) for a part, or "unsatisfiable". One range, "bytes=N-" or "bytes=N-M"."""
    if not range_header:
        return None
    if if_range is not None and if_range not in (value for _, value in validators):
        return None
    m = re.fullmatch(r"\s*bytes\s*=\s*([0-9]+)\s*-\s*([0-9]*)\s*", range_header)
    if not m:
        return None
    first = int(m.group(1))
    last = min(int(m.group(2)), length - 1) if m.group(2) else length - 1
    if first >= length:
        return "unsatisfiable"
    if last < first:
        return None
    return first, last


def version_body(mode: Mode) -> bytes:
    """The version file: a given body, one long line, or the version line and notes."""
    first_line = mode.version_line.encode("cp1252", "replace")
    if mode.long_line:
        return first_line[:mode.long_line].ljust(mode.long_line, b"0")
    if mode.version_body is not None:
        return mode.version_body
    lines = (first_line,) + tuple(n.encode("cp1252") for n in VERSION_NOTES)
    return b"".join(line + b"\r\n" for line in lines)


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


def _signed(text: str) -> int:
    if not re.fullmatch(r"-?[0-9]+", text):
        raise ControlError("expected a whole number, got %r" % text)
    return int(text)


def _seconds(text: str) -> float:
    if not re.fullmatch(r"[0-9]+(\.[0-9]+)?", text) or not 0 < float(text) <= MAX_HOLD_SECONDS:
        raise ControlError("expected seconds above 0, at most %g, got %r"
                           % (MAX_HOLD_SECONDS, text))
    return float(text)


def _choice(*allowed):
    def parse(text: str) -> str:
        if text not in allowed:
            raise ControlError("expected one of %s, got %r" % ("/".join(allowed), text))
        return text
    return parse


def _error_status(text: str):
    """"404" -> (404, False): a short text body; "404,large" -> (404, True):
    the installer's body and content-disposition under that status."""
    m = re.fullmatch(r"([45][0-9][0-9])(,large)?", text)
    if not m:
        raise ControlError("expected a status 400-599, optionally ',large', got %r" % text)
    return int(m.group(1)), bool(m.group(2))


def _redirect(text: str):
    return _choice("301", "302", "307", "loop")(text)


def _utf8(text: str) -> str:
    return text.encode("latin-1").decode("utf-8", "replace")


def _raw(text: str) -> bytes:
    return text.encode("latin-1")  # parse_control keeps one character per byte


def _header_value(text: str) -> bytes:
    if "\r" in text or "\n" in text:
        raise ControlError("a header value cannot hold CR or LF")
    return _raw(text)


def _line_size(text: str) -> int:
    size = _count(text)
    if not 0 < size <= MAX_LONG_LINE:
        raise ControlError("expected 1 to %d bytes, got %r" % (MAX_LONG_LINE, text))
    return size


def _offsets(text: str) -> tuple:
    return tuple(_count(piece) for piece in text.split(","))


def _clear_log(state, mode, _):
    state.log.clear()
    return mode


def _set(field: str):
    return lambda state, mode, value: dataclasses.replace(mode, **{field: value})


def _set_fault(kind: str):
    return lambda state, mode, value: dataclasses.replace(mode, fault=Fault(kind, value))


# Ways /dl answers a valid install request wrongly: key -> value parser.
# Only one is active; setting another replaces it. Handler.FAULT_ANSWERS
# holds the code for each.
DL_FAULTS = {
    "close_after": _count,
    "rst_after": _count,
    "length_delta": _signed,
    "no_length": _one,
    "chunked": _choice("full", "cut", "no_end"),
    "stall": _seconds,
    "silent": _seconds,
    "drip": _seconds,
    "status": _error_status,
    "redirect": _redirect,
}

# Ways the version file is answered wrongly: key -> value parser. As with DL_FAULTS, one
# at a time; Handler.VERSION_FAULT_ANSWERS holds the code for each.
VERSION_FAULTS = {
    "version_stall": _seconds,
    "version_silent": _seconds,
}


def _set_version_fault(kind: str):
    return lambda state, mode, value: dataclasses.replace(mode, version_fault=Fault(kind, value))


# key -> (parse the value, apply it: (state, mode, value) -> new mode).
# Keys are applied in this order whatever their order in the query, so
# "reset" always comes first. A new switch is one Mode field and one row
# here (or in DL_FAULTS), plus the code that honours it.
CONTROL_KEYS = {
    "reset": (_one, lambda state, mode, _: state.start_mode),
    "busy": (_flag, _set("busy")),
    "throttle": (_count, _set("throttle")),
    "version": (_utf8, _set("version_line")),
    **{kind: (parse, _set_fault(kind)) for kind, parse in DL_FAULTS.items()},
    "disposition": (_header_value, _set("disposition")),
    "version_body": (_raw, lambda state, mode, v:
                     dataclasses.replace(mode, version_body=v, long_line=0)),
    "long_line": (_line_size, lambda state, mode, v:
                  dataclasses.replace(mode, long_line=v, version_body=None)),
    **{kind: (parse, _set_version_fault(kind)) for kind, parse in VERSION_FAULTS.items()},
    "cut_once": (_offsets, _set("cut_once")),
    "cut_every": (_count, _set("cut_every")),
    "ignore_ranges": (_flag, _set("ignore_ranges")),
    "new_entity": (_flag, _set("new_entity")),
    "validators": (_choice("both", "etag", "date", "none"), _set("validators")),
    "reset_log": (_one, _clear_log),
}


def parse_control(raw_query: bytes) -> dict:
    """Validated control values by key; raises ControlError."""
    try:
        # Latin-1 keeps one character per decoded byte, so raw values survive.
        pairs = urllib.parse.parse_qsl(raw_query.decode("latin-1"), keep_blank_values=True,
                                       strict_parsing=True, encoding="latin-1")
    except ValueError as err:
        raise ControlError(str(err)) from None
    values = {}
    for key, text in pairs:
        if key not in CONTROL_KEYS:
            raise ControlError("unknown control key %r" % key)
        if key in values:
            raise ControlError("repeated control key %r" % key)
        values[key] = CONTROL_KEYS[key][0](text)
    for route, kinds in (("/dl", DL_FAULTS), ("version file", VERSION_FAULTS)):
        faults = sorted(values.keys() & kinds.keys())
        if len(faults) > 1:
            raise ControlError("one %s fault at a time, got %s" % (route, ",".join(faults)))
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
        state.installer_answers = 0  # "the first answer" and the entity's generation restart


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
        self.stopping = threading.Event()  # ends every stall at shutdown
        self.installer_answers = 0  # installer answers since the last control request; under lock

    def next_installer_answer(self) -> int:
        """The number of this installer answer since the last control request, from 0."""
        with self.lock:
            number = self.installer_answers
            self.installer_answers += 1
            return number


def _utc_now() -> str:
    """UTC time with milliseconds, e.g. 2026-12-09T23:01:29.314Z."""
    return datetime.now(timezone.utc).strftime("%Y-%m-%dT%H:%M:%S.%f")[:-3] + "Z"


def mode_for_log(mode: Mode) -> dict:
    """The mode as JSON values; raw bytes are shown as Latin-1, one character each."""
    return {name: value.decode("latin-1") if isinstance(value, bytes)
            else list(value) if isinstance(value, tuple) else value
            for name, value in dataclasses.asdict(mode).items()}


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
        "mode": mode_for_log(mode),
    }
    if sent.note:
        entry["note"] = sent.note
    if sent.content_range:
        entry["content_range"] = sent.content_range
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

    def _start(self, status, headers):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()

    def _installer_headers(self, edition: Edition, mode: Mode, length):
        """Headers of an installer answer; length None sends no Content-Length."""
        disposition = ('attachment; filename="%s"' % edition.filename
                       if mode.disposition is None else mode.disposition.decode("latin-1"))
        headers = [("Content-Type", "application/octet-stream")]
        if length is not None:
            headers.append(("Content-Length", str(length)))
        headers.append(("Content-Disposition", disposition))
        return headers

    def _installer(self, edition: Edition) -> bytes:
        return installer_body(self.server.state.installers_dir, edition.filename)

    def _send_installer(self, edition: Edition, mode: Mode, status=200) -> Sent:
        body = self._installer(edition)
        self._start(status, self._installer_headers(edition, mode, len(body)))
        return Sent(status, *self._write_body(body, mode.throttle))

    def _send_entity(self, edition: Edition, mode: Mode) -> Sent:
        """The installer as a resumable entity: ETag and Last-Modified (as `validators` says),
        Accept-Ranges, 206 for a satisfiable range, 416 for one past the end, the whole
        entity otherwise; the cut switches close the answer at a byte of the entity."""
        state = self.server.state
        answer = state.next_installer_answer()
        generation = answer if mode.new_entity else 0
        modified = installer_modified(state.installers_dir, edition.filename)
        body = entity_body(self._installer(edition), generation)
        validators = entity_validators(body, modified, generation, mode.validators)
        wanted = None
        if not mode.ignore_ranges:
            wanted = requested_range(self.headers.get("Range"), self.headers.get("If-Range"),
                                     validators, len(body))
        extra = validators + ([] if mode.ignore_ranges else [("Accept-Ranges", "bytes")])
        if wanted == "unsatisfiable":
            content_range = "bytes */%d" % len(body)
            sent = self._send(416, "text/plain", b"", [("Content-Range", content_range)] + extra)
            sent.content_range = content_range
            return sent
        first, last = wanted if wanted else (0, len(body) - 1)
        status = 206 if wanted else 200
        headers = self._installer_headers(edition, mode, last + 1 - first) + extra
        content_range = "bytes %d-%d/%d" % (first, last, len(body)) if wanted else ""
        if content_range:
            headers.append(("Content-Range", content_range))
        once = mode.cut_once[answer] if answer < len(mode.cut_once) else None
        cut = mode.cut_every if mode.cut_every is not None else once
        end = last + 1 if cut is None else max(first, min(cut, last + 1))
        self._start(status, headers)
        if end <= last:
            self.close_connection = True
        sent = Sent(status, *self._write_body(memoryview(body)[first:end], mode.throttle))
        sent.content_range = content_range
        if end <= last and not sent.note:
            sent.note = "cut at byte %d" % end
        return sent

    def _end_with_reset(self):
        """Drop the connection with an RST instead of a FIN.

        With SO_LINGER 0, close() resets the connection and discards what is
        still queued, so first wait (briefly) until the client has acknowledged
        every byte written. The read side is closed too, else close() would
        wait for it and socketserver's shutdown would send a FIN first.
        """
        self.close_connection = True
        deadline = time.monotonic() + ACK_WAIT_SECONDS
        try:
            while fcntl and time.monotonic() < deadline:
                unacked = struct.unpack("i", fcntl.ioctl(self.connection, termios.TIOCOUTQ,
                                                         b"\0" * 4))[0]
                if unacked == 0:
                    break
                time.sleep(0.005)
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER,
                                       struct.pack("ii", 1, 0))
        except OSError:
            pass  # the client is gone already; closing is all that is left
        self.rfile.close()
        self.connection.close()

    def _client_gone(self) -> str:
        """A note if the client has closed or reset the connection, else ""."""
        try:
            if self.connection.recv(1, socket.MSG_PEEK):
                return ""
            return "client gone: closed"
        except OSError as err:
            return "client gone: %s" % type(err).__name__

    def _hold(self, seconds: float) -> str:
        """Keep the connection open and silent for seconds, ending early when the
        client leaves or the service stops; the answer is the note for the log."""
        stopping = self.server.state.stopping
        deadline = time.monotonic() + seconds
        while not stopping.is_set():
            left = deadline - time.monotonic()
            if left <= 0:
                return ""
            readable, _, _ = select.select([self.connection], [], [],
                                           min(left, HOLD_POLL_SECONDS))
            if readable:
                gone = self._client_gone()
                if gone:
                    return gone
                stopping.wait(deadline - time.monotonic())  # it sent more: wait it out
        return "service stopping"

    def _drip(self, body: bytes, seconds: float):
        """DRIP_BYTES every DRIP_INTERVAL for at most seconds; (bytes written, note)."""
        stopping = self.server.state.stopping
        deadline, sent = time.monotonic() + seconds, 0
        try:
            while sent < len(body) and not stopping.is_set():
                sent += self.wfile.write(body[sent:sent + DRIP_BYTES])
                left = deadline - time.monotonic()
                if left <= 0:
                    break
                stopping.wait(min(DRIP_INTERVAL, left))
        except OSError as err:
            return sent, "client gone: %s" % type(err).__name__
        return sent, ""

    # -- /dl faults: (value, edition, mode) -> Sent, for a valid install request

    def fault_close_after(self, nbytes, edition, mode):
        body = self._installer(edition)
        self._start(200, self._installer_headers(edition, mode, len(body)))
        self.close_connection = True
        return Sent(200, *self._write_body(body[:nbytes], mode.throttle))

    def fault_rst_after(self, nbytes, edition, mode):
        body = self._installer(edition)
        self._start(200, self._installer_headers(edition, mode, len(body)))
        sent = Sent(200, *self._write_body(body[:nbytes], mode.throttle))
        self._end_with_reset()
        return sent

    def fault_length_delta(self, delta, edition, mode):
        """The whole body under a wrong length, then close: bytes past a short
        length must not be read as the next answer on a kept-alive connection."""
        body = self._installer(edition)
        self._start(200, self._installer_headers(edition, mode, max(0, len(body) + delta)))
        self.close_connection = True
        return Sent(200, *self._write_body(body, mode.throttle))

    def fault_no_length(self, _, edition, mode):
        headers = self._installer_headers(edition, mode, None) + [("Connection", "close")]
        self._start(200, headers)
        self.close_connection = True
        return Sent(200, *self._write_body(self._installer(edition), mode.throttle))

    def fault_chunked(self, ending, edition, mode):
        """Chunked body: "full", "cut" in the middle of the chunk holding the
        middle of the body, or "no_end" (no final zero chunk); the last two close."""
        body = self._installer(edition)
        chunks = [body[i:i + CHUNK_SIZE] for i in range(0, len(body), CHUNK_SIZE)]
        framed = [b"%X\r\n%s\r\n" % (len(c), c) for c in chunks]
        if ending == "full":
            framed.append(b"0\r\n\r\n")
        elif ending == "cut":
            middle = (len(body) // 2) // CHUNK_SIZE
            half = chunks[middle][:len(chunks[middle]) // 2]
            framed[middle:] = [b"%X\r\n%s" % (len(chunks[middle]), half)]
        headers = self._installer_headers(edition, mode, None)
        self._start(200, headers + [("Transfer-Encoding", "chunked")])
        self.close_connection = ending != "full"
        return Sent(200, *self._write_body(b"".join(framed), mode.throttle))

    def fault_stall(self, seconds, edition, mode):
        body = self._installer(edition)
        self._start(200, self._installer_headers(edition, mode, len(body)))
        self.close_connection = True
        return Sent(200, 0, self._hold(seconds))

    def fault_silent(self, seconds, edition, mode):
        self.close_connection = True
        return Sent(None, 0, self._hold(seconds) or "nothing sent")

    def fault_drip(self, seconds, edition, mode):
        body = self._installer(edition)
        self._start(200, self._installer_headers(edition, mode, len(body)))
        self.close_connection = True
        return Sent(200, *self._drip(body, seconds))

    def fault_status(self, status_large, edition, mode):
        status, large = status_large
        if large:
            return self._send_installer(edition, mode, status)
        return self._send_text(status, "error %d\r\n" % status)

    def fault_redirect(self, code, edition, mode):
        """To the plain installer, or back to the same address for "loop"."""
        host = self.headers.get("Host") or "%s:%d" % self.server.server_address[:2]
        if code == "loop":
            code, target = 302, self.path
        else:
            code, target = int(code), FILES_PREFIX + edition.filename
        location = target if target.startswith("http://") else "http://%s%s" % (host, target)
        return self._send(code, "text/plain", b"moved\r\n", [("Location", location)])

    # -- logged routes: (raw_query, mode) -> Sent

    def route_version(self, raw_query, mode):
        if mode.version_fault is not None:
            kind, seconds = mode.version_fault.kind, mode.version_fault.value
            return VERSION_FAULT_ANSWERS[kind](self, seconds, mode)
        return self._send(200, "text/plain", version_body(mode))

    # -- version file faults: (seconds, mode) -> Sent

    def fault_version_stall(self, seconds, mode):
        self._start(200, [("Content-Type", "text/plain"),
                          ("Content-Length", str(len(version_body(mode))))])
        self.close_connection = True
        return Sent(200, 0, self._hold(seconds))

    def fault_version_silent(self, seconds, mode):
        self.close_connection = True
        return Sent(None, 0, self._hold(seconds) or "nothing sent")

    def route_install(self, raw_query, mode):
        if mode.busy:
            return self._send_busy()
        edition, reason = check_install_request(raw_query)
        if edition is None:
            sent = self._send_text(403, "refused: %s\r\n" % reason[:MAX_REASON_CHARS])
            sent.note = sent.note or reason
            return sent
        if mode.fault is not None:
            return FAULT_ANSWERS[mode.fault.kind](self, mode.fault.value, edition, mode)
        return self._send_entity(edition, mode)

    def route_file(self, raw_query, mode, edition):
        """The installer at its own address, where a redirect points; no faults."""
        return self._send_entity(edition, mode)

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
    **{FILES_PREFIX + e.filename: functools.partial(Handler.route_file, edition=e)
       for e in EDITIONS.values()},
}
UNLOGGED_ROUTES = {
    "/_control": Handler.route_control,
    "/_log": Handler.route_log,
}
FAULT_ANSWERS = {kind: getattr(Handler, "fault_" + kind) for kind in DL_FAULTS}
VERSION_FAULT_ANSWERS = {kind: getattr(Handler, "fault_" + kind) for kind in VERSION_FAULTS}


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
    server.state.stopping.set()
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
    p.add_argument("--control", metavar="QUERY", default="",
                   help="control keys to start with, as /_control takes them (e.g. close_after=1000)")
    args = p.parse_args(argv)
    try:
        args.start_mode = start_mode(args)
    except ControlError as err:
        p.error("--control: %s" % err)
    return args


def start_mode(args) -> Mode:
    """The mode the options describe, --control applied over the others."""
    mode = Mode(busy=args.busy, throttle=args.throttle, version_line=args.version_line)
    state = ServiceState(mode, None, RequestLog())
    apply_control(state, args.control.encode("utf-8"))
    return state.mode


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
    state = ServiceState(args.start_mode, args.installers, RequestLog(args.log))
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
