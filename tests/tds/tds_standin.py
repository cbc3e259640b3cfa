#!/usr/bin/env python3
"""A SQL Server stand-in that speaks TDS 7.3/7.4 on a loopback port (README.md beside this file).

It logs in any client, records every request (SQL batches, RPCs with their parameters,
transaction requests, attentions) as one JSON line each, and answers every statement from a
script of rules. A statement that no rule answers gets an error, never an empty success.

Usage: tds_standin.py --script FILE --log FILE [--port N] [--collation NAME] [--silent]

Prints "PORT <n>" on stdout once it listens. Ends when its standard input closes.
"""

import argparse
import datetime
import decimal
import json
import os
import re
import socket
import socketserver
import struct
import sys
import threading
import time

# Packet types (MS-TDS 2.2.3.1.1).
PKT_BATCH, PKT_RPC, PKT_REPLY, PKT_ATTENTION, PKT_TRANSACTION, PKT_LOGIN7, PKT_PRELOGIN = 1, 3, 4, 6, 14, 16, 18

# PRELOGIN's ENCRYPTION option (MS-TDS 2.2.6.5).
ENCRYPT_OFF, ENCRYPT_ON, ENCRYPT_NOT_SUP, ENCRYPT_REQ = 0, 1, 2, 3

# Tokens (MS-TDS 2.2.7).
TOK_COLMETADATA, TOK_ROW, TOK_RETURNSTATUS, TOK_RETURNVALUE = 0x81, 0xD1, 0x79, 0xAC
TOK_ERROR, TOK_INFO, TOK_LOGINACK, TOK_ENVCHANGE = 0xAA, 0xAB, 0xAD, 0xE3
TOK_DONE, TOK_DONEPROC, TOK_DONEINPROC = 0xFD, 0xFE, 0xFF
DONE_FINAL, DONE_MORE, DONE_ERROR, DONE_COUNT, DONE_ATTN = 0x00, 0x01, 0x02, 0x10, 0x20

# Procedures that an RPC names by number (MS-TDS 2.2.6.6).
PROC_IDS = {1: "sp_cursor", 2: "sp_cursoropen", 3: "sp_cursorprepare", 4: "sp_cursorexecute",
            5: "sp_cursorprepexec", 6: "sp_cursorunprepare", 7: "sp_cursorfetch", 8: "sp_cursoroption",
            9: "sp_cursorclose", 10: "sp_executesql", 11: "sp_prepare", 12: "sp_execute",
            13: "sp_prepexec", 14: "sp_prepexecrpc", 15: "sp_unprepare"}

# Collations the stand-in knows: the 5 bytes sent to the client and the code page of varchar.
COLLATIONS = {
    "thai_ci_as": (bytes([0x1E, 0x04, 0xD0, 0x00, 0x00]), "cp874"),
    "sql_latin1_general_cp1_ci_as": (bytes([0x09, 0x04, 0xD0, 0x00, 0x34]), "cp1252"),
    "latin1_general_ci_as": (bytes([0x09, 0x04, 0xD0, 0x00, 0x00]), "cp1252"),
}

SPID = 57
EPOCH_1900 = datetime.datetime(1900, 1, 1)
DATE_0001 = datetime.date(1, 1, 1)


def collation(name):
    try:
        return COLLATIONS[name.lower()]
    except KeyError:
        raise SystemExit("unknown collation %r (known: %s)" % (name, ", ".join(sorted(COLLATIONS))))


# ---------------------------------------------------------------- reading what the client sends

class Reader:
    def __init__(self, data, pos=0):
        self.data, self.pos = data, pos

    def take(self, n):
        if self.pos + n > len(self.data):
            raise ValueError("request ends early")
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def u8(self):
        return self.take(1)[0]

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def i32(self):
        return struct.unpack("<i", self.take(4))[0]

    def u32(self):
        return struct.unpack("<I", self.take(4))[0]

    def i64(self):
        return struct.unpack("<q", self.take(8))[0]

    def ucs2(self, chars):
        return self.take(2 * chars).decode("utf-16-le")

    def b_varchar(self):
        return self.ucs2(self.u8())

    def us_varchar(self):
        return self.ucs2(self.u16())

    def done(self):
        return self.pos >= len(self.data)


def skip_all_headers(r):
    """TDS 7.2+ requests start with ALL_HEADERS; returns the transaction descriptor."""
    start = r.pos
    total = r.u32()
    descriptor = None
    while r.pos < start + total:
        length = r.u32()
        kind = r.u16()
        body = r.take(length - 6)
        if kind == 2:
            descriptor = body[:8].hex()
    r.pos = start + total
    return descriptor


FIXED_SIZES = {0x1F: 0, 0x30: 1, 0x32: 1, 0x34: 2, 0x38: 4, 0x7F: 8, 0x3E: 8, 0x3B: 4, 0x3C: 8, 0x7A: 4,
               0x3D: 8, 0x3A: 4}
TYPE_NAMES = {0x1F: "null", 0x30: "tinyint", 0x32: "bit", 0x34: "smallint", 0x38: "int", 0x7F: "bigint",
              0x3E: "float", 0x3B: "real", 0x3C: "money", 0x7A: "smallmoney", 0x3D: "datetime",
              0x3A: "smalldatetime", 0x26: "intn", 0x68: "bitn", 0x6D: "floatn", 0x6E: "moneyn",
              0x6F: "datetimen", 0x24: "uniqueidentifier", 0x6A: "decimal", 0x6C: "numeric", 0x28: "date",
              0x29: "time", 0x2A: "datetime2", 0x2B: "datetimeoffset", 0xA7: "varchar", 0xAF: "char",
              0xE7: "nvarchar", 0xEF: "nchar", 0xA5: "varbinary", 0xAD: "binary", 0x23: "text",
              0x63: "ntext", 0x22: "image"}
COLLATED = {0xA7, 0xAF, 0xE7, 0xEF, 0x23, 0x63}


def read_type_info(r):
    t = r.u8()
    info = {"type": TYPE_NAMES.get(t, "0x%02x" % t), "code": t}
    if t in FIXED_SIZES:
        info["size"] = FIXED_SIZES[t]
    elif t in (0x26, 0x68, 0x6D, 0x6E, 0x6F, 0x24):
        info["size"] = r.u8()
    elif t in (0x6A, 0x6C):
        info["size"], info["precision"], info["scale"] = r.u8(), r.u8(), r.u8()
    elif t == 0x28:
        pass
    elif t in (0x29, 0x2A, 0x2B):
        info["scale"] = r.u8()
    elif t in (0xA7, 0xAF, 0xE7, 0xEF, 0xA5, 0xAD):
        info["size"] = r.u16()
    elif t in (0x23, 0x63, 0x22):
        info["size"] = r.u32()
    else:
        raise ValueError("parameter type 0x%02x is not known to the stand-in" % t)
    if t in COLLATED:
        info["collation"] = r.take(5).hex()
    return info


def code_page_of(collation_hex):
    for raw, code_page in COLLATIONS.values():
        if raw.hex() == collation_hex:
            return code_page
    return None


def read_plp(r):
    total = r.i64()
    if total == -1:
        return None
    out = b""
    while True:
        chunk = r.u32()
        if chunk == 0:
            return out
        out += r.take(chunk)


def decode_datetime(days, ticks):
    return EPOCH_1900 + datetime.timedelta(days=days, milliseconds=ticks * 10 / 3)


def read_value(r, info):
    """The value of one RPC parameter: (JSON-friendly value, raw bytes as hex or None)."""
    t = info["code"]
    if t in FIXED_SIZES:
        raw = r.take(info["size"])
    elif t in (0x26, 0x68, 0x6D, 0x6E, 0x6F, 0x24, 0x6A, 0x6C, 0x28, 0x29, 0x2A, 0x2B):
        raw = r.take(r.u8())
        if not raw:
            return None, None
    elif t in (0xA7, 0xAF, 0xE7, 0xEF, 0xA5, 0xAD):
        if info["size"] == 0xFFFF:
            raw = read_plp(r)
        else:
            n = r.u16()
            raw = None if n == 0xFFFF else r.take(n)
        if raw is None:
            return None, None
    else:  # text, ntext, image
        n = r.i32()
        if n == -1:
            return None, None
        raw = r.take(n)
    return decode_value(t, raw, info), raw.hex()


def decode_value(t, raw, info):
    n = len(raw)
    if t in (0x30, 0x32, 0x34, 0x38, 0x7F, 0x26, 0x68):
        return int.from_bytes(raw, "little", signed=(t != 0x30 and n > 1))
    if t in (0x3E, 0x3B, 0x6D):
        return struct.unpack("<d" if n == 8 else "<f", raw)[0]
    if t in (0x3C, 0x7A, 0x6E):
        if n == 8:
            high, low = struct.unpack("<iI", raw)
            units = (high << 32) | low
        else:
            units = struct.unpack("<i", raw)[0]
        return str(decimal.Decimal(units) / 10000)
    if t in (0x3D, 0x3A, 0x6F):
        if n == 8:
            days, ticks = struct.unpack("<iI", raw)
            return decode_datetime(days, ticks).isoformat(timespec="milliseconds")
        days, minutes = struct.unpack("<HH", raw)
        return (EPOCH_1900 + datetime.timedelta(days=days, minutes=minutes)).isoformat()
    if t in (0x6A, 0x6C):
        sign = 1 if raw[0] == 1 else -1
        return str(sign * decimal.Decimal(int.from_bytes(raw[1:], "little")).scaleb(-info["scale"]))
    if t == 0x28:
        return (DATE_0001 + datetime.timedelta(days=int.from_bytes(raw, "little"))).isoformat()
    if t in (0x29, 0x2A):
        time_len = n - 3 if t == 0x2A else n
        units = int.from_bytes(raw[:time_len], "little")
        seconds = decimal.Decimal(units).scaleb(-info["scale"])
        clock = (datetime.datetime.min + datetime.timedelta(seconds=float(seconds))).time()
        if t == 0x29:
            return clock.isoformat()
        day = DATE_0001 + datetime.timedelta(days=int.from_bytes(raw[time_len:], "little"))
        return datetime.datetime.combine(day, clock).isoformat()
    if t in (0xE7, 0xEF, 0x63):
        return raw.decode("utf-16-le")
    if t in (0xA7, 0xAF, 0x23):
        code_page = code_page_of(info.get("collation", ""))
        if code_page is None:
            return {"undecoded": raw.hex()}
        try:
            return raw.decode(code_page)
        except UnicodeDecodeError as e:
            return {"not_" + code_page: str(e)}
    return raw.hex()


def read_rpc(data):
    """Every call of an RPC request: [{"proc", "params": [...]}]."""
    r = Reader(data)
    descriptor = skip_all_headers(r)
    calls = []
    while not r.done():
        n = r.u16()
        proc = PROC_IDS.get(r.u16(), "proc#?") if n == 0xFFFF else r.ucs2(n)
        r.u16()  # option flags
        params = []
        while not r.done() and r.data[r.pos] not in (0x80, 0xFF):
            name = r.b_varchar()
            status = r.u8()
            info = read_type_info(r)
            value, raw = read_value(r, info)
            param = {"name": name, "type": info["type"], "value": value, "output": bool(status & 1)}
            for key in ("size", "precision", "scale"):
                if key in info:
                    param[key] = info[key]
            if "collation" in info:
                param["collation"] = info["collation"]
            if raw is not None and info["code"] in (0xA7, 0xAF, 0x23):
                param["raw"] = raw
            params.append(param)
        calls.append({"proc": proc, "params": params})
        if not r.done():
            r.u8()  # batch separator
    return calls, descriptor


def prelogin_options(data):
    """The options of a PRELOGIN message: token -> its bytes."""
    options, pos = {}, 0
    while pos + 5 <= len(data) and data[pos] != 0xFF:
        token, offset, length = struct.unpack(">BHH", data[pos:pos + 5])
        options[token] = data[offset:offset + length]
        pos += 5
    return options


def read_login7(data):
    r = Reader(data)
    length, version, packet_size = r.u32(), r.u32(), r.u32()
    r.take(12 + 4 + 8)  # client version, process and connection ids; option flags; time zone, LCID
    names = ["hostname", "user", "password", "app", "server", "extension", "library", "language", "database"]
    fields = {}
    for name in names:
        offset, chars = r.u16(), r.u16()
        fields[name] = (offset, chars)
    login = {"tds_version": "%08x" % version,
             "packet_size": packet_size, "length": length}
    for name in names:
        offset, chars = fields[name]
        if name == "extension":
            continue
        raw = data[offset:offset + 2 * chars]
        if name == "password":
            raw = bytes((((b ^ 0xA5) << 4) & 0xF0) | ((b ^ 0xA5) >> 4) for b in raw)
        login[name] = raw.decode("utf-16-le")
    return login


# ---------------------------------------------------------------- writing answers

def b_varchar(text):
    encoded = text.encode("utf-16-le")
    return bytes([len(encoded) // 2]) + encoded


def us_varchar(text):
    encoded = text.encode("utf-16-le")
    return struct.pack("<H", len(encoded) // 2) + encoded


def envchange(kind, new, old=b""):
    body = bytes([kind]) + new + old
    return bytes([TOK_ENVCHANGE]) + struct.pack("<H", len(body)) + body


def message(token, number, text, severity, state=1, proc="", line=1):
    body = (struct.pack("<iBB", number, state, severity) + us_varchar(text) + b_varchar("TDSSTANDIN")
            + b_varchar(proc) + struct.pack("<i", line))
    return bytes([token]) + struct.pack("<H", len(body)) + body


def done(token, status, count=0):
    return bytes([token]) + struct.pack("<HHq", status, 0xC1, count)


class Column:
    """One result column: its name, type and how its values are written."""

    def __init__(self, name, type_name, code_page, collation_bytes):
        self.name = name
        self.type = type_name.lower()
        self.code_page = code_page
        self.collation = collation_bytes

    def type_info(self):
        t = self.type
        if t == "int":
            return bytes([0x26, 4])
        if t == "bigint":
            return bytes([0x26, 8])
        if t == "float":
            return bytes([0x6D, 8])
        if t == "money":
            return bytes([0x6E, 8])
        if t == "datetime":
            return bytes([0x6F, 8])
        if t == "nvarchar":
            return bytes([0xE7]) + struct.pack("<H", 8000) + self.collation
        if t == "varchar":
            return bytes([0xA7]) + struct.pack("<H", 8000) + self.collation
        raise ValueError("column type %r is not known to the stand-in" % t)

    def value(self, v):
        t = self.type
        if v is None:
            return b"\xff\xff" if t in ("nvarchar", "varchar") else b"\x00"
        if t == "int":
            return b"\x04" + struct.pack("<i", int(v))
        if t == "bigint":
            return b"\x08" + struct.pack("<q", int(v))
        if t == "float":
            return b"\x08" + struct.pack("<d", float(v))
        if t == "money":
            units = int((decimal.Decimal(str(v)) * 10000).to_integral_value(rounding=decimal.ROUND_HALF_EVEN))
            return b"\x08" + struct.pack("<iI", units >> 32, units & 0xFFFFFFFF)
        if t == "datetime":
            moment = datetime.datetime.fromisoformat(v)
            delta = moment - EPOCH_1900
            ticks = round((delta.seconds + delta.microseconds / 1e6) * 300)
            return b"\x08" + struct.pack("<iI", delta.days, ticks)
        if t == "nvarchar":
            encoded = str(v).encode("utf-16-le")
            return struct.pack("<H", len(encoded)) + encoded
        encoded = str(v).encode(self.code_page)
        return struct.pack("<H", len(encoded)) + encoded

    def metadata(self):
        return struct.pack("<IH", 0, 0x09) + self.type_info() + b_varchar(self.name)


# ---------------------------------------------------------------- one client connection

class Session:
    def __init__(self, server, sock, number):
        self.server, self.sock, self.number = server, sock, number
        self.packet_size = 4096
        self.database = "master"
        self.prepared = {}
        self.next_handle = 1
        self.transaction = 0
        self.messages = 0  # messages read from the client: each a round trip
        self.deaf = False  # after a "deaf" answer: nothing more is answered, not even a cancel

    # -- transport
    def read_message(self):
        """The next request: (type, payload) or None when the client has gone."""
        payload, kind = b"", None
        while True:
            header = self.recv_exactly(8)
            if header is None:
                return None
            kind, status, length = header[0], header[1], struct.unpack(">H", header[2:4])[0]
            body = self.recv_exactly(length - 8)
            if body is None:
                return None
            payload += body
            if status & 0x01:
                return kind, payload

    def recv_exactly(self, n):
        data = b""
        while len(data) < n:
            chunk = self.sock.recv(n - len(data))
            if not chunk:
                return None
            data += chunk
        return data

    def send(self, payload, kind=PKT_REPLY):
        room = self.packet_size - 8
        packet_id = 1
        for start in range(0, max(len(payload), 1), room):
            chunk = payload[start:start + room]
            last = start + room >= len(payload)
            header = struct.pack(">BBHHBB", kind, 0x01 if last else 0x00, len(chunk) + 8, SPID, packet_id & 0xFF, 0)
            self.sock.sendall(header + chunk)
            packet_id += 1

    def log(self, entry):
        entry["conn"] = self.number
        entry["message"] = self.messages
        self.server.log(entry)

    @property
    def collation(self):
        """(the 5 collation bytes, the varchar code page) of the current database."""
        return collation(self.server.collation_of(self.database))

    # -- the conversation
    def run(self):
        while True:
            message_ = self.read_message()
            if message_ is None:
                self.log({"kind": "disconnect"})
                return
            kind, payload = message_
            self.messages += 1
            if self.server.silent or self.deaf:
                self.log({"kind": "unanswered", "packet": kind})
                continue
            if kind == PKT_PRELOGIN:
                self.prelogin(payload)
            elif kind == PKT_LOGIN7:
                self.login(payload)
            elif kind == PKT_BATCH:
                r = Reader(payload)
                descriptor = skip_all_headers(r)
                text = r.ucs2((len(payload) - r.pos) // 2)
                self.log({"kind": "batch", "text": text, "transaction": descriptor})
                self.answer_batch(text)
            elif kind == PKT_RPC:
                self.rpc(payload)
            elif kind == PKT_TRANSACTION:
                self.transaction_request(payload)
            elif kind == PKT_ATTENTION:
                self.log({"kind": "attention"})
                self.send(done(TOK_DONE, DONE_ATTN))
            else:
                self.log({"kind": "unknown packet", "packet": kind})
                return

    def prelogin(self, payload):
        # The client's ENCRYPTION option (0 off: login only, 1 on, 2 not supported, 3 required).
        # The stand-in speaks no TLS: it answers "not supported", so a client that insists on
        # encryption must give up here and one that only asks for it goes on in plain text.
        asked = prelogin_options(payload).get(1, b"")
        self.log({"kind": "prelogin", "encryption": asked[0] if asked else None})
        options = [(0, struct.pack(">IH", 0x0F0007D0, 0)),  # version 15.0.2000
                   (1, bytes([ENCRYPT_NOT_SUP])),
                   (2, b"\x00"), (3, b""), (4, b"\x00")]
        head_len = 5 * len(options) + 1
        head, body = b"", b""
        for token, data in options:
            head += struct.pack(">BHH", token, head_len + len(body), len(data))
            body += data
        self.send(head + b"\xff" + body)

    def login(self, payload):
        info = read_login7(payload)
        self.log(dict(info, kind="login"))
        self.database = info["database"] or "master"
        self.packet_size = max(512, min(info["packet_size"] or 4096, 32767))
        reply = envchange(1, b_varchar(self.database), b_varchar("master"))
        reply += message(TOK_INFO, 5701, "Changed database context to '%s'." % self.database, 0, 2)
        reply += envchange(7, bytes([5]) + self.collation[0], b"\x00")
        reply += envchange(2, b_varchar("us_english"), b_varchar(""))
        reply += message(TOK_INFO, 5703, "Changed language setting to us_english.", 0, 1)
        ack = bytes([1]) + bytes.fromhex(info["tds_version"]) + b_varchar("Microsoft SQL Server") + bytes([15, 0, 7, 208])
        reply += bytes([TOK_LOGINACK]) + struct.pack("<H", len(ack)) + ack
        reply += envchange(4, b_varchar(str(self.packet_size)), b_varchar("4096"))
        reply += done(TOK_DONE, DONE_FINAL)
        self.send(reply)

    def transaction_request(self, payload):
        r = Reader(payload)
        descriptor = skip_all_headers(r)
        request = r.u16()
        names = {5: "begin", 7: "commit", 8: "rollback"}
        self.log({"kind": "transaction", "request": names.get(request, request), "transaction": descriptor})
        reply = b""
        ended = self.transaction
        if request in (7, 8) and self.transaction:
            reply += envchange(9 if request == 7 else 10, b"\x00", bytes([8]) + struct.pack("<q", ended))
            self.transaction = 0
        begin_again = request == 5
        if request in (7, 8):
            r.b_varchar()  # transaction name
            begin_again = not r.done() and r.u8() == 1
        if begin_again:
            self.transaction = self.server.next_transaction()
            reply += envchange(8, bytes([8]) + struct.pack("<q", self.transaction), b"\x00")
        self.send(reply + done(TOK_DONE, DONE_FINAL))

    def rpc(self, payload):
        try:
            calls, descriptor = read_rpc(payload)
        except ValueError as e:
            self.log({"kind": "rpc", "unreadable": str(e), "bytes": payload.hex()})
            self.send(message(TOK_ERROR, 50000, "stand-in: " + str(e), 16) + done(TOK_DONEPROC, DONE_ERROR))
            return
        reply = b""
        for index, call in enumerate(calls):
            last = index == len(calls) - 1
            part = self.answer_rpc(call, descriptor, last)
            if part is None:
                return
            reply += part
        self.send(reply)

    def answer_rpc(self, call, descriptor, last):
        proc, params = call["proc"], call["params"]
        entry = {"kind": "rpc", "proc": proc, "transaction": descriptor}
        final_status = DONE_FINAL if last else DONE_MORE
        values = params
        if proc == "sp_executesql":  # @stmt, @params, values
            entry["text"] = params[0]["value"]
            entry["declaration"] = params[1]["value"] if len(params) > 1 else ""
            values = params[2:]
        elif proc in ("sp_prepexec", "sp_prepare"):  # @handle OUTPUT, @params, @stmt, values
            entry["declaration"], entry["text"] = params[1]["value"], params[2]["value"]
            values = params[3:]
        elif proc == "sp_execute":
            handle = params[0]["value"]
            entry["handle"] = handle
            entry["text"], entry["declaration"] = self.prepared.get(handle, ("<unknown handle %s>" % handle, ""))
            values = params[1:]
        elif proc == "sp_unprepare":
            entry["handle"] = params[0]["value"] if params else None
            self.prepared.pop(entry["handle"], None)
            self.log(dict(entry, params=params))
            return done(TOK_DONEPROC, final_status)
        elif proc.startswith("sp_cursor"):
            self.log(dict(entry, params=params))
            return (message(TOK_ERROR, 50000, "stand-in: server cursors are not served (%s)" % proc, 16)
                    + done(TOK_DONEPROC, final_status | DONE_ERROR))
        else:
            entry["text"] = "EXEC " + proc
        entry["params"] = values
        self.log(entry)

        if proc in ("sp_prepexec", "sp_prepare"):
            handle = self.next_handle
            self.next_handle += 1
            self.prepared[handle] = (entry["text"], entry["declaration"])
        if proc == "sp_prepare":
            return (bytes([TOK_RETURNSTATUS]) + struct.pack("<i", 0) + self.return_value(params[0]["name"], handle)
                    + done(TOK_DONEPROC, final_status))
        answer = self.answer_for(entry["text"])
        if self.without_answer(answer):
            return None
        out, failed, status_value, outputs = self.results(answer, TOK_DONEINPROC)
        out += bytes([TOK_RETURNSTATUS]) + struct.pack("<i", status_value)
        if proc == "sp_prepexec":
            out += self.return_value(params[0]["name"], handle)
        for name, type_name, value in outputs:
            out += self.return_value(name, value, type_name)
        return out + done(TOK_DONEPROC, final_status | (DONE_ERROR if failed else 0))

    def return_value(self, name, value, type_name="int"):
        column = Column(name, type_name, self.collation[1], self.collation[0])
        body = struct.pack("<H", 0) + b_varchar(name) + b"\x01" + struct.pack("<IH", 0, 0x09)
        return bytes([TOK_RETURNVALUE]) + body + column.type_info() + column.value(value)

    def answer_batch(self, text):
        answer = self.answer_for(text)
        if self.without_answer(answer):
            return
        use = re.match(r"\s*use\s+\[?([^\]\s;]+)\]?\s*;?\s*$", text, re.I)
        prefix = b""
        if use:
            self.database = use.group(1)
            prefix = envchange(1, b_varchar(self.database), b_varchar("master"))
            prefix += envchange(7, bytes([5]) + self.collation[0], b"\x00")
        body, failed, _, _ = self.results(answer, TOK_DONE)
        self.send(prefix + body + done(TOK_DONE, DONE_FINAL | (DONE_ERROR if failed else 0)))

    def without_answer(self, answer):
        """Carries out "silent" (never answer), "deaf" (never answer anything again on this
        connection, not even the client's cancel) and "close" (end the connection); False for a
        scripted answer."""
        if answer == "close":
            self.sock.shutdown(socket.SHUT_RDWR)
        if answer == "deaf":
            self.deaf = True
        return answer in ("silent", "close", "deaf")

    def answer_for(self, text):
        for rule in self.server.rules():
            if re.search(rule["match"], text, re.I | re.S) and self.server.use_rule(rule):
                return rule.get("answer", [])
        return [{"error": [50000, "stand-in: no answer scripted for: " + " ".join(text.split())[:300]]}]

    def results(self, answer, token):
        """Tokens for the scripted results, then whether one failed, the return status, outputs."""
        try:
            return self.scripted_results(answer, token)
        except (ValueError, KeyError, TypeError, IndexError) as e:
            text = "stand-in: the scripted answer is not usable: %s" % e
            self.log({"kind": "script error", "error": str(e)})
            return message(TOK_ERROR, 50000, text, 16) + done(token, DONE_MORE | DONE_ERROR), True, 0, []

    def scripted_results(self, answer, token):
        out, failed, status, outputs = b"", False, 0, []
        for item in answer:
            if "columns" in item:
                columns = [Column(name, type_name, self.collation[1], self.collation[0])
                           for name, type_name in item["columns"]]
                out += bytes([TOK_COLMETADATA]) + struct.pack("<H", len(columns))
                out += b"".join(c.metadata() for c in columns)
                for row in item.get("rows", []):
                    out += bytes([TOK_ROW]) + b"".join(c.value(v) for c, v in zip(columns, row))
                out += done(token, DONE_MORE | DONE_COUNT, len(item.get("rows", [])))
            elif "rowcount" in item:
                out += done(token, DONE_MORE | DONE_COUNT, item["rowcount"])
            elif "error" in item:
                number, text = item["error"]
                out += message(TOK_ERROR, number, text, item.get("severity", 16), item.get("state", 1))
                out += done(token, DONE_MORE | DONE_ERROR)
                failed = True
            elif "info" in item:
                number, text = item["info"]
                out += message(TOK_INFO, number, text, item.get("severity", 0), item.get("state", 1))
            elif "return_status" in item:
                status = item["return_status"]
            elif "outputs" in item:
                outputs = item["outputs"]
            elif "delay" in item:  # a slow server: the answer goes out this many seconds later
                time.sleep(float(item["delay"]))
        return out, failed, status, outputs


# ---------------------------------------------------------------- the listener

class StandIn(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, args):
        super().__init__(("127.0.0.1", args.port), Handler)
        self.script_path = args.script
        self.log_path = args.log
        self.silent = args.silent
        self.default_collation = args.collation
        self.lock = threading.Lock()
        self.connections = 0
        self.transactions = 0
        self.rule_uses = {}
        collation(self.default_collation)

    def script(self):
        """The script, read for every request: tests rewrite it between cases."""
        try:
            with open(self.script_path, encoding="utf-8") as f:
                return json.load(f)
        except FileNotFoundError:
            return {}

    def rules(self):
        return self.script().get("rules", []) + DRIVER_RULES

    def use_rule(self, rule):
        """Whether a rule answers this time: one with "times": n answers the first n matches."""
        if "times" not in rule:
            return True
        key = json.dumps(rule, sort_keys=True)
        with self.lock:
            used = self.rule_uses.get(key, 0)
            if used >= rule["times"]:
                return False
            self.rule_uses[key] = used + 1
            return True

    def collation_of(self, database):
        collations = {k.lower(): v for k, v in self.script().get("collations", {}).items()}
        return collations.get(database.lower(), self.script().get("collation", self.default_collation))

    def log(self, entry):
        line = json.dumps(entry, ensure_ascii=False)
        with self.lock:
            with open(self.log_path, "a", encoding="utf-8") as f:
                f.write(line + "\n")

    def next_connection(self):
        with self.lock:
            self.connections += 1
            return self.connections

    def next_transaction(self):
        with self.lock:
            self.transactions += 1
            return self.transactions


# SET statements, and what the ODBC layers themselves ask while connecting, answered as SQL Server
# answers them.
DRIVER_RULES = [
    {"match": r"^(\s*SET\s+\w+\s+[^;]*(;|$))+\s*$", "answer": []},
    {"match": r"^\s*use\s+\S+\s*$", "answer": []},
    {"match": r"^\s*select\s+'test'\s*$", "answer": [{"columns": [["", "varchar"]], "rows": [["test"]]}]},
    {"match": r"^\s*sp_datatype_info(_100)?\s+-?\d+\s*$", "answer": [{"columns": [
        ["TYPE_NAME", "nvarchar"], ["DATA_TYPE", "int"], ["COLUMN_SIZE", "int"]],
        "rows": [["datetime", 93, 23]]}]},
]


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        self.request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        session = Session(self.server, self.request, self.server.next_connection())
        session.log({"kind": "connect"})
        try:
            session.run()
        except (ConnectionError, OSError) as e:
            session.log({"kind": "disconnect", "error": str(e)})


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--script", required=True, help="JSON rules (read again when it changes)")
    parser.add_argument("--log", required=True, help="JSON lines, one per request")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--collation", default="Thai_CI_AS")
    parser.add_argument("--silent", action="store_true", help="accept connections and never answer")
    args = parser.parse_args()
    server = StandIn(args)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print("PORT %d" % server.server_address[1], flush=True)
    # The test that started the stand-in closes its end of standard input when it is done.
    sys.stdin.buffer.read()
    os._exit(0)


if __name__ == "__main__":
    main()
