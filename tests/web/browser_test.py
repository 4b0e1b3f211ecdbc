"""Headless Chromium against the Linux program and its Link Simulator: the TX lamp follows
a carrier within a second, a login, "CW ID" reaching the link program, "repeater off"
unkeying. Exit 77 (skipped) when Chromium, its driver or Selenium is missing."""
import shutil
import sys
import tempfile
import time

import station

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
except ImportError:
    print("SKIPPED: python3-selenium is missing (scripts/deps.sh test installs it)")
    sys.exit(station.SKIP)
chromium = shutil.which("chromium")
driver_exe = shutil.which("chromedriver")
if not chromium or not driver_exe:
    print("SKIPPED: chromium or chromium-driver is missing (scripts/deps.sh test installs them)")
    sys.exit(station.SKIP)

PASSWORD = "a long station password"
FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync"]


def wait_for(what, seconds, poll=0.02):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if what():
            return True
        time.sleep(poll)
    return what()


failures = []
profile = tempfile.mkdtemp(prefix="relaydeck-chromium-")
s = station.Station(sys.argv[1], PASSWORD)
browser = None
try:
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for flag in FLAGS + [f"--user-data-dir={profile}"]:
        options.add_argument(flag)
    browser = webdriver.Chrome(service=Service(driver_exe), options=options)
    browser.set_page_load_timeout(20)
    browser.get(s.url + "/")
    lamp = browser.find_element(By.ID, "lamp-tx")
    if not wait_for(lambda: browser.find_element(By.ID, "callsign").text != "Relaydeck", 5):
        failures.append("the page never showed the station")
    tx_on = lambda: "on" in lamp.get_attribute("class").split()
    if tx_on():
        failures.append("TX lamp on before any carrier")

    started = time.monotonic()
    s.send("carrier 1")
    if not wait_for(tx_on, 1.0):
        failures.append("TX lamp not on within 1 s of the carrier")
    else:
        print(f"TX lamp on {time.monotonic() - started:.3f} s after the carrier")
    s.send("carrier 0")

    browser.find_element(By.ID, "password").send_keys(PASSWORD)
    browser.find_element(By.ID, "login-button").click()
    controls = browser.find_element(By.ID, "controls")
    if not wait_for(controls.is_displayed, 10):
        failures.append("logging in did not show the controls")
    else:
        while s.wait_call("", 0.2):
            pass  # forget the over's calls
        browser.find_element(By.ID, "cmd-cw-id").click()
        call = s.wait_call("SendCW", 5)
        if not call:
            failures.append('"CW ID" did not reach the link program as SendCW')
        else:
            print("CW ID reached the link program:", call)

        s.send("carrier 1")
        if not s.wait_call("SetPTT(True)", 5):
            failures.append("the second carrier did not key the transmitter")
        browser.find_element(By.ID, "cmd-repeater-off").click()
        if not s.wait_call("SetPTT(False)", 5):
            failures.append('"repeater off" did not unkey the transmitter')
        off = browser.find_element(By.ID, "flag-off")
        if not wait_for(off.is_displayed, 2):
            failures.append("the page does not say the repeater is off")
        if not wait_for(lambda: not tx_on(), 2):
            failures.append("TX lamp still on with the repeater off")
        browser.find_element(By.ID, "cmd-repeater-on").click()
finally:
    if browser:
        browser.quit()
    s.close()
    shutil.rmtree(profile, ignore_errors=True)

for f in failures:
    print("FAILED:", f)
sys.exit(1 if failures else 0)
