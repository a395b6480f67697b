#!/usr/bin/env python3
"""Drives a running OBS from outside through its obs-websocket server (protocol
version 5), the way remote-control tools do: one connection per request.

  obs_remote.py free-port                 print a free loopback port
  obs_remote.py wait SECONDS              wait until the server takes requests
  obs_remote.py REQUEST [JSON]            send one request, print its response data
  obs_remote.py batch JSON                send a list of [REQUEST, DATA] pairs as one
                                          batch, in order, and print how many succeeded

The server is at 127.0.0.1:$OBS_REMOTE_PORT with password $OBS_REMOTE_PASSWORD.
A failed request prints OBS's comment and exits 1.
"""
import base64
import hashlib
import json
import os
import socket
import sys
import time

import websocket

HELLO, IDENTIFY, IDENTIFIED, REQUEST, REQUEST_RESPONSE, BATCH, BATCH_RESPONSE = 0, 1, 2, 6, 7, 8, 9


def sha256_b64(text):
    return base64.b64encode(hashlib.sha256(text.encode()).digest()).decode()


def receive(ws, op):
    while True:
        message = json.loads(ws.recv())
        if message["op"] == op:
            return message["d"]


def connect():
    ws = websocket.create_connection(f"ws://127.0.0.1:{os.environ['OBS_REMOTE_PORT']}",
                                     subprotocols=["obswebsocket.json"], timeout=15)
    hello = receive(ws, HELLO)
    identify = {"rpcVersion": 1, "eventSubscriptions": 0}
    challenge = hello.get("authentication")
    if challenge:
        secret = sha256_b64(os.environ.get("OBS_REMOTE_PASSWORD", "") + challenge["salt"])
        identify["authentication"] = sha256_b64(secret + challenge["challenge"])
    ws.send(json.dumps({"op": IDENTIFY, "d": identify}))
    receive(ws, IDENTIFIED)
    return ws


def request(request_type, data):
    ws = connect()
    try:
        ws.send(json.dumps({"op": REQUEST, "d": {"requestType": request_type, "requestId": "1",
                                                  "requestData": data}}))
        response = receive(ws, REQUEST_RESPONSE)
    finally:
        ws.close()
    status = response["requestStatus"]
    if not status["result"]:
        sys.exit(f"{request_type} failed ({status['code']}): {status.get('comment', '')}")
    return response.get("responseData", {})


def batch(pairs):
    ws = connect()
    try:
        ws.send(json.dumps({"op": BATCH, "d": {"requestId": "1", "haltOnFailure": False, "requests": [
            {"requestType": kind, "requestData": data} for kind, data in pairs]}}))
        results = receive(ws, BATCH_RESPONSE)["results"]
    finally:
        ws.close()
    return sum(1 for r in results if r["requestStatus"]["result"])


def wait(seconds):
    deadline = time.monotonic() + seconds
    while True:
        try:
            connect().close()
            return 0
        except (OSError, websocket.WebSocketException):
            if time.monotonic() > deadline:
                return 1
            time.sleep(0.5)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main(argv):
    if argv == ["free-port"]:
        print(free_port())
    elif len(argv) == 2 and argv[0] == "wait":
        return wait(float(argv[1]))
    elif len(argv) == 2 and argv[0] == "batch":
        print(batch(json.loads(argv[1])))
    elif argv:
        print(json.dumps(request(argv[0], json.loads(argv[1]) if len(argv) > 1 else {})))
    else:
        sys.exit(__doc__)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
