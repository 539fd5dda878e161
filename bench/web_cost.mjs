// The browser game's CPU beside the desktop game's, in the same run: headless Chromium
// (software compositing, --disable-gpu) plays the served web build in a viewport of the
// given size, one ship thrusting, turning and firing, while the desktop game plays the same
// scene in its X window. Samples alternate, desktop then browser, so that both meet the
// same load; each is a share of one core over SECONDS: the game process and its X server
// for the desktop, Chromium's renderer and GPU processes for the browser.
// Usage: node web_cost.mjs URL WIDTH HEIGHT SAMPLES SECONDS GAME_PID XSERVER_PID
// Prints one line per sample and a summary line "size desktop browser ratio" as medians
// with min and max. The protocol runs over a pipe: no packages needed.
import { execSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

const [url, width, height, samples, seconds, gamePid, xPid] = process.argv.slice(2);
const viewport = [Number(width), Number(height)];
const hz = Number(execSync('getconf CLK_TCK').toString());
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'stellarox-cost-'));
const browser = spawn('/usr/bin/chromium', ['--headless', '--no-sandbox', '--disable-gpu',
  '--disable-quic', '--no-first-run', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--autoplay-policy=user-gesture-required',
  `--user-data-dir=${profile}`, '--remote-debugging-pipe',
  `--window-size=${viewport[0]},${viewport[1]}`, 'about:blank'],
{ stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
const stop = (code) => {
  browser.once('exit', () => {
    try { fs.rmSync(profile, { recursive: true, force: true, maxRetries: 20, retryDelay: 100 }); } catch {}
    process.exit(code);
  });
  browser.stdio[3].write(JSON.stringify({ id: 0, method: 'Browser.close' }) + '\0');
};
const fail = (what) => { console.error(`bench-web: ${what}`); stop(1); return new Promise(() => {}); };
process.on('SIGTERM', () => stop(1));

let nextId = 1, received = '';
const waiting = new Map();
browser.stdio[4].setEncoding('utf8');
browser.stdio[4].on('data', (chunk) => {
  received += chunk;
  for (let end; (end = received.indexOf('\0')) >= 0; received = received.slice(end + 1)) {
    const m = JSON.parse(received.slice(0, end));
    if (m.id && waiting.has(m.id)) { waiting.get(m.id)(m); waiting.delete(m.id); }
  }
});
const command = (method, params = {}, sessionId = undefined) => new Promise((resolve) => {
  const id = nextId++;
  waiting.set(id, resolve);
  browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
});
async function until(what, test, ms = 20000) {
  for (const end = Date.now() + ms; Date.now() < end; await sleep(100)) if (await test()) return;
  await fail(`${what} (timed out)`);
}

let page;
await until('Chromium starts', async () => {
  page = (await command('Target.getTargets')).result.targetInfos.find((t) => t.type === 'page');
  return page !== undefined;
});
const session = (await command('Target.attachToTarget', { targetId: page.targetId, flatten: true })).result.sessionId;
const send = (method, params = {}) => command(method, params, session);
const evaluate = async (expression) =>
  (await send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true })).result.result?.value;
const probe = async () => JSON.parse(await evaluate('UTF8ToString(Module._webProbe())'));
const keys = { ArrowUp: 38, ArrowLeft: 37, ' ': 32, Enter: 13 };
const keyEvent = (type, key) => send('Input.dispatchKeyEvent', { type, key,
  windowsVirtualKeyCode: keys[key], nativeVirtualKeyCode: keys[key], ...(key === 'Enter' && type === 'keyDown' ? { text: '\r' } : {}) });

// The processes Chromium started, by the role its command line gives them.
function roles() {
  const parents = new Map(), types = new Map();
  for (const name of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(name)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${name}/stat`, 'utf8');
      parents.set(Number(name), Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]));
      const type = /--type=([\w-]+)/.exec(fs.readFileSync(`/proc/${name}/cmdline`, 'utf8'));
      types.set(Number(name), type ? type[1] : 'browser');
    } catch {}
  }
  const ours = (pid) => { for (let p = pid; p > 1; p = parents.get(p)) if (p === browser.pid) return true; return false; };
  const found = { renderer: [], gpu: [], other: [] };
  for (const [pid, type] of types) {
    if (pid === browser.pid || !ours(pid)) continue;
    (type === 'renderer' ? found.renderer : type === 'gpu-process' ? found.gpu : found.other).push(pid);
  }
  return found;
}
const ticks = (pids) => pids.reduce((sum, pid) => {
  try {
    const f = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').slice(0).split(') ')[1].split(' ');
    return sum + Number(f[11]) + Number(f[12]);
  } catch { return sum; }
}, 0);
// Shares of one core, in per cent, of each group of processes over the next SECONDS.
async function share(groups) {
  const t0 = groups.map(ticks), start = process.hrtime.bigint();
  await sleep(Number(seconds) * 1000);
  const t1 = groups.map(ticks), wall = Number(process.hrtime.bigint() - start) / 1e9;
  return t1.map((t, i) => (100 * (t - t0[i])) / hz / wall);
}

await send('Runtime.enable');
await send('Page.navigate', { url });
await until('the page shows its click-to-play gate', async () => (await evaluate('stellarox.state')) === 'ready');
const inner = await evaluate('[innerWidth, innerHeight]');
if (inner[0] !== viewport[0] || inner[1] !== viewport[1]) {
  await send('Emulation.setDeviceMetricsOverride', { width: viewport[0], height: viewport[1], deviceScaleFactor: 1, mobile: false });
}
const box = await evaluate("(() => { const r = document.getElementById('play').getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; })()");
for (const type of ['mousePressed', 'mouseReleased'])
  await send('Input.dispatchMouseEvent', { type, x: box[0], y: box[1], button: 'left', clickCount: 1 });
await until('the title menu appears', async () => (await evaluate('Module.webFrames || 0')) >= 3);
await sleep(1000);
for (const k of ['Enter', 'Enter']) { await keyEvent('keyDown', k); await sleep(60); await keyEvent('keyUp', k); await sleep(500); }
await until('a game starts', async () => (await probe()).ship !== null);
await sleep(1000);

// The largest fit of the canvas that keeps its shape, unless the page already fits it.
const fit = await evaluate(`(() => {
  const c = Module.canvas, s = Math.min(innerWidth / c.width, innerHeight / c.height);
  const w = Math.floor(c.width * s), h = Math.floor(c.height * s), r = c.getBoundingClientRect();
  const own = Math.round(r.width) === w && Math.round(r.height) === h;
  if (!own) { c.style.width = w + 'px'; c.style.height = h + 'px'; c.style.imageRendering = 'pixelated'; }
  return [c.width, c.height, w, h, own];
})()`);
for (const k of ['ArrowUp', 'ArrowLeft', ' ']) await keyEvent('keyDown', k);
await sleep(1000);

const who = roles();
console.log(`browser: canvas ${fit[0]} x ${fit[1]} shown at ${fit[2]} x ${fit[3]} (${fit[4] ? "the page's own fit" : 'fit set by the bench'}), renderer ${who.renderer.join(',')}, GPU ${who.gpu.join(',')}`);
const desktop = [], web = [], ratios = [], rates = [], others = [];
for (let i = 0; i < Number(samples); i++) {
  const [d] = await share([[Number(gamePid), Number(xPid)]]);
  const f0 = await evaluate('Module.webFrames');
  const [b, o] = await share([[...who.renderer, ...who.gpu], who.other.concat([browser.pid])]);
  const fps = ((await evaluate('Module.webFrames')) - f0) / Number(seconds);
  const ship = (await probe()).ship !== null;
  console.log(`  sample ${i + 1}: desktop ${d.toFixed(1)} %, browser ${b.toFixed(1)} % at ${fps.toFixed(1)} frames/s` +
    `${ship ? '' : ' (no ship in play)'}; Chromium's other processes ${o.toFixed(1)} %`);
  desktop.push(d); web.push(b); ratios.push(b / d); rates.push(fps); others.push(o);
}
// With BENCH_WEB_THREADS=1, where the browser's share goes: its busiest threads.
if (process.env.BENCH_WEB_THREADS === '1') {
  const threads = (pids) => pids.flatMap((pid) => {
    try { return fs.readdirSync(`/proc/${pid}/task`).map((t) => `${pid}/task/${t}`); } catch { return []; }
  });
  const all = threads([...who.renderer, ...who.gpu]);
  const read = () => new Map(all.map((t) => {
    try {
      const s = fs.readFileSync(`/proc/${t}/stat`, 'utf8'), f = s.split(') ')[1].split(' ');
      return [t, [s.slice(s.indexOf('(') + 1, s.lastIndexOf(')')), Number(f[11]) + Number(f[12])]];
    } catch { return [t, ['?', 0]]; }
  }));
  const a = read(); await sleep(Number(seconds) * 1000); const b = read();
  const rows = [...b].map(([t, [name, n]]) => [`${who.gpu.includes(Number(t.split('/')[0])) ? 'gpu' : 'renderer'} ${name}`, (100 * (n - (a.get(t)?.[1] ?? 0))) / hz / Number(seconds)]);
  for (const [name, v] of rows.filter((r) => r[1] > 0).sort((x, y) => y[1] - x[1]).slice(0, 12))
    console.log(`  thread ${name}: ${v.toFixed(1)} %`);
}
const spread = (v, digits = 1) => {
  const s = [...v].sort((a, b) => a - b), m = s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
  return `${m.toFixed(digits)} (${s[0].toFixed(digits)}-${s[s.length - 1].toFixed(digits)})`;
};
console.log(`RESULT ${fit[2]}x${fit[3]}|${spread(desktop)} %|${spread(web)} %|${spread(ratios, 2)}|${spread(rates)}|${spread(others)} %`);
for (const k of [' ', 'ArrowLeft', 'ArrowUp']) await keyEvent('keyUp', k);
stop(0);
