#!/usr/bin/env python3
# An HTTP server for tests on 127.0.0.1 at a free port, which it prints first. A request
# for /NAME gets the bytes of the file DIRECTORY/NAME as its whole answer (an empty file:
# never an answer), any other path a 404. Each request is printed as one line at once.
import os, socketserver, sys, threading


class Handler(socketserver.StreamRequestHandler):
    def handle(self):
        request = self.rfile.readline().decode(errors="replace").split() + ["", ""]
        while self.rfile.readline() not in (b"\r\n", b"\n", b""):
            pass
        print(" ".join(request).strip(), flush=True)
        path = os.path.join(sys.argv[1], os.path.basename(request[1].split("?")[0]))
        if not os.path.isfile(path):
            return self.wfile.write(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")
        with open(path, "rb") as answer:
            data = answer.read()
        threading.Event().wait() if not data else self.wfile.write(data)


socketserver.ThreadingTCPServer.daemon_threads = True
server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
