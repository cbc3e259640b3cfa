#!/usr/bin/env python3
"""Loopback SMTP server for the mail tests.

Listens on 127.0.0.1 on a free port, prints "PORT <n>" on stdout once it accepts
connections, and stores every message it receives in OUTDIR as NNN.eml (the DATA
bytes exactly as they arrived, dots already unstuffed) plus NNN.json (envelope,
EHLO name, login, and the message as Python's email package decodes it).

Every AUTH command that arrives is noted in OUTDIR/auth.log, one line each: "tls" when it came
over an encrypted connection, "plain" when not (whether or not the login was right).

Options:
  --auth USER:PASSWORD   offer AUTH PLAIN/LOGIN (not required, also in the clear) and accept
                         only these
  --tls CERT KEY         offer STARTTLS (not required) with this certificate and key
  --reject ADDRESS       answer RCPT TO for this address with 550
  --stall-on MAIL|QUIT   read the command and never answer it
"""

import argparse
import asyncio
import base64
import email
import email.header
import email.policy
import json
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Sink:
    def __init__(self, outdir, reject):
        self.outdir = outdir
        self.reject = reject
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.reject and address.lower() == self.reject.lower():
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        stem = os.path.join(self.outdir, "%03d" % self.count)
        raw = envelope.original_content
        with open(stem + ".eml", "wb") as f:
            f.write(raw)
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        body = msg.get_body(preferencelist=("plain",))
        attachments = []
        for part in msg.iter_attachments():
            attachments.append({
                "filename": part.get_filename(),
                "content_type": part.get_content_type(),
                "data": base64.b64encode(part.get_payload(decode=True)).decode("ascii"),
            })
        login = None
        if session.auth_data is not None:
            login = session.auth_data.login.decode("utf-8")
        info = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "helo": session.host_name,
            "tls": session.ssl is not None,
            "login": login,
            "headers": {k: str(v) for k, v in msg.items()},
            # RFC 2047 decoding straight from the raw header text. The parsed "headers" above put
            # a blank between adjacent encoded-words inside a display name, which RFC 2047 says
            # to drop; this decoding drops it.
            "decoded_headers": {k: str(email.header.make_header(email.header.decode_header(v)))
                                for k, v in msg.raw_items()},
            "header_names": list(msg.keys()),
            "subject": str(msg["subject"]),
            "body": body.get_content() if body is not None else None,
            "body_charset": body.get_content_charset() if body is not None else None,
            "attachments": attachments,
            "defects": [str(d) for d in msg.defects]
                       + [str(d) for part in msg.walk() for d in part.defects],
        }
        # Write the metadata last and under a temporary name, so that a reader
        # never sees a half-written file.
        with open(stem + ".json.tmp", "w", encoding="utf-8") as f:
            json.dump(info, f, ensure_ascii=False)
        os.replace(stem + ".json.tmp", stem + ".json")
        return "250 Message accepted"


def make_server_class(stall_on, outdir):
    class Server(SMTP):
        async def smtp_AUTH(self, arg):
            with open(os.path.join(outdir, "auth.log"), "a") as f:
                f.write("tls\n" if self._tls_protocol else "plain\n")
            return await super().smtp_AUTH(arg)

        async def smtp_MAIL(self, arg):
            if stall_on == "MAIL":
                await asyncio.sleep(3600)
            return await super().smtp_MAIL(arg)

        async def smtp_QUIT(self, arg):
            if stall_on == "QUIT":
                await asyncio.sleep(3600)
            return await super().smtp_QUIT(arg)

    return Server


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("outdir")
    parser.add_argument("--auth")
    parser.add_argument("--reject")
    parser.add_argument("--stall-on", choices=("MAIL", "QUIT"))
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    args = parser.parse_args()

    handler = Sink(args.outdir, args.reject)
    server_class = make_server_class(args.stall_on, args.outdir)
    kwargs = {"enable_SMTPUTF8": True, "hostname": "sink.test"}
    if args.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.tls[0], args.tls[1])
        kwargs.update(tls_context=context, require_starttls=False)
    if args.auth:
        user, password = args.auth.split(":", 1)

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = (isinstance(auth_data, LoginPassword)
                  and auth_data.login.decode() == user
                  and auth_data.password.decode() == password)
            # handled=False: a refusal is answered with 535 rather than left to the caller.
            return AuthResult(success=ok, handled=False, auth_data=auth_data if ok else None)

        kwargs.update(authenticator=authenticator, auth_require_tls=False)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(
        lambda: server_class(handler, **kwargs), host="127.0.0.1", port=0))
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port, flush=True)
    try:
        loop.run_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
