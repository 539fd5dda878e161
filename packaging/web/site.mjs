// Assembles the site: every file a host serves, in one flat folder (so there is no folder
// listing to serve). Each file a page refers to is named after its content, so no cache can
// pair files of two versions; index.html and sw.js keep their names, being the ways in.
// The page's script and the service worker get the table of names and sizes in front.
// Usage: node site.mjs OUT BUILD_DIR PAGE_DIR FONT_LICENCE MUSIC...
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';

const [out, build, pageDir, licence, ...music] = process.argv.slice(2);
fs.rmSync(out, { recursive: true, force: true });
fs.mkdirSync(out, { recursive: true });

const digest = (text) => crypto.createHash('sha256').update(text).digest('hex').slice(0, 12);
function put(name, bytes) {
  const ext = path.extname(name);
  const named = `${path.basename(name, ext)}.${digest(bytes)}${ext}`;
  fs.writeFileSync(path.join(out, named), bytes);
  return { name: named, size: bytes.length };
}
const built = (name) => put(name, fs.readFileSync(path.join(build, name)));

const js = built('stellarox.js'), wasm = built('stellarox.wasm'), data = built('stellarox.data');
const tracks = music.map((file) => ({ track: path.basename(file), ...put(path.basename(file), fs.readFileSync(file)) }));
const icons = [192, 512].map((size) => ({ size, ...built(`icon-${size}.png`) }));
fs.copyFileSync(licence, path.join(out, 'font-licence.txt'));

const manifest = put('manifest.webmanifest', JSON.stringify({
  name: 'Stellarox', short_name: 'Stellarox', start_url: './', scope: './', display: 'fullscreen',
  orientation: 'landscape', background_color: '#000000', theme_color: '#000000',
  icons: icons.map((i) => ({ src: i.name, sizes: `${i.size}x${i.size}`, type: 'image/png' })),
}, null, 1));

// The version: every named file and the page's own sources, so any change makes a new one.
const template = (name) => fs.readFileSync(path.join(pageDir, name), 'utf8');
const named = [js, wasm, data, manifest, ...icons, ...tracks].map((f) => f.name);
const cache = `stellarox-${digest(named.concat(['index.html', 'page.js', 'sw.js'].map(template)).join(' '))}`;
const page = put('page.js', `var stellaroxSite = ${JSON.stringify({ cache, js, wasm, data, music: tracks })};\n` +
  template('page.js'));
// What the service worker keeps, with sizes where a page checks them too.
const core = [{ name: './' }, page, js, wasm, data, manifest, ...icons, { name: 'font-licence.txt' }]
  .map(({ name, size }) => ({ name, size }));
fs.writeFileSync(path.join(out, 'sw.js'), `var site = ${JSON.stringify({ cache, core, music: tracks })};\n` +
  template('sw.js'));

const html = template('index.html')
  .replace('"page.js"', `"${page.name}"`)
  .replace('"manifest.webmanifest"', `"${manifest.name}"`)
  .replaceAll('"icon-192.png"', `"${icons[0].name}"`);
fs.writeFileSync(path.join(out, 'index.html'), html);
