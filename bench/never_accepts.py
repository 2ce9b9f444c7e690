"""A listener that never accepts: its queue of one is filled by a connection of its own, so
the system answers no further connection attempt and a client waits in its connect.
    python3 bench/never_accepts.py PORT READY_FILE     (runs until killed)"""
import socket
import sys
import time

port, ready = int(sys.argv[1]), sys.argv[2]
listener = socket.socket()
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", port))
listener.listen(0)
filler = socket.create_connection(("127.0.0.1", port))
open(ready, "w").close()
while True:
    time.sleep(60)
