// The pages the server sends: written here, served from memory, nothing from disk.
#include "web/WebTexts.h"

namespace relaydeck::web::texts {

const std::string_view kStationPage = R"HTML(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Relaydeck</title>
<link rel="stylesheet" href="/app.css">
<script src="/app.js" defer></script>
</head>
<body>
<header><h1 id="callsign">Relaydeck</h1><span id="uptime"></span></header>
<p id="status" class="status">&nbsp;</p>
<div class="lamps">
  <span class="lamp tx" id="lamp-tx">TX</span>
  <span class="lamp rx" id="lamp-rx">RX</span>
  <span class="lamp fan" id="lamp-fan">Fan</span>
  <span class="lamp to" id="lamp-to">T.O.</span>
</div>
<table class="counts">
  <tr><th>CW ID</th><td id="count-cw"></td></tr>
  <tr><th>Speech ID</th><td id="count-speech"></td></tr>
  <tr><th>Hang time</th><td id="count-hang"></td></tr>
  <tr><th>Time-out</th><td id="count-timeout"></td></tr>
</table>
<ul class="flags">
  <li id="flag-timedout" hidden>Timed out</li>
  <li id="flag-off" hidden>Repeater off</li>
  <li id="flag-link">EchoLink answers</li>
  <li id="flag-stale" hidden>No news from the station</li>
</ul>
<section id="login">
  <form id="login-form">
    <input type="password" id="password" name="password" autocomplete="current-password" placeholder="Password">
    <button type="submit" id="login-button">Log in</button>
  </form>
  <p id="login-message"></p>
</section>
<section id="controls" hidden>
  <button data-command="cw-id" id="cmd-cw-id">CW ID</button>
  <button data-command="speech-id" id="cmd-speech-id">Speech ID</button>
  <button data-command="time-out-reset" id="cmd-time-out-reset">Reset T.O.</button>
  <button data-command="fan-on" id="cmd-fan-on">Fan on</button>
  <button data-command="fan-off" id="cmd-fan-off">Fan off</button>
  <button data-command="repeater-off" id="cmd-repeater-off" class="danger">Repeater off</button>
  <button data-command="repeater-on" id="cmd-repeater-on">Repeater on</button>
  <button id="logout">Log out</button>
  <p id="control-message"></p>
</section>
<nav><a href="/activity">Activity</a> · <a href="/api/status">JSON</a> · <a href="/metrics">Metrics</a></nav>
<p class="warning">This page travels as plain HTTP: use it on a LAN, or from afar only through
a VPN or an SSH tunnel, e.g. <code>ssh -L 8073:127.0.0.1:8073 you@station-pc</code> and then
<code>http://127.0.0.1:8073/</code> here.</p>
</body>
</html>
)HTML";

const std::string_view kStyle = R"CSS(
body { font-family: sans-serif; margin: 0 auto; max-width: 40em; padding: 0.5em 1em; background: #f4f4f4; color: #111; }
header { display: flex; justify-content: space-between; align-items: baseline; flex-wrap: wrap; }
h1 { margin: 0.2em 0; font-size: 1.6em; }
.status { font-size: 1.3em; background: #fff; border: 1px solid #ccc; padding: 0.4em; border-radius: 4px; }
.lamps { display: flex; gap: 0.5em; flex-wrap: wrap; }
.lamp { flex: 1; min-width: 4em; text-align: center; padding: 0.6em 0; border-radius: 6px; background: #808080; color: #fff; font-weight: bold; }
.lamp.tx.on { background: #d00000; }
.lamp.rx.on { background: #00a000; }
.lamp.fan.on { background: #ff9933; }
.lamp.to.on { background: #e0c000; color: #000; }
.counts { width: 100%; margin: 0.8em 0; border-collapse: collapse; }
.counts th { text-align: left; font-weight: normal; }
.counts td { text-align: right; font-family: monospace; font-size: 1.3em; }
.flags { padding-left: 1.2em; }
#flag-off, #flag-timedout, #flag-stale, #flag-link.bad { color: #b00000; font-weight: bold; }
button { font-size: 1em; padding: 0.5em 0.8em; margin: 0.2em 0; }
button.danger { background: #b00000; color: #fff; }
input { font-size: 1em; padding: 0.4em; }
.warning { font-size: 0.85em; color: #555; }
table.totals td { text-align: right; }
img.timeline { width: 100%; height: auto; background: #fff; }
)CSS";

const std::string_view kScript = R"JS('use strict';
let csrf = '';
const $ = (id) => document.getElementById(id);
function lamp(id, on) { $(id).classList.toggle('on', !!on); }
function clock(s) {
  const d = Math.floor(s / 86400), h = Math.floor(s / 3600) % 24, m = Math.floor(s / 60) % 60;
  return (d ? d + 'd ' : '') + h + 'h ' + String(m).padStart(2, '0') + 'm';
}
async function refresh() {
  try {
    const r = await fetch('/api/status', {cache: 'no-store'});
    const s = await r.json();
    $('callsign').textContent = s.callsign || 'Relaydeck';
    $('status').textContent = s.running ? s.status : 'Not running';
    $('uptime').textContent = 'up ' + clock(s.uptimeSeconds);
    lamp('lamp-tx', s.lamps.tx); lamp('lamp-rx', s.lamps.rx);
    lamp('lamp-fan', s.lamps.fan); lamp('lamp-to', s.lamps.timeOut);
    $('count-cw').textContent = s.countdowns.cwId;
    $('count-speech').textContent = s.countdowns.speechId;
    $('count-hang').textContent = s.countdowns.hangTime;
    $('count-timeout').textContent = s.countdowns.timeOut;
    $('flag-timedout').hidden = !s.timedOut;
    $('flag-off').hidden = !s.repeaterOff;
    $('flag-link').textContent = s.linkAnswering ? 'EchoLink answers'
        : 'EchoLink does not answer for ' + s.linkNotAnsweringSeconds + ' s';
    $('flag-link').classList.toggle('bad', !s.linkAnswering);
    $('flag-stale').hidden = true;
  } catch (e) {
    $('flag-stale').hidden = false;
  }
}
async function session() {
  const r = await fetch('/api/session', {cache: 'no-store'});
  const s = await r.json();
  csrf = s.csrf || '';
  $('controls').hidden = !s.loggedIn;
  $('login').hidden = !!s.loggedIn;
}
async function post(url, body) {
  return fetch(url, {method: 'POST', headers: {'X-CSRF-Token': csrf,
    'Content-Type': 'application/x-www-form-urlencoded'}, body: body || ''});
}
document.addEventListener('DOMContentLoaded', () => {
  $('login-form').addEventListener('submit', async (e) => {
    e.preventDefault();
    const r = await post('/login', 'password=' + encodeURIComponent($('password').value));
    $('password').value = '';
    $('login-message').textContent = r.ok ? '' : await r.text();
    await session();
  });
  for (const b of document.querySelectorAll('button[data-command]')) {
    b.addEventListener('click', async () => {
      const r = await post('/control/' + b.dataset.command);
      $('control-message').textContent = r.ok ? b.textContent + ': sent' : await r.text();
      if (r.status === 403) await session();
      refresh();
    });
  }
  $('logout').addEventListener('click', async () => { await post('/logout'); await session(); });
  refresh(); session();
  setInterval(refresh, 500);
});
)JS";

const std::string_view kActivityPageHead = R"HTML(<!doctype html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Relaydeck activity</title>
<link rel="stylesheet" href="/app.css">
</head>
<body>
<p><a href="/">&larr; Station</a></p>
)HTML";

const std::string_view kActivityPageFoot = R"HTML(<p class="warning">Plain HTTP: a LAN, a VPN
or an SSH tunnel only (<code>ssh -L 8073:127.0.0.1:8073 you@station-pc</code>).</p>
</body>
</html>
)HTML";

}  // namespace relaydeck::web::texts
