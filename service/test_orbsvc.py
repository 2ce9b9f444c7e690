"""Tests for the local download service and the request token.

Run from the repository root:
    python3 -m unittest discover -s service -p 'test_*.py'
"""

import contextlib
import http.client
import io
import json
import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import typing
import unittest
import urllib.parse

import orbsvc
from request_token import make_request_token

HERE = os.path.dirname(os.path.abspath(__file__))
PRO_FILE = "OrbVorex2009ProTrial.exe"
LITE_FILE = "OrbVorex2009LiteTrial.exe"
# Installer folder fixture: a real Pro file, no Lite file (Lite gets the stand-in).
PRO_FIXTURE = b"MZ" + bytes(range(256)) * 160


class RequestTokenTests(unittest.TestCase):
    def test_hand_worked_tokens(self):
        cases = [
            # b"a", 1: cells 5B 5D C6 1 (1^5A, 61^3C, 61^A7, "1");
            # 'a' k=1: key 5B, 61^5B=3A -> 3A 5D C6 1
            (b"a", 1, "3A5DC61"),
            # b"ab", 4: cells 58 5D C5 4 (2^5A, 61^3C, 62^A7, "4");
            # 'a' k=1: key 58, 61^58=39 -> 3 9 5 D C 5 4
            # 'b' k=2: key 95, 62^95=F7 -> 3 F 7 D C 5 4
            (b"ab", 4, "3F7DC54"),
            # b"a@b.com", 1: cells 5D 5D CA 1 (7^5A, 61^3C, 6D^A7, "1")
            # 'a' k=1 key 5D: 61^5D=3C -> 3 C 5 D C A 1
            # '@' k=2 key C5: 40^C5=85 -> 3 8 5 D C A 1
            # 'b' k=3 key 5D: 62^5D=3F -> 3 8 3 F C A 1
            # '.' k=4 key FC: 2E^FC=D2 -> 3 8 3 D 2 A 1
            # 'c' k=5 key 2A: 63^2A=49 -> 3 8 3 D 4 9 1
            # 'o' k=6 key 91: 6F^91=FE -> 3 8 3 D 4 F E
            # 'm' k wraps to 1, key 38: 6D^38=55 -> 5 5 3 D 4 F E
            (b"a@b.com", 1, "553D4FE"),
            # Same text, number 4: identical until k=6, where the key is 94:
            # 6F^94=FB -> 3 8 3 D 4 F B; then 'm' k=1 key 38 -> 55
            (b"a@b.com", 4, "553D4FB"),
        ]
        for text, number, token in cases:
            with self.subTest(text=text, number=number):
                self.assertEqual(make_request_token(text, number), token)

    def test_out_of_range_input_gives_empty_token(self):
        cases = [(b"", 1), (b"x" * 256, 1), (b"a", 10), (b"a", -1)]
        for text, number in cases:
            with self.subTest(length=len(text), number=number):
                self.assertEqual(make_request_token(text, number), "")

    def test_longest_text_still_gets_a_token(self):
        token = make_request_token(b"\xff" * 255, 9)
        self.assertRegex(token, r"^[0-9A-F]{7}$")


# ------------------------------------------------------------------ helpers

def dl_query(em="a%40b.com", edn="p", sub="on", tk=None, email_bytes=b"a@b.com"):
    """Install request target; tk defaults to the right token for email_bytes."""
    if tk is None:
        tk = make_request_token(email_bytes, 1 if edn == "p" else 4)
    return "/dl?em=%s&edn=%s&sub=%s&tk=%s" % (em, edn, sub, tk)


def raw_exchange(port, target: bytes, timeout=5.0) -> bytes:
    """Send one GET over a plain socket and read until the server closes it."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall(b"GET " + target + b" HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n")
        chunks = []
        while True:
            data = s.recv(65536)  # a timeout here means the server never closed
            if not data:
                return b"".join(chunks)
            chunks.append(data)


def split_response(raw: bytes):
    head, _, body = raw.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {k.strip().lower(): v.strip() for k, _, v in (l.partition(":") for l in lines[1:])}
    return lines[0], headers, body


class ServiceCase(unittest.TestCase):
    """One in-process service per test class; mode and log reset per test."""

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        with open(os.path.join(cls.tmp.name, PRO_FILE), "wb") as f:
            f.write(PRO_FIXTURE)
        state = orbsvc.ServiceState(orbsvc.Mode(), cls.tmp.name, orbsvc.RequestLog())
        cls.server = orbsvc.start_server(state)
        cls.port = cls.server.server_address[1]

    @classmethod
    def tearDownClass(cls):
        orbsvc.stop_server(cls.server)
        cls.tmp.cleanup()

    def setUp(self):
        self.state = self.server.state
        self.state.mode = self.state.start_mode
        self.state.log.clear()

    def get(self, target, conn=None, headers=None):
        """(status, headers with lower-case names, body)."""
        own = conn is None
        conn = conn or http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        try:
            conn.request("GET", target, headers=headers or {})
            resp = conn.getresponse()
            body = resp.read()
            return resp.status, {k.lower(): v for k, v in resp.getheaders()}, body
        finally:
            if own:
                conn.close()

    def control(self, query):
        status, _, body = self.get("/_control?" + query)
        self.assertEqual((status, body), (200, b"ok"))

    def log(self):
        status, _, body = self.get("/_log")
        self.assertEqual(status, 200)
        return json.loads(body)


class PageTests(ServiceCase):
    def test_version_file_shape(self):
        status, headers, body = self.get("/latest/version.txt")
        self.assertEqual(status, 200)
        self.assertEqual(headers["content-type"], "text/plain")
        self.assertTrue(body.endswith(b"\r\n"))
        lines = body.split(b"\r\n")[:-1]
        self.assertFalse(any(b"\r" in l or b"\n" in l for l in lines), "bare CR or LF")
        self.assertEqual(lines[0], b"20261201;2009.4.2")
        self.assertGreaterEqual(len(lines), 3)

    def test_version_line_changed_at_run_time_keeps_the_rest(self):
        _, _, before = self.get("/latest/version.txt")
        self.control("version=20270315%3B2010.1.0")
        _, _, after = self.get("/latest/version.txt")
        self.assertEqual(after.split(b"\r\n", 1)[0], b"20270315;2010.1.0")
        self.assertEqual(after.split(b"\r\n", 1)[1], before.split(b"\r\n", 1)[1])

    def test_compare_page_names_both_editions(self):
        status, headers, body = self.get("/compare.htm")
        self.assertEqual(status, 200)
        self.assertTrue(headers["content-type"].startswith("text/html"))
        self.assertIn(b"Orb Vorex 2009 Lite Trial", body)
        self.assertIn(b"Orb Vorex 2009 Pro Trial", body)

    def test_unknown_path_is_404(self):
        for target in ("/", "/latest/version.TXT", "/dl/x", "/_controlx"):
            with self.subTest(target=target):
                status, _, body = self.get(target)
                self.assertEqual(status, 404)
                self.assertLess(len(body), 100)

    def test_one_kept_alive_connection_carries_every_kind_of_answer(self):
        # A wrong or missing Content-Length on any answer would make the
        # next request on the same connection hang or read garbage.
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        try:
            targets = ["/latest/version.txt", dl_query(tk="0000000"), "/nope",
                       dl_query(), "/compare.htm", dl_query(edn="l"), "/latest/version.txt"]
            statuses = [self.get(t, conn)[0] for t in targets]
        finally:
            conn.close()
        self.assertEqual(statuses, [200, 403, 404, 200, 200, 200, 200])


class InstallTests(ServiceCase):
    def test_valid_request_gets_the_edition_installer(self):
        cases = [("p", "on", PRO_FILE), ("l", "off", LITE_FILE)]
        bodies = {}
        for edn, sub, filename in cases:
            with self.subTest(edn=edn):
                status, headers, body = self.get(dl_query(edn=edn, sub=sub))
                self.assertEqual(status, 200)
                self.assertEqual(headers["content-type"], "application/octet-stream")
                self.assertEqual(headers["content-length"], str(len(body)))
                self.assertEqual(headers["content-disposition"],
                                 'attachment; filename="%s"' % filename)
                self.assertGreaterEqual(len(body), 30000)
                self.assertEqual(body[:2], b"MZ")
                bodies[edn] = body
        self.assertEqual(bodies["p"], PRO_FIXTURE, "Pro comes from the installer folder")
        self.assertEqual(len(bodies["l"]), 64 * 1024, "Lite is the stand-in")

    def test_stand_in_is_the_same_every_time(self):
        first = self.get(dl_query(edn="l"))[2]
        self.assertEqual(self.get(dl_query(edn="l"))[2], first)

    def test_awkward_emails_are_accepted(self):
        # (as sent on the wire, bytes the token is computed over)
        cases = [
            ("a%26b%40c.com", b"a&b@c.com"),
            ("a%23b@c.com", b"a#b@c.com"),
            ("john+doe@c.com", b"john doe@c.com"),
            ("john%20doe@c.com", b"john doe@c.com"),
            ("a%2Bb@c.com", b"a+b@c.com"),
            ("%C4%D6@b.com", b"\xc4\xd6@b.com"),
            ("%c4%d6@b.com", b"\xc4\xd6@b.com"),
            ("", b""),
        ]
        for em, email_bytes in cases:
            with self.subTest(em=em):
                status, headers, _ = self.get(dl_query(em=em, email_bytes=email_bytes))
                self.assertEqual(status, 200)
                self.assertIn("content-disposition", headers)

    def test_bad_requests_are_refused(self):
        good = make_request_token(b"a@b.com", 1)  # 553D4FE
        cases = {
            "bad token": dl_query(tk="0000000"),
            "Lite token on a Pro request": dl_query(tk=make_request_token(b"a@b.com", 4)),
            "lower-case token": dl_query(tk=good.lower()),
            "empty token, non-empty e-mail": dl_query(tk=""),
            "token over '+' not decoded": dl_query(em="a+b@c.com", email_bytes=b"a+b@c.com"),
            "token over UTF-8 of a cp1252 e-mail":
                dl_query(em="%C4%D6@b.com", email_bytes="ÄÖ@b.com".encode("utf-8")),
            "missing sub": "/dl?em=a%40b.com&edn=p&tk=" + good,
            "missing tk": "/dl?em=a%40b.com&edn=p&sub=on",
            "no query": "/dl",
            "repeated key": dl_query() + "&em=a%40b.com",
            "unknown key": dl_query() + "&x=1",
            "piece without =": dl_query() + "&sub",
            "empty piece": dl_query().replace("&edn", "&&edn"),
            "unknown edition": dl_query(edn="x", tk=good),
            "upper-case edition": dl_query(edn="P", tk=good),
            "bad sub": dl_query(sub="yes"),
        }
        for name, target in cases.items():
            with self.subTest(name):
                status, headers, body = self.get(target)
                self.assertEqual(status, 403)
                self.assertNotIn("content-disposition", headers)
                self.assertLess(len(body), 20000)

    def test_unescaped_bytes_count_as_sent(self):
        # (raw e-mail piece, status): a raw '&' splits the query like any '&'.
        cases = [(b"a#b@c.com", 200), (b"\xc4\xd6@b.com", 200), (b"a&b@c.com", 403)]
        for em, status in cases:
            with self.subTest(em=em):
                tk = make_request_token(em, 1).encode()
                raw = raw_exchange(self.port, b"/dl?em=" + em + b"&edn=p&sub=on&tk=" + tk)
                status_line, headers, _ = split_response(raw)
                self.assertEqual(status_line.split(" ")[1], str(status))
                self.assertEqual("content-disposition" in headers, status == 200)

    def test_raw_blank_in_request_line_is_a_logged_400(self):
        tk = make_request_token(b"a b@c.com", 1).encode()
        raw = raw_exchange(self.port, b"/dl?em=a b@c.com&edn=p&sub=on&tk=" + tk)
        self.assertEqual(split_response(raw)[0].split(" ")[1], "400")
        (entry,) = self.log()
        self.assertEqual(entry["status"], 400)
        self.assertIn("a b@c.com", entry["note"])

    def test_busy_answer_is_close_delimited_updating(self):
        self.control("busy=1")
        for target in (dl_query(), "/dl?garbage"):
            with self.subTest(target=target):
                raw = raw_exchange(self.port, target.encode())
                status_line, headers, body = split_response(raw)
                self.assertEqual(status_line.split(" ")[1], "200")
                self.assertNotIn("content-length", headers)
                self.assertEqual(headers.get("connection"), "close")
                self.assertEqual(body, b"UPDATING")
        self.assertEqual([(e["status"], e["bytes"], e["mode"]["busy"]) for e in self.log()],
                         [(200, 8, True)] * 2)

    def test_busy_mode_leaves_the_version_file_alone(self):
        self.control("busy=1")
        status, _, body = self.get("/latest/version.txt")
        self.assertEqual(status, 200)
        self.assertTrue(body.startswith(b"20261201;2009.4.2\r\n"))

    def test_throttle_slows_the_installer_body(self):
        def timed_download():
            start = time.monotonic()
            status, _, body = self.get(dl_query(edn="l"))
            self.assertEqual((status, len(body)), (200, 64 * 1024))
            return time.monotonic() - start

        fast = timed_download()
        self.control("throttle=100000")  # 64 KiB -> about 0.65 s
        slow = timed_download()
        self.assertGreater(slow, 0.45)
        self.assertLess(slow, 3.0)
        self.assertLess(fast, slow / 2)


    def test_client_leaving_mid_download_is_logged_with_bytes_sent(self):
        self.control("throttle=100000")
        with socket.create_connection(("127.0.0.1", self.port), timeout=5) as s:
            s.sendall(("GET %s HTTP/1.1\r\nHost: x\r\n\r\n" % dl_query(edn="l")).encode())
            s.recv(4096)
        (entry,) = self.log()
        self.assertEqual(entry["status"], 200)
        self.assertLess(entry["bytes"], 64 * 1024)
        self.assertTrue(entry["note"].startswith("client gone"), entry)


class ControlAndLogTests(ServiceCase):
    def test_busy_switches_on_and_off(self):
        self.control("busy=1")
        self.assertEqual(self.get(dl_query())[2], b"UPDATING")
        self.control("busy=0")
        status, headers, _ = self.get(dl_query())
        self.assertEqual(status, 200)
        self.assertIn("content-disposition", headers)

    def test_bad_control_request_changes_nothing(self):
        cases = ["busy=2", "busy=", "throttle=-1", "throttle=abc", "throttle=%C2%B2",
                 "nosuch=1", "busy=1&busy=0", "busy=1&throttle=x", "busy=1&reset_log=0",
                 "busy", "close_after=-1", "length_delta=1.5", "stall=0", "stall=31",
                 "stall=1e3", "drip=nan", "chunked=half", "status=200", "status=404,big",
                 "redirect=303", "disposition=a%0Db", "disposition=a%0A", "long_line=0",
                 "long_line=99999999", "close_after=1&rst_after=2"]
        self.get("/latest/version.txt")
        for query in cases:
            with self.subTest(query=query):
                status, _, _ = self.get("/_control?" + query)
                self.assertEqual(status, 400)
                self.assertEqual(self.state.mode, self.state.start_mode)
        self.assertEqual(len(self.log()), 1, "log must survive a rejected reset_log")

    def test_reset_restores_start_mode_before_other_keys(self):
        self.control("busy=1&throttle=5&version=x")
        self.control("reset=1")
        self.assertEqual(self.state.mode, self.state.start_mode)
        self.control("throttle=7&reset=1")
        self.assertEqual(self.state.mode, orbsvc.Mode(throttle=7))
        self.control("reset=1&close_after=5&disposition=x&version_body=y")
        self.control("rst_after=6")  # a later fault replaces the earlier one
        self.assertEqual(self.state.mode, orbsvc.Mode(fault=orbsvc.Fault("rst_after", 6),
                                                      disposition=b"x", version_body=b"y"))
        self.control("reset=1")
        self.assertEqual(self.state.mode, self.state.start_mode)

    def test_log_entries_describe_each_request(self):
        body = self.get(dl_query(em="%C4%D6@b.com", email_bytes=b"\xc4\xd6@b.com"),
                        headers={"User-Agent": "OrbTest/1"})[2]
        self.get(dl_query(tk="0000000"))
        self.get("/nope?a=1&a=2")
        self.control("throttle=0")  # control and log requests are not logged
        entries = self.log()
        self.assertEqual([(e["method"], e["path"], e["status"]) for e in entries],
                         [("GET", "/dl", 200), ("GET", "/dl", 403), ("GET", "/nope", 404)])
        first, refused, missing = entries
        self.assertEqual(first["query"], {"em": "ÄÖ@b.com", "edn": "p", "sub": "on",
                                          "tk": make_request_token(b"\xc4\xd6@b.com", 1)})
        self.assertEqual(first["bytes"], len(body))
        self.assertEqual(first["headers"]["User-Agent"], "OrbTest/1")
        self.assertEqual(first["mode"], {"busy": False, "throttle": 0,
                                         "version_line": "20261201;2009.4.2", "fault": None,
                                         "disposition": None, "version_body": None,
                                         "long_line": 0, "version_fault": None,
                                         "cut_once": [], "cut_every": None,
                                         "ignore_ranges": False, "new_entity": False,
                                         "validators": "both"})
        self.assertIn("token", refused["note"])
        self.assertEqual(missing["query"], {"a": ["1", "2"]})
        self.control("reset_log=1")
        self.assertEqual(self.log(), [])

    def test_log_file_matches_log_endpoint(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "requests.jsonl")
            state = orbsvc.ServiceState(orbsvc.Mode(busy=True), None, orbsvc.RequestLog(path))
            server = orbsvc.start_server(state)
            try:
                port = server.server_address[1]
                raw_exchange(port, dl_query().encode())
                raw_exchange(port, b"/latest/version.txt")
                with open(path, encoding="utf-8") as f:
                    lines = [json.loads(line) for line in f]
                self.assertEqual(lines, state.log.snapshot())
                self.assertEqual([e["path"] for e in lines], ["/dl", "/latest/version.txt"])
            finally:
                orbsvc.stop_server(server)


# ------------------------------------------------------------------ faults

PRO_LENGTH = len(PRO_FIXTURE)
PRO_DISPOSITION = 'attachment; filename="%s"' % PRO_FILE


def control_value(raw: bytes) -> str:
    return urllib.parse.quote_from_bytes(raw, safe="")


def dechunk(raw: bytes):
    """(payload, state) of a chunked body: state is "complete" after the zero
    chunk, "between" when it ends between chunks, "mid-chunk" inside one."""
    payload, pos = b"", 0
    while True:
        eol = raw.find(b"\r\n", pos)
        if eol < 0:
            return payload, "between" if pos == len(raw) else "mid-chunk"
        size = int(raw[pos:eol], 16)
        if size == 0:
            return payload, "complete" if raw[eol + 2:] == b"\r\n" else "mid-chunk"
        data = raw[eol + 2:eol + 2 + size]
        payload += data
        if len(data) < size or raw[eol + 2 + size:eol + 4 + size] != b"\r\n":
            return payload, "mid-chunk"
        pos = eol + 4 + size


def _answer_complete(raw: bytes) -> bool:
    """True once the bytes hold one whole answer by its own framing."""
    if b"\r\n\r\n" not in raw:
        return False
    _, headers, body = split_response(raw)
    if "content-length" in headers:
        return len(body) >= int(headers["content-length"])
    return "chunked" in headers.get("transfer-encoding", "") and dechunk(body)[1] == "complete"


class Wire(typing.NamedTuple):
    status: str  # "" when no status line came
    headers: dict  # lower-case name -> value, bytes as Latin-1
    body: bytes  # as sent, chunk framing included
    end: str  # "closed", "reset", or "open": answer complete, connection reusable
    seconds: float  # from sending the request to the end


def read_wire(port, target: str, timeout=3.0, headers=()) -> Wire:
    """One kept-alive GET over a raw socket, read until the server ends the
    connection or the answer is complete by its framing and nothing follows;
    an open connection must then answer a second request. `headers`: further
    (name, value) pairs of the request."""
    extra = "".join("%s: %s\r\n" % pair for pair in headers)
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        start = time.monotonic()
        s.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n%s\r\n" % (target, port, extra)).encode())
        raw, end = b"", ""
        while not end:
            s.settimeout(0.05 if _answer_complete(raw) else timeout)
            try:
                data = s.recv(65536)
                raw, end = raw + data, "" if data else "closed"
            except ConnectionResetError:
                end = "reset"
            except socket.timeout:
                if not _answer_complete(raw):
                    raise AssertionError("no end within %gs after %r" % (timeout, raw[:200]))
                end = "open"
        seconds = time.monotonic() - start
        if end == "open":
            s.settimeout(timeout)
            s.sendall(b"GET /latest/version.txt HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
            follow_up = b"".join(iter(lambda: s.recv(65536), b""))
            end = "open" if follow_up.startswith(b"HTTP/1.1 200 ") else "open, then garbage"
    if not raw:
        return Wire("", {}, b"", end, seconds)
    status_line, headers, body = split_response(raw)
    return Wire(status_line.split(" ")[1], headers, body, end, seconds)


class FaultRow(typing.NamedTuple):
    control: str
    status: str = "200"
    length: typing.Optional[int] = PRO_LENGTH  # Content-Length; None = absent
    payload: object = PRO_FIXTURE  # exact bytes, or a range of lengths of a prefix
    end: str = "closed"
    chunked: typing.Optional[str] = None  # dechunk state; None = not chunked
    disposition: typing.Optional[str] = PRO_DISPOSITION  # None = absent
    seconds: tuple = (0.0, 2.0)
    headers: tuple = ()  # further (name, value) pairs expected


HOSTILE_DISPOSITIONS = [
    b'attachment; filename="../x.exe"',
    b'attachment; filename="unclosed.exe',
    b'attachment; filename="%2e%2e%5cx.exe"',
    'attachment; filename="setup\u202etxt.exe"'.encode("utf-8"),
    b'attachment; filename="' + b"n" * 296 + b'.exe"',
    b"",
]

FAULT_ROWS = [
    FaultRow("close_after=1000", payload=PRO_FIXTURE[:1000]),
    FaultRow("close_after=0", payload=b""),
    FaultRow("rst_after=1000", payload=PRO_FIXTURE[:1000], end="reset"),
    FaultRow("length_delta=100", length=PRO_LENGTH + 100),
    FaultRow("length_delta=-100", length=PRO_LENGTH - 100),  # every byte still sent
    FaultRow("no_length=1", length=None, headers=(("connection", "close"),)),
    FaultRow("chunked=full", length=None, end="open", chunked="complete",
             headers=(("transfer-encoding", "chunked"),)),
    # Two whole 8192-byte chunks, then half of the chunk holding the middle.
    FaultRow("chunked=cut", length=None, payload=PRO_FIXTURE[:20480], chunked="mid-chunk"),
    FaultRow("chunked=no_end", length=None, chunked="between"),
    FaultRow("stall=0.2", payload=b"", seconds=(0.19, 2.0)),
    FaultRow("silent=0.2", status="", length=None, payload=b"", disposition=None,
             seconds=(0.19, 2.0)),
    # 16 bytes every 100 ms for 0.3 seconds.
    FaultRow("drip=0.3", payload=range(32, 97), seconds=(0.28, 2.0)),
    FaultRow("status=404", status="404", length=11, payload=b"error 404\r\n", end="open",
             disposition=None),
    FaultRow("status=403", status="403", length=11, payload=b"error 403\r\n", end="open",
             disposition=None),
    FaultRow("status=500", status="500", length=11, payload=b"error 500\r\n", end="open",
             disposition=None),
    FaultRow("status=404,large", status="404", end="open"),
    FaultRow("status=500,large", status="500", end="open"),
    *[FaultRow("redirect=%d" % code, status=str(code), length=7, payload=b"moved\r\n",
               end="open", disposition=None,
               headers=(("location", "http://127.0.0.1:{port}/files/" + PRO_FILE),))
      for code in (301, 302, 307)],
    FaultRow("redirect=loop", status="302", length=7, payload=b"moved\r\n", end="open",
             disposition=None, headers=(("location", "http://127.0.0.1:{port}{target}"),)),
    *[FaultRow("disposition=" + control_value(raw), end="open",
               disposition=raw.decode("latin-1"))
      for raw in HOSTILE_DISPOSITIONS],
]


class FaultTests(ServiceCase):
    def check_payload(self, row, payload):
        if isinstance(row.payload, range):
            self.assertIn(len(payload), row.payload)
            self.assertEqual(payload, PRO_FIXTURE[:len(payload)])
        else:
            self.assertEqual(payload, row.payload)

    def test_each_fault_on_the_wire(self):
        target = dl_query()
        for row in FAULT_ROWS:
            with self.subTest(row.control):
                self.control("reset=1&reset_log=1&" + row.control)
                wire = read_wire(self.port, target)
                self.assertEqual(wire.status, row.status)
                self.assertEqual(wire.headers.get("content-length"),
                                 None if row.length is None else str(row.length))
                self.assertEqual(wire.headers.get("content-disposition"), row.disposition)
                for name, value in row.headers:
                    self.assertEqual(wire.headers.get(name),
                                     value.format(port=self.port, target=target))
                if row.chunked:
                    payload, state = dechunk(wire.body)
                    self.assertEqual(state, row.chunked)
                else:
                    self.assertNotIn("transfer-encoding", wire.headers)
                    payload = wire.body
                self.check_payload(row, payload)
                self.assertEqual(wire.end, row.end)
                self.assertGreaterEqual(wire.seconds, row.seconds[0])
                self.assertLess(wire.seconds, row.seconds[1])
                entry = self.log()[0]
                self.assertEqual((entry["path"], entry["bytes"]), ("/dl", len(wire.body)))

    def test_faults_leave_refusals_busy_mode_and_other_routes_alone(self):
        self.control("close_after=10")
        status, headers, body = self.get(dl_query(tk="0000000"))
        self.assertEqual(status, 403)
        self.assertEqual(len(self.get("/latest/version.txt")[2].split(b"\r\n")), 4)
        self.control("busy=1")
        self.assertEqual(self.get(dl_query())[2], b"UPDATING")

    def test_redirect_target_serves_the_installer(self):
        self.control("redirect=307&disposition=" + control_value(b'attachment; filename="x"'))
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        try:
            status, headers, _ = self.get(dl_query(), conn)
            self.assertEqual(status, 307)
            location = urllib.parse.urlsplit(headers["location"])
            status, headers, body = self.get(location.path, conn)
        finally:
            conn.close()
        self.assertEqual((status, body), (200, PRO_FIXTURE))
        self.assertEqual(headers["content-disposition"], 'attachment; filename="x"')
        self.assertEqual([e["path"] for e in self.log()], ["/dl", "/files/" + PRO_FILE])

    def test_version_file_faults(self):
        junk = bytes(range(256))
        cases = [
            ("version_body=", b""),
            ("version_body=" + control_value(junk), junk),
            ("version_body=" + control_value(b"2026AB01;1.0\r\n"), b"2026AB01;1.0\r\n"),
            ("long_line=1048576", b"20261201;2009.4.2".ljust(1048576, b"0")),
            ("long_line=8", b"20261201"),
            # the later of the two version-file switches wins
            ("long_line=8&version_body=x", b"20261201"),
        ]
        for query, expected in cases:
            with self.subTest(query=query[:40]):
                self.control("reset=1&" + query)
                status, headers, body = self.get("/latest/version.txt")
                self.assertEqual(status, 200)
                self.assertEqual(headers["content-length"], str(len(expected)))
                self.assertEqual(body, expected)

    def test_version_file_stalls(self):
        for fault, status in [("version_stall=0.3", "200"), ("version_silent=0.3", "")]:
            with self.subTest(fault):
                self.control("reset=1&reset_log=1&" + fault)
                wire = read_wire(self.port, "/latest/version.txt")
                self.assertEqual((wire.status, wire.body, wire.end), (status, b"", "closed"))
                self.assertGreaterEqual(wire.seconds, 0.29)
                if status:
                    # The headers promise the whole file; nothing of it follows.
                    self.assertEqual(wire.headers["content-length"],
                                     str(len(orbsvc.version_body(orbsvc.Mode()))))
                # Only the version file is faulted.
                self.assertEqual(self.get(dl_query())[0], 200)
        with self.assertRaises(orbsvc.ControlError):
            orbsvc.parse_control(b"version_stall=1&version_silent=1")

    def test_a_stall_leaves_the_service_answering_and_ends_when_the_client_leaves(self):
        for fault in ("stall=20", "silent=20", "drip=20"):
            with self.subTest(fault):
                self.control("reset=1&reset_log=1&" + fault)
                stalled = socket.create_connection(("127.0.0.1", self.port), timeout=5)
                stalled.sendall(("GET %s HTTP/1.1\r\nHost: x\r\n\r\n" % dl_query()).encode())
                start = time.monotonic()
                self.assertEqual(self.get("/latest/version.txt")[0], 200)
                self.assertLess(time.monotonic() - start, 1.0)
                stalled.close()
                # The log waits for the stalled request to finish.
                (entry,) = [e for e in self.log() if e["path"] == "/dl"]
                self.assertLess(time.monotonic() - start, 1.5)
                self.assertTrue(entry["note"].startswith("client gone"), entry)

    def test_stopping_the_service_ends_a_stall(self):
        state = orbsvc.ServiceState(orbsvc.Mode(fault=orbsvc.Fault("stall", 20.0)), None,
                                    orbsvc.RequestLog())
        server = orbsvc.start_server(state)
        with socket.create_connection(server.server_address, timeout=5) as s:
            s.sendall(("GET %s HTTP/1.1\r\nHost: x\r\n\r\n" % dl_query()).encode())
            self.assertTrue(s.recv(4096).startswith(b"HTTP/1.1 200"))
            start = time.monotonic()
            orbsvc.stop_server(server)
            while s.recv(4096):
                pass
            self.assertLess(time.monotonic() - start, 1.0)


class RangeTests(ServiceCase):
    """The installer as a resumable entity: validators, ranges and the switches that break,
    ignore or change it between tries."""

    def answer(self, headers=(), target=None):
        return read_wire(self.port, target or dl_query(), headers=headers)

    def test_ranges_and_validators(self):
        whole = self.answer()
        tag, date = whole.headers["etag"], whole.headers["last-modified"]
        self.assertEqual((whole.status, whole.body, whole.headers["accept-ranges"]),
                         ("200", PRO_FIXTURE, "bytes"))
        n = PRO_LENGTH
        rows = [
            # request headers, status, Content-Range, body
            ((("Range", "bytes=100-"),), "206", "bytes 100-%d/%d" % (n - 1, n), PRO_FIXTURE[100:]),
            ((("Range", "bytes=100-199"),), "206", "bytes 100-199/%d" % n, PRO_FIXTURE[100:200]),
            ((("Range", "bytes=%d-" % (n - 1)),), "206", "bytes %d-%d/%d" % (n - 1, n - 1, n),
             PRO_FIXTURE[-1:]),
            ((("Range", "bytes=100-"), ("If-Range", tag)), "206", "bytes 100-%d/%d" % (n - 1, n),
             PRO_FIXTURE[100:]),
            ((("Range", "bytes=100-"), ("If-Range", date)), "206", "bytes 100-%d/%d" % (n - 1, n),
             PRO_FIXTURE[100:]),
            ((("Range", "bytes=100-"), ("If-Range", '"stale"')), "200", None, PRO_FIXTURE),
            ((("Range", "bytes=0-1,5-6"),), "200", None, PRO_FIXTURE),  # several: the whole
            ((("Range", "bytes=%d-" % n),), "416", "bytes */%d" % n, b""),
        ]
        for headers, status, content_range, body in rows:
            with self.subTest(headers=headers):
                wire = self.answer(headers)
                self.assertEqual((wire.status, wire.headers.get("content-range"), wire.body),
                                 (status, content_range, body))
                self.assertEqual(wire.end, "open")
                self.assertEqual(wire.headers["etag"], tag)
        self.assertEqual([e.get("content_range") for e in self.log() if e["path"] == "/dl"][1:],
                         [row[2] for row in rows])
        redirected = self.answer((("Range", "bytes=10-"),), "/files/" + PRO_FILE)
        self.assertEqual((redirected.status, redirected.body), ("206", PRO_FIXTURE[10:]))

    def test_switches_between_tries(self):
        n = PRO_LENGTH
        from_100 = (("Range", "bytes=100-"),)
        rows = [
            # control, [(request headers, status, body, end)] answered one after the other
            ("cut_once=100", [((), "200", PRO_FIXTURE[:100], "closed"),
                              (from_100, "206", PRO_FIXTURE[100:], "open")]),
            ("cut_once=100,300", [((), "200", PRO_FIXTURE[:100], "closed"),
                                  (from_100, "206", PRO_FIXTURE[100:300], "closed"),
                                  (from_100, "206", PRO_FIXTURE[100:], "open")]),
            ("cut_every=100", [((), "200", PRO_FIXTURE[:100], "closed"),
                               (from_100, "206", b"", "closed"),
                               (from_100, "206", b"", "closed")]),
            ("cut_every=%d" % n, [((), "200", PRO_FIXTURE, "open")]),  # past the end: whole
            ("ignore_ranges=1&cut_once=100", [((), "200", PRO_FIXTURE[:100], "closed"),
                                              (from_100, "200", PRO_FIXTURE, "open")]),
            ("new_entity=1", [((), "200", PRO_FIXTURE, "open"),
                              (from_100, "206", (PRO_FIXTURE + b"\0entity 1")[100:], "open")]),
        ]
        for control, answers in rows:
            with self.subTest(control):
                self.control("reset=1&" + control)
                for headers, status, body, end in answers:
                    wire = self.answer(headers)
                    self.assertEqual((wire.status, wire.body, wire.end), (status, body, end))
                    self.assertEqual("accept-ranges" in wire.headers, "ignore" not in control)

    def test_a_changed_entity_has_other_validators(self):
        self.control("new_entity=1")
        first = self.answer()
        for if_range in (first.headers["etag"], first.headers["last-modified"]):
            wire = self.answer((("Range", "bytes=100-"), ("If-Range", if_range)))
            self.assertEqual(wire.status, "200")
            self.assertNotEqual(wire.headers["etag"], first.headers["etag"])
            self.assertNotEqual(wire.headers["last-modified"], first.headers["last-modified"])
            self.assertTrue(wire.body.startswith(PRO_FIXTURE) and wire.body.endswith(b"\0entity %d" % (
                1 if if_range is first.headers["etag"] else 2)))

    def test_validators_switch(self):
        for which, names in (("both", {"etag", "last-modified"}), ("etag", {"etag"}),
                             ("date", {"last-modified"}), ("none", set())):
            with self.subTest(which):
                self.control("reset=1&validators=" + which)
                wire = self.answer()
                self.assertEqual(wire.headers.keys() & {"etag", "last-modified"}, names)

    def test_stand_in_and_mapped_files_are_resumable(self):
        lite = orbsvc.stand_in_installer(LITE_FILE)
        wire = self.answer((("Range", "bytes=2-"),), dl_query(edn="l"))
        self.assertEqual((wire.status, wire.body), ("206", lite[2:]))
        big = b"MZ" + bytes(range(256)) * (orbsvc.MAP_FROM_BYTES // 256)
        with tempfile.TemporaryDirectory() as folder:
            with open(os.path.join(folder, PRO_FILE), "wb") as f:
                f.write(big)
            mapped = orbsvc.installer_body(folder, PRO_FILE)
            self.assertEqual((len(mapped), mapped[-5:]), (len(big), big[-5:]))
            mapped.close()


class CommandLineTests(unittest.TestCase):
    def test_control_option_sets_the_start_mode(self):
        args = orbsvc.parse_args(["--busy", "--control", "status=500,large&disposition=%22a"])
        self.assertEqual(args.start_mode, orbsvc.Mode(
            busy=True, fault=orbsvc.Fault("status", (500, True)), disposition=b'"a'))
        with self.assertRaises(SystemExit), contextlib.redirect_stderr(io.StringIO()):
            orbsvc.parse_args(["--control", "stall=99"])

    def test_runs_from_the_command_line_and_stops_on_signal(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=sig.name), tempfile.TemporaryDirectory() as tmp:
                ready = os.path.join(tmp, "port")
                proc = subprocess.Popen(
                    [sys.executable, os.path.join(HERE, "orbsvc.py"), "--port", "0",
                     "--ready-file", ready, "--busy", "--version-line", "20300101;9.9"],
                    stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
                watchdog = threading.Timer(10, proc.kill)
                watchdog.start()
                try:
                    line = proc.stdout.readline().strip()
                    m = re.fullmatch(r"listening on http://127\.0\.0\.1:(\d+)", line)
                    self.assertIsNotNone(m, line)
                    port = int(m.group(1))
                    with open(ready) as f:
                        self.assertEqual(int(f.read()), port)
                    _, _, version = split_response(raw_exchange(port, b"/latest/version.txt"))
                    self.assertTrue(version.startswith(b"20300101;9.9\r\n"))
                    _, _, busy = split_response(raw_exchange(port, dl_query().encode()))
                    self.assertEqual(busy, b"UPDATING")
                    proc.send_signal(sig)
                    self.assertEqual(proc.wait(5), 0)
                finally:
                    watchdog.cancel()
                    proc.kill()
                    proc.wait()
                    proc.stdout.close()


if __name__ == "__main__":
    unittest.main()
