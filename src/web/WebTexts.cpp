// The pages the server sends: written here, served from memory, nothing from disk.
#include "web/WebTexts.h"

#include "activity/MarkupText.h"
#include "web/StatusFormat.h"

namespace relaydeck::web {

namespace {

constexpr std::string_view kStationPage = R"HTML(<!doctype html>
<html lang="{{lang}}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{{program}}</title>
<link rel="stylesheet" href="/app.css">
<script src="/app.js" defer></script>
</head>
<body>
<header><h1 id="callsign">{{program}}</h1><span id="uptime"></span></header>
<p id="status" class="status">&nbsp;</p>
<div class="lamps">
  <span class="lamp tx" id="lamp-tx">{{tx}}</span>
  <span class="lamp rx" id="lamp-rx">{{rx}}</span>
  <span class="lamp fan" id="lamp-fan">{{fan}}</span>
  <span class="lamp to" id="lamp-to">{{timeOut}}</span>
</div>
<table class="counts">
  <tr><th>{{cwId}}</th><td id="count-cw"></td></tr>
  <tr><th>{{speechId}}</th><td id="count-speech"></td></tr>
  <tr><th>{{hangTime}}</th><td id="count-hang"></td></tr>
  <tr><th>{{timeOutTime}}</th><td id="count-timeout"></td></tr>
</table>
<ul class="flags">
  <li id="flag-timedout" hidden>{{timedOut}}</li>
  <li id="flag-off" hidden>{{repeaterOff}}</li>
  <li id="flag-link">{{linkAnswers}}</li>
  <li id="flag-stale" hidden>{{noNews}}</li>
</ul>
<section id="login">
  <form id="login-form">
    <input type="password" id="password" name="password" autocomplete="current-password" placeholder="{{password}}">
    <button type="submit" id="login-button">{{logIn}}</button>
  </form>
  <p id="login-message"></p>
</section>
<section id="controls" hidden>
  <button data-command="cw-id" id="cmd-cw-id">{{cwId}}</button>
  <button data-command="speech-id" id="cmd-speech-id">{{speechId}}</button>
  <button data-command="time-out-reset" id="cmd-time-out-reset">{{resetTimeOut}}</button>
  <button data-command="fan-on" id="cmd-fan-on">{{fanOn}}</button>
  <button data-command="fan-off" id="cmd-fan-off">{{fanOff}}</button>
  <button data-command="repeater-off" id="cmd-repeater-off" class="danger">{{repeaterOff}}</button>
  <button data-command="repeater-on" id="cmd-repeater-on">{{repeaterOn}}</button>
  <button id="logout">{{logOut}}</button>
  <p id="control-message"></p>
</section>
<nav><a href="/activity">{{activity}}</a> · <a href="/api/status">JSON</a> · <a href="/metrics">{{metrics}}</a></nav>
<p class="warning">{{plainHttp}} <code>ssh -L 8073:127.0.0.1:8073 you@station-pc</code>
{{andThen}} <code>http://127.0.0.1:8073/</code> {{here}}</p>
</body>
</html>
)HTML";

constexpr std::string_view kScript = R"JS(let csrf = '';
const $ = (id) => document.getElementById(id);
function fill(text, value) { return text.replace('{1}', () => String(value)); }
function lamp(id, on) { $(id).classList.toggle('on', !!on); }
function clock(s) {
  const d = Math.floor(s / 86400), h = Math.floor(s / 3600) % 24, m = Math.floor(s / 60) % 60;
  return (d ? d + 'd ' : '') + h + 'h ' + String(m).padStart(2, '0') + 'm';
}
async function refresh() {
  try {
    const r = await fetch('/api/status', {cache: 'no-store'});
    const s = await r.json();
    // The windows' language changed: the page is made anew in it.
    if (s.language !== TEXTS.language) { location.reload(); return; }
    $('callsign').textContent = s.callsign || TEXTS.program;
    $('status').textContent = s.running ? s.statusText : TEXTS.notRunning;
    $('uptime').textContent = fill(TEXTS.uptime, clock(s.uptimeSeconds));
    lamp('lamp-tx', s.lamps.tx); lamp('lamp-rx', s.lamps.rx);
    lamp('lamp-fan', s.lamps.fan); lamp('lamp-to', s.lamps.timeOut);
    $('count-cw').textContent = s.countdowns.cwId;
    $('count-speech').textContent = s.countdowns.speechId;
    $('count-hang').textContent = s.countdowns.hangTime;
    $('count-timeout').textContent = s.countdowns.timeOut;
    $('flag-timedout').hidden = !s.timedOut;
    $('flag-off').hidden = !s.repeaterOff;
    $('flag-link').textContent = s.linkAnswering ? TEXTS.linkAnswers
        : fill(TEXTS.linkSilent, s.linkNotAnsweringSeconds);
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
      $('control-message').textContent = r.ok ? fill(TEXTS.sent, b.textContent) : await r.text();
      if (r.status === 403) await session();
      refresh();
    });
  }
  $('logout').addEventListener('click', async () => { await post('/logout'); await session(); });
  refresh(); session();
  setInterval(refresh, 500);
});
)JS";

constexpr std::string_view kActivityPageHead = R"HTML(<!doctype html>
<html lang="{{lang}}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{{activityTitle}}</title>
<link rel="stylesheet" href="/app.css">
</head>
<body>
<p><a href="/">&larr; {{station}}</a></p>
)HTML";

constexpr std::string_view kActivityPageFoot = R"HTML(<p class="warning">{{plainHttpShort}}
(<code>ssh -L 8073:127.0.0.1:8073 you@station-pc</code>).</p>
</body>
</html>
)HTML";

/// The texts the pages name, and those their script is given.
struct PageText {
    std::string_view name;
    TextId id;
    bool script = false;
};

constexpr PageText kPageTexts[] = {
    {"program", TextId::ProgramName, true},
    {"tx", TextId::LampTx},
    {"rx", TextId::LampRx},
    {"fan", TextId::LampFan},
    {"timeOut", TextId::LampTimeOut},
    {"cwId", TextId::MenuSendCwId},
    {"speechId", TextId::WebCountSpeechId},
    {"hangTime", TextId::WebCountHangTime},
    {"timeOutTime", TextId::WebCountTimeOut},
    {"timedOut", TextId::WebTimedOut},
    {"repeaterOff", TextId::StatusRepeaterOff},
    {"linkAnswers", TextId::WebLinkAnswers, true},
    {"linkSilent", TextId::WebLinkSilent, true},
    {"noNews", TextId::WebNoNews},
    {"password", TextId::WebPassword},
    {"logIn", TextId::WebLogIn},
    {"logOut", TextId::WebLogOut},
    {"resetTimeOut", TextId::WebResetTimeOut},
    {"fanOn", TextId::WebFanOn},
    {"fanOff", TextId::WebFanOff},
    {"repeaterOn", TextId::WebRepeaterOn},
    {"activity", TextId::WebActivity},
    {"metrics", TextId::WebMetrics},
    {"plainHttp", TextId::WebPlainHttp},
    {"andThen", TextId::WebAndThen},
    {"here", TextId::WebHere},
    {"notRunning", TextId::WebNotRunning, true},
    {"uptime", TextId::WebUptime, true},
    {"sent", TextId::WebSent, true},
    {"activityTitle", TextId::WebActivityTitle},
    {"station", TextId::WebStation},
    {"plainHttpShort", TextId::WebPlainHttpShort},
};

}  // namespace

const std::string_view kPageStyle = R"CSS(
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

std::string fillPage(std::string_view page, Language language) {
    std::string out;
    out.reserve(page.size() + page.size() / 4);
    while (!page.empty()) {
        const std::size_t open = page.find("{{");
        const std::size_t close = open == std::string_view::npos ? open : page.find("}}", open);
        if (close == std::string_view::npos) break;
        out += page.substr(0, open);
        const std::string_view name = page.substr(open + 2, close - open - 2);
        if (name == "lang") out += languageTag(language);
        for (const PageText& text : kPageTexts) {
            if (text.name == name) out += escapeMarkup(operatorText(text.id, language));
        }
        page.remove_prefix(close + 2);
    }
    out += page;
    return out;
}

std::string stationPage(Language language) {
    return fillPage(kStationPage, language);
}

std::string activityPageHead(Language language) {
    return fillPage(kActivityPageHead, language);
}

std::string activityPageFoot(Language language) {
    return fillPage(kActivityPageFoot, language);
}

std::string pageScript(Language language) {
    std::string script = "'use strict';\nconst TEXTS = {\"language\":";
    script += jsonString(languageSettingValue(language));
    for (const PageText& text : kPageTexts) {
        if (!text.script) continue;
        script +=
            ",\n  " + jsonString(text.name) + ":" + jsonString(operatorText(text.id, language));
    }
    return script + "};\n" + std::string(kScript);
}

}  // namespace relaydeck::web
