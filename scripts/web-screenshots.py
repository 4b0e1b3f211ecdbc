#!/usr/bin/python3
"""Pictures of the station page for the README, at desktop and phone widths, taken with
headless Chromium from the Linux program with its Link Simulator (a local over going on,
logged in).
    scripts/web-screenshots.py build/bin/relaydeck docs/screenshots"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
import station  # noqa: E402
from selenium import webdriver  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402

program, out = sys.argv[1], sys.argv[2]
s = station.Station(program, "pictures only")
options = webdriver.ChromeOptions()
for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--hide-scrollbars", f"--user-data-dir={tempfile.mkdtemp()}"]:
    options.add_argument(flag)
browser = webdriver.Chrome(options=options)
try:
    browser.get(s.url + "/")
    browser.find_element(By.ID, "password").send_keys("pictures only")
    browser.find_element(By.ID, "login-button").click()
    s.send("carrier 1")
    time.sleep(3)
    for name, width, height in (("web-desktop", 1100, 900), ("web-phone", 390, 1100)):
        browser.set_window_size(width, height)
        time.sleep(1)
        browser.save_screenshot(os.path.join(out, name + ".png"))
finally:
    browser.quit()
    s.close()
