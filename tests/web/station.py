"""The Linux program with its Link Simulator, run for a test: a temporary folder, the web
server on a free loopback port, the simulator driven from standard input."""
import hashlib
import json
import os
import queue
import shutil
import socket
import subprocess
import tempfile
import threading
import time
import urllib.request

SKIP = 77


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def password_hash(password, iterations=1000):
    """The program's stored form, made here with few iterations for a quick login."""
    salt = os.urandom(16)
    key = hashlib.pbkdf2_hmac("sha256", password.encode(), salt, iterations)
    return f"pbkdf2-sha256${iterations}${salt.hex()}${key.hex()}"


class Station:
    def __init__(self, program, password=None):
        self.folder = tempfile.mkdtemp(prefix="relaydeck-web-")
        self.port = free_port()
        exe = os.path.join(self.folder, "relaydeck")
        shutil.copy(program, exe)
        ini = ["[SETTINGS]", "STARTUP=1", "[RELAYDECK]", "WEB_ENABLED=1",
               f"WEB_PORT={self.port}"]
        if password:
            ini.append(f"WEB_PASSWORD_HASH={password_hash(password)}")
        with open(os.path.join(self.folder, "relaydeck.ini"), "w", newline="\r\n") as f:
            f.write("\n".join(ini) + "\n")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        self.process = subprocess.Popen([exe, "--simulator-console"], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True, env=env, cwd=self.folder)
        self.calls = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.url = f"http://127.0.0.1:{self.port}"
        deadline = time.monotonic() + 30
        while True:
            try:
                if self.status()["running"]:
                    break
            except OSError:
                pass
            if time.monotonic() > deadline or self.process.poll() is not None:
                self.close()
                raise RuntimeError("the program did not start serving")
            time.sleep(0.1)

    def _read(self):
        for line in self.process.stdout:
            if line.startswith("call "):
                self.calls.put(line[5:].strip())

    def get(self, path):
        with urllib.request.urlopen(self.url + path, timeout=5) as r:
            return r.read().decode()

    def status(self):
        return json.loads(self.get("/api/status"))

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def wait_call(self, prefix, seconds=5.0):
        """The first call starting with prefix within the time, or None."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                call = self.calls.get(timeout=max(0.01, deadline - time.monotonic()))
            except queue.Empty:
                return None
            if call.startswith(prefix):
                return call
        return None

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        shutil.rmtree(self.folder, ignore_errors=True)
