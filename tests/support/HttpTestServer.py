#!/usr/bin/env python3
# A test HTTP server on 127.0.0.1 at a free port, which it prints first, then one line per request.
# /NAME is answered with the bytes of DIRECTORY/NAME (an empty file: never), other paths with a 404.
import os, socketserver, sys, threading


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request = self.rfile.readline().decode(errors="replace").split() + ["", ""]
        while self.rfile.readline() not in (b"\r\n", b"\n", b""):
            pass
        print(" ".join(request).strip(), flush=True)
        path = os.path.join(sys.argv[1], os.path.basename(request[1]))
        data = open(path, "rb").read() if os.path.isfile(path) else b"HTTP/1.1 404 Not Found\r\n\r\n"
        threading.Event().wait() if not data else self.wfile.write(data)


socketserver.ThreadingTCPServer.daemon_threads = True
server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
