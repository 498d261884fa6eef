#!/usr/bin/env python3
"""A stand-in for the three lyrics sites, on the loopback address.

Every request gets a small HTML page and a closed connection (a kept-alive connection holds a
socket of the web control's for about a minute). Each request is recorded, one line a request,
in FOLDER/requests.log: the whole address of its request line, then its query decoded as form
data the way the sites decode it (split on "&", then at the first "=", "+" is a space and %XX
a byte). Every field is written as hexadecimal bytes so that any byte comes through:

    <address>\t<key>=<value>\t<key>=<value>...

The port, chosen free at start, is written to FOLDER/port once the site listens. While a file
FOLDER/silent exists the site records requests but never answers them (a site that hangs).
The site ends by itself when the process named by --parent is gone.

Usage: lyrics-site.py --folder FOLDER [--parent PID]
"""
import argparse
import http.server
import os
import threading
import time
import urllib.parse

PAGE = b"<!DOCTYPE html><html><head><title>Letra</title></head><body><p>Letra</p></body></html>\n"


def hex_of(text):
    # The request line comes in as ISO-8859-1 text: one character for each byte sent.
    return text.encode("latin-1").hex()


def record_line(address):
    query = urllib.parse.urlsplit(address).query
    values = urllib.parse.parse_qsl(query, keep_blank_values=True, encoding="latin-1", errors="strict")
    fields = [hex_of(address)] + [hex_of(key) + "=" + hex_of(value) for key, value in values]
    return "\t".join(fields) + "\n"


class LyricsSite(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "LyricsSiteStandIn"

    def do_GET(self):
        self.server.record(self.path)
        if os.path.exists(self.server.silent_flag):
            self.server.stopping.wait()  # never answers; the thread ends with the process
            return
        self.close_connection = True
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=windows-1252")
        self.send_header("Content-Length", str(len(PAGE)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(PAGE)

    def log_message(self, format, *args):
        pass


class Site(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, folder):
        super().__init__(("127.0.0.1", 0), LyricsSite)
        self.log_path = os.path.join(folder, "requests.log")
        self.silent_flag = os.path.join(folder, "silent")
        self.lock = threading.Lock()
        self.stopping = threading.Event()

    def record(self, address):
        line = record_line(address)
        with self.lock, open(self.log_path, "a", encoding="ascii") as log:
            log.write(line)


def watch_parent(site, parent):
    while True:
        try:
            os.kill(parent, 0)
        except ProcessLookupError:
            site.stopping.set()
            site.shutdown()
            return
        time.sleep(0.5)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--parent", type=int)
    arguments = parser.parse_args()
    site = Site(arguments.folder)
    open(site.log_path, "a").close()
    # Written whole under another name, then renamed: a reader never sees half a number.
    port_path = os.path.join(arguments.folder, "port")
    with open(port_path + ".new", "w") as port_file:
        port_file.write("%d\n" % site.server_address[1])
    os.replace(port_path + ".new", port_path)
    if arguments.parent:
        threading.Thread(target=watch_parent, args=(site, arguments.parent), daemon=True).start()
    try:
        site.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    site.stopping.set()
    site.server_close()


if __name__ == "__main__":
    main()
