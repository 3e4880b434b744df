#!/usr/bin/env python3
"""A small update server for the end-to-end tests, on 127.0.0.1 only.

Usage: update_server.py ROOT PORTFILE

Each request reads ROOT/routes.json again, so a test can change what the
server says between runs. A route maps a path to one of
  {"file": NAME}                   the file ROOT/NAME, status 200
  {"file": NAME, "status": 404}    the file with another status
  {"file": NAME, "length": TEXT}   a Content-Length header of that text
  {"file": NAME, "length": null}   no Content-Length header at all
  {"redirect": URL}                302 with that Location
Other paths answer 404. The port chosen is written to PORTFILE.
"""
import http.server
import json
import os
import sys

ROOT = sys.argv[1]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        with open(os.path.join(ROOT, "routes.json")) as f:
            routes = json.load(f)
        with open(os.path.join(ROOT, "requests.log"), "a") as log:
            log.write(self.path + "\n")
        route = routes.get(self.path.split("?")[0])
        if route is None:
            self.send_error(404)
            return
        if "redirect" in route:
            self.send_response(302)
            self.send_header("Location", route["redirect"])
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with open(os.path.join(ROOT, route["file"]), "rb") as f:
            body = f.read()
        self.send_response(route.get("status", 200))
        length = route.get("length", str(len(body)))
        if length is not None:
            self.send_header("Content-Length", length)
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, request, client_address):
        pass  # clients that stop reading a broken answer are expected


server = Server(("127.0.0.1", 0), Handler)
with open(sys.argv[2] + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(sys.argv[2] + ".tmp", sys.argv[2])
server.serve_forever()
