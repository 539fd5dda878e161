// The browser journey: headless Chromium, driven over its DevTools protocol, plays the
// served web build: gate, title (compared with the desktop's title frame), a game with
// thrust and fire, Escape, a volume change in Settings, Quit and the page's end state.
// The protocol runs over a pipe, so any Node.js from 18 on will do, without packages.
// Usage: node journey.mjs URL DESKTOP_TITLE.ppm OUT_DIR
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const [url, referencePath, outDir] = process.argv.slice(2);
// Pixels of the title frame may differ from the desktop's only at the edges of text,
// where the browser's glyph outlines fall differently from FreeType's: at most 1 % of
// the compared pixels (a line moved by one pixel changes 3 to 5 %), and the background none.
const kTitleTolerance = 0.01;
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const failures = [];
const check = (ok, what) => { console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`); if (!ok) failures.push(what); };

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'stellarox-chromium-'));
const browser = spawn('/usr/bin/chromium', ['--headless', '--no-sandbox', '--disable-gpu',
  '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required',
  `--user-data-dir=${profile}`, '--remote-debugging-pipe', '--window-size=1024,768',
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
setTimeout(() => { console.log('FAIL journey timed out'); stop(1); }, 120000);

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

const keys = { Up: 38, Down: 40, Left: 37, Right: 39, Space: 32, Enter: 13, Escape: 27 };
async function key(name, holdMs = 60) {
  const k = { key: name === 'Space' ? ' ' : name.replace(/^(Up|Down|Left|Right)$/, 'Arrow$1'),
    windowsVirtualKeyCode: keys[name], nativeVirtualKeyCode: keys[name] };
  if (name === 'Enter') k.text = '\r';
  await send('Input.dispatchKeyEvent', { type: 'keyDown', ...k });
  await sleep(holdMs);
  await send('Input.dispatchKeyEvent', { type: 'keyUp', ...k });
  await sleep(120);
}
async function keySequence(...names) { for (const n of names) await key(n); }

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
await send('Page.navigate', { url });
await until('the page loads and shows the click-to-play gate', async () => (await evaluate('stellarox.state')) === 'ready', 20000);
const box = await evaluate("(() => { const r = document.getElementById('play').getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()");
for (const type of ['mousePressed', 'mouseReleased'])
  await send('Input.dispatchMouseEvent', { type, x: box[0], y: box[1], button: 'left', clickCount: 1 });
await until('the title menu appears after the click', async () => (await evaluate('stellarox.titleAt')) > 0);
// Measured in the page: opening to the gate, and the click to the first title frame.
const times = await evaluate('[stellarox.readyAt, stellarox.titleAt - stellarox.startedAt]');
const loaded = await evaluate(`[...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')]
  .filter((e) => e.responseEnd <= stellarox.titleAt).reduce((n, e) => n + e.transferSize, 0)`);
console.log(`gate ${times[0].toFixed(0)} ms after opening, first title frame ${times[1].toFixed(0)} ms after the click, ${(loaded / 1e6).toFixed(2)} MB transferred before it`);
// The times are reported, not asserted: a busy machine stretches them.
check(loaded <= 3e6, 'at most 3 MB arrive before the first title frame');
// The title track arrives next; the game announces it, and the message lasts 3 s.
await until('the title music arrives in the background', async () => (await evaluate('stellarox.musicLoaded')) >= 1);
await sleep(3300);
check((await probe()).music === 1, 'the title track is loaded once it arrives');
const title = await grabTitle();
const result = compareTitle(title, readPpm(referencePath));
console.log(`title frame: ${result.differ} of ${result.compared} unmasked pixels differ, ${result.background} of them away from text`);
check(result.share <= kTitleTolerance && result.background === 0, 'the title menu matches the desktop title frame');
const shot = await send('Page.captureScreenshot', { format: 'png' });
fs.writeFileSync(path.join(outDir, 'web-page.png'), Buffer.from(shot.result.data, 'base64'));

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
await send('Input.dispatchKeyEvent', { type: 'keyDown', key: ' ', windowsVirtualKeyCode: 32 });
await until('fire makes a shot', async () => (await probe()).bullets > 0, 3000);
await send('Input.dispatchKeyEvent', { type: 'keyUp', key: ' ', windowsVirtualKeyCode: 32 });
check(true, 'fire makes a shot');
await key('Escape');
await sleep(500);
// The game's messages stay a while in the top third; the menu lies below.
const back = compareTitle(await grabTitle(), readPpm(referencePath), 160);
check(back.share <= kTitleTolerance && back.background === 0, 'Escape returns to the title menu');

const volume = (await probe()).soundVolume;
await keySequence('Down', 'Down', 'Enter', 'Down', 'Down', 'Down', 'Down');
await key('Left', 600);
await keySequence('Down', 'Down', 'Down', 'Enter');
const changed = (await probe()).soundVolume;
check(changed < volume && (await evaluate('stellarox.state')) === 'running', `a volume change in Settings applies (${volume} -> ${changed})`);

await keySequence('Down', 'Enter');
await until('Quit ends in the page\'s end state', async () => (await evaluate('stellarox.state')) === 'ended', 5000);
const endText = await evaluate("document.getElementById('status').textContent");
check((await evaluate('stellarox.exitStatus')) === 0 && /Exit status 0/.test(endText), `the end state shows the exit status ("${endText}")`);
check(consoleErrors.length === 0, `the console holds no error${consoleErrors.length ? ': ' + consoleErrors.join(' | ') : ''}`);
console.log(failures.length === 0 ? 'browser journey passed' : `browser journey: ${failures.length} failed`);
stop(failures.length === 0 ? 0 : 1);
