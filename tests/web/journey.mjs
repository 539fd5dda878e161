// The browser journey: headless Chromium, driven over its DevTools protocol, plays the
// site served from a sub-path. At 1600 x 900: gate, title (against the desktop's title
// frame), thrust and fire, the help list over a held key, Pause without a Pause key, full
// screen left by Escape and by Alt+Enter, Settings, Quit. Then the same page offline, a
// missing and a truncated data package, and a phone, by touch only, in both orientations.
// The protocol runs over a pipe, so any Node.js from 18 on will do, without packages.
// Usage: node journey.mjs SITE_DIR DESKTOP_TITLE.ppm OUT_DIR
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

const [siteDir, referencePath, outDir] = process.argv.slice(2);
// Pixels of the title frame may differ from the desktop's only at the edges of text,
// where the browser's glyph outlines fall differently from FreeType's: at most 1 % of
// the compared pixels (a line moved by one pixel changes 3 to 5 %), and the background none.
const kTitleTolerance = 0.01;
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const failures = [];
const check = (ok, what) => { console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`); if (!ok) failures.push(what); };

// The site as a static host serves it, under a sub-path; `damage` leaves a file out
// ('missing') or sends its first half ('short').
function serve(damage = {}) {
  const prefix = '/games/stellarox/';
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const file = name === prefix ? 'index.html' : name.startsWith(prefix) ? name.slice(prefix.length) : '';
    let body = null;
    try { if (/^[\w.-]+$/.test(file) && damage[file] !== 'missing') body = fs.readFileSync(path.join(siteDir, file)); } catch {}
    if (body === null) { response.writeHead(404).end(); return; }
    if (damage[file] === 'short') body = body.subarray(0, body.length >> 1);
    const type = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm' }[path.extname(file)];
    // Music takes a second, as on a slow line, so that the page has to say it is coming.
    setTimeout(() => response.writeHead(200, { 'Content-Type': type || 'application/octet-stream',
      'Content-Length': body.length }).end(body), file.endsWith('.ogg') ? 1000 : 0);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve({
    url: `http://127.0.0.1:${server.address().port}${prefix}`,
    close: () => { server.close(); server.closeAllConnections(); } })));
}

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'stellarox-chromium-'));
const browser = spawn('/usr/bin/chromium', ['--headless', '--no-sandbox', '--disable-gpu',
  '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required',
  `--user-data-dir=${profile}`, '--remote-debugging-pipe', '--window-size=1600,900',
  'about:blank'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
// Chromium is asked to close over the protocol; /usr/bin/chromium is a wrapper script
// that waits for it.
const stop = (code) => {
  browser.once('exit', () => {
    // Chromium's helpers may still be writing the profile for a moment.
    try { fs.rmSync(profile, { recursive: true, force: true, maxRetries: 20, retryDelay: 100 }); } catch {}
    process.exit(code);
  });
  browser.stdio[3].write(JSON.stringify({ id: 0, method: 'Browser.close' }) + '\0');
};
setTimeout(() => { console.log('FAIL journey timed out'); stop(1); }, 240000);

async function until(what, test, ms = 15000) {
  for (const end = Date.now() + ms; Date.now() < end; await sleep(50)) if (await test()) return true;
  check(false, `${what} (timed out)`);
  stop(1);
  await new Promise(() => {}); // nothing more happens until Chromium is gone
}

// The DevTools connection: messages end in a zero byte on fds 3 (to Chromium) and 4.
let nextId = 1, received = '';
const waiting = new Map();
const consoleErrors = [];
browser.stdio[4].setEncoding('utf8');
browser.stdio[4].on('data', (chunk) => {
  received += chunk;
  for (let end; (end = received.indexOf('\0')) >= 0; received = received.slice(end + 1)) {
    const m = JSON.parse(received.slice(0, end));
    if (m.id && waiting.has(m.id)) { waiting.get(m.id)(m); waiting.delete(m.id); }
    if (m.method === 'Runtime.exceptionThrown') consoleErrors.push(m.params.exceptionDetails.text);
    if (m.method === 'Runtime.consoleAPICalled' && m.params.type === 'error')
      consoleErrors.push(m.params.args.map((a) => a.value).join(' '));
    if (m.method === 'Log.entryAdded' && m.params.entry.level === 'error')
      consoleErrors.push(`${m.params.entry.text} ${m.params.entry.url || ''}`);
  }
});
const command = (method, params = {}, sessionId = undefined) => new Promise((resolve) => {
  const id = nextId++;
  waiting.set(id, resolve);
  browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
});
let page;
await until('Chromium starts', async () => {
  page = (await command('Target.getTargets')).result.targetInfos.find((t) => t.type === 'page');
  return page !== undefined;
});
const session = (await command('Target.attachToTarget', { targetId: page.targetId, flatten: true })).result.sessionId;
const send = (method, params = {}) => command(method, params, session);
const evaluate = async (expression) =>
  (await send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true })).result.result.value;
const probe = async () => JSON.parse(await evaluate("UTF8ToString(Module._webProbe())"));
const frames = () => evaluate('Module.webFrames || 0');
const state = () => evaluate('stellarox.state');

const codes = { Up: 38, Down: 40, Left: 37, Right: 39, Space: 32, Enter: 13, Escape: 27, Alt: 18, F1: 112, F2: 113 };
function keyEvent(type, name, modifiers = 0) {
  const k = { type, modifiers, key: { Space: ' ', Alt: 'Alt' }[name] || name.replace(/^(Up|Down|Left|Right)$/, 'Arrow$1'),
    windowsVirtualKeyCode: codes[name], nativeVirtualKeyCode: codes[name] };
  if (name === 'Enter' && type === 'keyDown') k.text = '\r';
  return send('Input.dispatchKeyEvent', k);
}
async function key(name, holdMs = 60, modifiers = 0) {
  await keyEvent('keyDown', name, modifiers);
  await sleep(holdMs);
  await keyEvent('keyUp', name, modifiers);
  await sleep(120);
}
async function keySequence(...names) { for (const n of names) await key(n); }
async function altEnter() { await keyEvent('keyDown', 'Alt'); await key('Enter', 60, 1); await keyEvent('keyUp', 'Alt'); }
const touch = (type, touchPoints) => send('Input.dispatchTouchEvent', { type, touchPoints });
const centre = (selector) => evaluate(`(() => { const r = document.querySelector('${selector}').getBoundingClientRect();
  return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`);
async function tap(selector) {
  await touch('touchStart', [{ ...(await centre(selector)), id: 1 }]);
  await sleep(80);
  await touch('touchEnd', []);
  await sleep(250);
}

// Where the picture and two touch controls are, and how the picture is drawn.
const layout = () => evaluate(`(() => {
  const box = (e) => { const r = e.getBoundingClientRect(); return { x: r.x, y: r.y, w: r.width, h: r.height }; };
  const c = Module.canvas;
  return { c: box(c), w: c.width, h: c.height, vw: innerWidth, vh: innerHeight,
    sharp: getComputedStyle(c).imageRendering, full: document.fullscreenElement !== null,
    fire: box(document.querySelector('#right [aria-label=Fire]')), turn: box(document.querySelector('#left [aria-label="Turn left"]')) };
})()`);
// The largest picture of the game's shape that the room holds, in its middle, drawn sharp.
const fits = (l, room) => { const s = Math.min(room.w / l.w, room.h / l.h);
  return [l.c.w - l.w * s, l.c.h - l.h * s, l.c.x - room.x - (room.w - l.c.w) / 2,
    l.c.y - room.y - (room.h - l.c.h) / 2].every((d) => Math.abs(d) <= 1.5) && l.sharp === 'pixelated'; };
const screenRoom = (l) => ({ x: 0, y: 0, w: l.vw, h: l.vh });

// The canvas and the body boxes, read in one go so that nothing moves in between.
async function grabTitle() {
  const got = await evaluate(`(() => {
    const c = Module.canvas, d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let s = ''; for (let i = 0; i < d.length; i += 8192) s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));
    return { w: c.width, h: c.height, rgba: btoa(s), probe: UTF8ToString(Module._webProbe()) };
  })()`);
  return { ...got, rgba: Buffer.from(got.rgba, 'base64'), probe: JSON.parse(got.probe) };
}

function readPpm(file) {
  const b = fs.readFileSync(file);
  const [, w, h] = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(b.subarray(0, 64).toString('latin1'));
  const header = b.length - w * h * 3;
  return { w: Number(w), h: Number(h), rgb: b.subarray(header) };
}

// Rows from `top` down are compared; the asteroids, by the boxes the game reports, are not.
function compareTitle(frame, reference, top = 0) {
  if (frame.w !== reference.w || frame.h !== reference.h) return { share: 1, background: 1 };
  const masked = new Uint8Array(frame.w * frame.h);
  for (const [x, y, w, h] of frame.probe.bodies)
    for (let yy = Math.max(0, y - 2); yy < Math.min(frame.h, y + h + 2); yy++)
      for (let xx = Math.max(0, x - 2); xx < Math.min(frame.w, x + w + 2); xx++) masked[yy * frame.w + xx] = 1;
  let compared = 0, differ = 0, background = 0;
  for (let i = top * frame.w; i < frame.w * frame.h; i++) {
    if (masked[i]) continue;
    compared++;
    const r = reference.rgb.subarray(i * 3, i * 3 + 3), f = frame.rgba.subarray(i * 4, i * 4 + 3);
    if (r[0] === f[0] && r[1] === f[1] && r[2] === f[2]) continue;
    differ++;
    // A background pixel is one with no text within 3 pixels in either picture.
    const near = (x0, y0) => { for (let dy = -3; dy <= 3; dy++) for (let dx = -3; dx <= 3; dx++) {
      const x = x0 + dx, y = y0 + dy; if (x < 0 || y < 0 || x >= frame.w || y >= frame.h) continue;
      const j = (y * frame.w + x);
      const ink = (p) => p[0] === p[1] && p[1] === p[2] && (p[0] === 0 || p[0] === 255 || p[0] === 128);
      if (ink(reference.rgb.subarray(j * 3, j * 3 + 3)) || ink(frame.rgba.subarray(j * 4, j * 4 + 3))) return true; }
      return false; };
    if (!near(i % frame.w, Math.floor(i / frame.w))) background++;
  }
  const rgb = Buffer.alloc(frame.w * frame.h * 3);
  for (let i = 0; i < frame.w * frame.h; i++) frame.rgba.copy(rgb, i * 3, i * 4, i * 4 + 3);
  fs.writeFileSync(path.join(outDir, 'web-title.ppm'), Buffer.concat([Buffer.from(`P6 ${frame.w} ${frame.h} 255\n`), rgb]));
  return { share: differ / compared, background, differ, compared };
}

await send('Runtime.enable');
await send('Log.enable');
await send('Emulation.setDeviceMetricsOverride', { width: 1600, height: 900, deviceScaleFactor: 1, mobile: false });
const site = await serve();
await send('Page.navigate', { url: site.url });
await until('the page loads and shows the click-to-play gate', async () => (await state()) === 'ready', 20000);
const box = await centre('#play');
for (const type of ['mousePressed', 'mouseReleased'])
  await send('Input.dispatchMouseEvent', { type, ...box, button: 'left', clickCount: 1 });
await until('the title menu appears after the click', async () => (await evaluate('stellarox.titleAt')) > 0);
// Measured in the page: opening to the gate, and the click to the first title frame.
const times = async () => evaluate('[stellarox.readyAt, stellarox.titleAt - stellarox.startedAt]');
const timing = await times();
const loaded = await evaluate(`[...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')]
  .filter((e) => e.responseEnd <= stellarox.titleAt).reduce((n, e) => n + e.transferSize, 0)`);
console.log(`gate ${timing[0].toFixed(0)} ms after opening, first title frame ${timing[1].toFixed(0)} ms after the click, ${loaded} bytes transferred before it`);
// The times are reported, not asserted: a busy machine stretches them.
check(loaded <= 3e6, 'at most 3 MB arrive before the first title frame');
check(await evaluate("!document.getElementById('note').hidden"), 'a note says the music is on its way');
// The title track arrives next; the game announces it, and the message lasts 3 s.
await until('the title music arrives in the background', async () => (await evaluate('stellarox.musicLoaded')) >= 1);
await until('the note goes once the title track plays', () => evaluate("document.getElementById('note').hidden"));
await sleep(3300);
check((await probe()).music === 1, 'the title track is loaded once it arrives');
const title = await grabTitle();
const result = compareTitle(title, readPpm(referencePath));
console.log(`title frame: ${result.differ} of ${result.compared} unmasked pixels differ, ${result.background} of them away from text`);
check(result.share <= kTitleTolerance && result.background === 0, 'the title menu matches the desktop title frame');
const wide = await layout();
check(fits(wide, screenRoom(wide)), `at 1600 x 900 the picture fills the height, centred and sharp (${JSON.stringify(wide.c)})`);
const snap = async (name) => fs.writeFileSync(path.join(outDir, name),
  Buffer.from((await send('Page.captureScreenshot', { format: 'png' })).result.data, 'base64'));
await snap('web-page.png');
const manifest = (await send('Page.getAppManifest')).result;
check(manifest.errors.length === 0 && /"Stellarox"/.test(manifest.data), 'the page has a valid web app manifest');

await keySequence('Enter', 'Enter'); // Play Game, then the difficulty
await until('a game starts', async () => (await probe()).ship !== null);
await sleep(1500);
const before = (await probe()).ship;
await key('Up', 700);
const after = (await probe()).ship;
check(Math.hypot(after[0] - before[0], after[1] - before[1]) > 5, `thrust moves the ship (${before} -> ${after})`);
const f0 = await frames();
await sleep(2000);
const fps = ((await frames()) - f0) / 2;
console.log(`frame rate in play: ${fps.toFixed(1)} per second`);
await keyEvent('keyDown', 'Space');
await until('fire makes a shot', async () => (await probe()).bullets > 0, 3000);
await keyEvent('keyUp', 'Space');
check(true, 'fire makes a shot');

// F1 opens and closes the list while thrust is held; the ship still speeds up after,
// along its heading.
const speed = async () => { const s = (await probe()).ship; return s[3] * Math.cos(s[2]) + s[4] * Math.sin(s[2]); };
await keyEvent('keyDown', 'Up');
await key('F1');
const helpShown = await evaluate("!document.getElementById('help').hidden");
await key('F1');
const speedBefore = await speed();
await sleep(400);
check(helpShown && (await evaluate("document.getElementById('help').hidden")) && (await speed()) > speedBefore + 0.5,
  'the help list opens and closes during play without losing a held key');
await keyEvent('keyUp', 'Up');
// F2 pauses and resumes, for keyboards without a Pause key.
await key('F2');
const paused = await probe();
await sleep(400);
const still = await probe();
await key('F2');
check(paused.paused === 1 && still.ship.join() === paused.ship.join() && (await probe()).paused === 0,
  'F2 pauses the game (the ship stands still) and resumes it');

await key('Escape');
await sleep(500);
// The game's messages stay a while in the top third; the menu lies below.
const back = compareTitle(await grabTitle(), readPpm(referencePath), 160);
check(back.share <= kTitleTolerance && back.background === 0, 'Escape returns to the title menu');

// Full screen: Alt+Enter in, Escape out (the browser keeps that Escape from the game),
// Alt+Enter in again (the game saw it leave), Alt+Enter out.
const fullscreen = () => evaluate('document.fullscreenElement !== null');
for (const [how, leave] of [['Escape', () => key('Escape')], ['Alt+Enter', altEnter]]) {
  await altEnter();
  await until(`Alt+Enter enters full screen (before leaving by ${how})`, fullscreen, 5000);
  await sleep(300);
  await leave();
  await until(`${how} leaves full screen`, async () => !(await fullscreen()), 5000);
  await sleep(300);
  const l = await layout();
  check(fits(l, screenRoom(l)) && l.vw === 1600 && l.vh === 900, `after leaving full screen by ${how} the picture fits the 1600 x 900 page (${JSON.stringify(l.c)})`);
}

const volume = (await probe()).soundVolume;
await keySequence('Down', 'Down', 'Enter', 'Down', 'Down', 'Down', 'Down');
await key('Left', 600);
await keySequence('Down', 'Down', 'Down', 'Enter');
const changed = (await probe()).soundVolume;
check(changed < volume && (await state()) === 'running', `a volume change in Settings applies (${volume} -> ${changed})`);

await keySequence('Down', 'Enter');
await until('Quit ends in the page\'s end state', async () => (await state()) === 'ended', 5000);
const endText = await evaluate("document.getElementById('status').textContent");
check((await evaluate('stellarox.exitStatus')) === 0 && /Exit status 0/.test(endText), `the end state shows the exit status ("${endText}")`);
check(consoleErrors.length === 0, `the console holds no error${consoleErrors.length ? ': ' + consoleErrors.join(' | ') : ''}`);

// Offline: once the service worker keeps the site and the title track, the network goes.
await until('the service worker keeps the site and the title track', async () => (await evaluate(`navigator.serviceWorker.ready
  .then(() => caches.open(stellaroxSite.cache)).then((c) => c.keys()).then((k) => k.length)`)) >= 10, 20000);
site.close();
await send('Page.reload');
await until('offline, the page shows its gate', async () => (await state()) === 'ready', 20000);
const gate = await centre('#play');
for (const type of ['mousePressed', 'mouseReleased'])
  await send('Input.dispatchMouseEvent', { type, ...gate, button: 'left', clickCount: 1 });
await until('offline, the title menu appears', async () => (await evaluate('stellarox.titleAt')) > 0);
const offline = await times();
console.log(`offline: gate ${offline[0].toFixed(0)} ms after opening, first title frame ${offline[1].toFixed(0)} ms after the click`);
await keySequence('Enter', 'Enter');
await until('offline, a game reaches level 1', async () => (await probe()).ship !== null);
await until('offline, the title track comes from the kept copy', async () => (await evaluate('stellarox.musicLoaded')) >= 1, 5000);
check(true, 'offline, the page starts and a game reaches level 1');

// A missing and a truncated data package each say which file and what went wrong.
const dataName = fs.readdirSync(siteDir).find((n) => /^stellarox\..*\.data$/.test(n));
for (const [damage, message] of [['missing', /could not be loaded: the server answered 404/], ['short', /arrived incomplete: \d+ of \d+ bytes/]]) {
  const broken = await serve({ [dataName]: damage });
  await send('Page.navigate', { url: broken.url });
  await until(`a ${damage} data package stops the loading`, async () => (await state()) === 'failed');
  const text = await evaluate("document.getElementById('status').textContent + ' / ' + document.getElementById('play').textContent");
  check(text.includes(dataName) && message.test(text) && /Try again/.test(text), `a ${damage} data package is named with its fault ("${text}")`);
  broken.close();
}

// A phone: in portrait the picture spans the width above the controls; in landscape the
// controls stand beside it. Then a game by touch alone.
const phone = await serve();
await send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
await send('Emulation.setDeviceMetricsOverride', { width: 412, height: 915, deviceScaleFactor: 2, mobile: true });
await send('Page.navigate', { url: phone.url });
await until('the phone shows the gate', async () => (await state()) === 'ready', 20000);
let l = await layout();
check(fits(l, { x: 0, y: 0, w: 412, h: 309 }) && l.fire.y >= l.c.y + l.c.h && l.fire.y + l.fire.h <= 915,
  'a phone in portrait shows the picture at full width with the controls below');
await snap('web-portrait.png');
await send('Emulation.setDeviceMetricsOverride', { width: 915, height: 412, deviceScaleFactor: 2, mobile: true,
  screenOrientation: { type: 'landscapePrimary', angle: 90 } });
await sleep(300);
l = await layout();
check(fits(l, screenRoom(l)) && l.turn.x + l.turn.w <= l.c.x && l.fire.x >= l.c.x + l.c.w,
  'a phone in landscape shows the picture at full height with the controls beside it');
await tap('#play');
await until('a tap passes the gate and the title menu appears', async () => (await evaluate('stellarox.titleAt')) > 0);
await sleep(500);
await tap('[aria-label=Choose]');
await tap('[aria-label=Choose]');
await until('two taps on Choose start a game at level 1', async () => (await probe()).ship !== null);
await snap('web-landscape.png');
await sleep(1500);
const start = (await probe()).ship;
const points = await Promise.all(['Thrust', 'Turn left', 'Fire'].map((n) => centre(`[aria-label="${n}"]`)));
await touch('touchStart', points.map((p, i) => ({ ...p, id: i + 1 })));
await until('thrust, turn and fire held together fire a shot', async () => (await probe()).bullets > 0, 3000);
await sleep(600);
const end = (await probe()).ship;
await touch('touchEnd', []);
check(Math.hypot(end[0] - start[0], end[1] - start[1]) > 5 && end[2] !== start[2],
  `thrust and turn held together move and turn the ship (${start} -> ${end})`);
const padShown = () => evaluate("getComputedStyle(document.getElementById('right')).display !== 'none'");
await key('Left');
const aside = !(await padShown());
await tap('#screen');
check(aside && (await padShown()), 'a key sets the touch controls aside and the next touch brings them back');
phone.close();
console.log(failures.length === 0 ? 'browser journey passed' : `browser journey: ${failures.length} failed`);
stop(failures.length === 0 ? 0 : 1);
