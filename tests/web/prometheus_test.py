"""promtool accepts /metrics and the example alert rules; a real Prometheus scrapes the
program once. Exit 77 (skipped) when Debian's prometheus package is missing."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

import station

program, rules = sys.argv[1], sys.argv[2]
promtool, prometheus = shutil.which("promtool"), shutil.which("prometheus")
if not promtool or not prometheus:
    print("SKIPPED: promtool/prometheus missing (scripts/deps.sh test installs prometheus)")
    sys.exit(station.SKIP)

subprocess.run([promtool, "check", "rules", rules], check=True)
s = station.Station(program)
work = tempfile.mkdtemp(prefix="relaydeck-prom-")
server = None
try:
    metrics = s.get("/metrics")
    subprocess.run([promtool, "check", "metrics"], input=metrics, text=True, check=True)

    port = station.free_port()
    config = os.path.join(work, "prometheus.yml")
    with open(config, "w") as f:
        f.write("global:\n  scrape_interval: 1s\n  scrape_timeout: 1s\n"
                "scrape_configs:\n  - job_name: relaydeck\n    static_configs:\n"
                f"      - targets: ['127.0.0.1:{s.port}']\n")
    server = subprocess.Popen([prometheus, f"--config.file={config}",
                               f"--storage.tsdb.path={work}/data",
                               f"--web.listen-address=127.0.0.1:{port}"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    query = f"http://127.0.0.1:{port}/api/v1/query?query=relaydeck_up"
    deadline = time.monotonic() + 60
    while True:
        try:
            with urllib.request.urlopen(query, timeout=2) as r:
                result = json.load(r)["data"]["result"]
            if result and result[0]["value"][1] == "1":
                print("Prometheus scraped relaydeck_up = 1 from", result[0]["metric"]["instance"])
                break
        except OSError:
            pass
        if time.monotonic() > deadline:
            sys.exit("Prometheus did not scrape the program within 60 s")
        time.sleep(0.5)
finally:
    if server:
        server.terminate()
        server.wait(timeout=30)
    s.close()
    shutil.rmtree(work, ignore_errors=True)
