// The page around the game. It fetches the game's script, wasm and data package itself,
// checking each against the size the build recorded (stellaroxSite, written in front of
// this file), so that any failure names its file and its cause. Then: the click-to-play
// gate (browsers start no sound before a gesture), the font handed to the browser, the
// music fetched after the first title frame, the picture scaled to fit, the full-screen
// state reported to the game, touch controls, the help list and the service worker that
// keeps the site for offline play. window.stellarox exposes the page state to the journey.
'use strict';

var stellarox = { state: 'loading', exitStatus: null, musicLoaded: 0, readyAt: 0, startedAt: 0,
                  titleAt: 0, error: null };

var Module = (function () {
  var site = stellaroxSite;
  var stage = document.getElementById('stage');
  var screen = document.getElementById('screen');
  var canvas = document.getElementById('canvas');
  var overlay = document.getElementById('overlay');
  var statusLine = document.getElementById('status');
  var bar = document.getElementById('bar');
  var fill = document.getElementById('fill');
  var play = document.getElementById('play');
  var help = document.getElementById('help');
  var note = document.getElementById('note');
  var fontPath = 'data/fonts/LiberationSans-Bold.ttf';
  var wasmBytes = null, dataBytes = null;

  function show(text, fraction) {
    statusLine.textContent = text;
    bar.hidden = fraction === null;
    if (fraction !== null) fill.style.width = Math.round(fraction * 100) + '%';
  }

  function offerRetry(label) {
    play.textContent = label;
    play.hidden = false;
    play.onclick = function () { location.reload(); };
    overlay.hidden = false;
  }

  function fail(file, why) {
    if (stellarox.state === 'failed') return;
    stellarox.state = 'failed';
    stellarox.error = file + ': ' + why;
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
    show('Stellarox could not start: ' + file + ' ' + why + '.', null);
    offerRetry('Try again');
  }

  // A whole file or an error that says what went wrong with it. A file of the wrong size
  // is asked for once more past the browser's cache, which may hold a damaged copy that
  // the server, going by dates, calls unchanged.
  function fetchWhole(file, onBytes, fresh) {
    return fetch(file.name, { cache: fresh ? 'reload' : 'default' }).catch(function (e) {
      throw new Error('could not be fetched (' + (e.message || e) + ')');
    }).then(function (response) {
      if (!response.ok) {
        throw new Error('could not be loaded: the server answered ' + response.status +
                        (response.statusText ? ' ' + response.statusText : ''));
      }
      var reader = response.body.getReader(), parts = [], got = 0;
      function next() {
        return reader.read().then(function (r) {
          if (r.done) return;
          parts.push(r.value);
          got += r.value.length;
          if (onBytes) onBytes(got);
          return next();
        });
      }
      return next().catch(function (e) {
        throw new Error('broke off after ' + got + ' of ' + file.size + ' bytes (' + e.message + ')');
      }).then(function () {
        if (got !== file.size && !fresh) return fetchWhole(file, onBytes, true);
        if (got < file.size) throw new Error('arrived incomplete: ' + got + ' of ' + file.size + ' bytes');
        if (got > file.size) throw new Error('is not the file this page expects (' + got + ' bytes, not ' + file.size + ')');
        var bytes = new Uint8Array(got), at = 0;
        parts.forEach(function (p) { bytes.set(p, at); at += p.length; });
        return bytes;
      });
    });
  }

  // The three files in parallel, then the game's script from the bytes already in hand.
  function load() {
    var files = [site.js, site.wasm, site.data], got = [0, 0, 0];
    var total = site.js.size + site.wasm.size + site.data.size;
    show('Loading the game, its pictures and sounds...', 0);
    Promise.all(files.map(function (file, i) {
      return fetchWhole(file, function (n) {
        got[i] = n;
        if (stellarox.state === 'loading') show('Loading the game, its pictures and sounds...', (got[0] + got[1] + got[2]) / total);
      }).catch(function (e) { e.file = file.name; throw e; });
    })).then(function (bytes) {
      wasmBytes = bytes[1];
      dataBytes = bytes[2];
      show('Starting...', null);
      var script = document.createElement('script');
      script.text = new TextDecoder().decode(bytes[0]);
      document.body.appendChild(script);
    }, function (e) { fail(e.file, e.message); });
  }

  // A script that does not run shows up only here.
  window.addEventListener('error', function (e) {
    if (stellarox.state === 'loading') fail(site.js.name, 'did not run (' + e.message + ')');
  });

  function registerFont() {
    var bytes = Module.FS.readFile('/' + fontPath);
    var face = new FontFace(fontPath, bytes);
    return face.load().then(function (loaded) {
      document.fonts.add(loaded);
      Module.webFontMetrics = {};
      Module.webFontMetrics[fontPath] = fontMetrics(bytes);
    });
  }

  // Ascender, descender and units per em, as FreeType reads them for the desktop.
  function fontMetrics(bytes) {
    var view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
    var tables = {};
    for (var i = 0, n = view.getUint16(4); i < n; i++) {
      var at = 12 + 16 * i;
      var tag = String.fromCharCode(bytes[at], bytes[at + 1], bytes[at + 2], bytes[at + 3]);
      tables[tag] = view.getUint32(at + 8);
    }
    return { unitsPerEm: view.getUint16(tables.head + 18),
             ascender: view.getInt16(tables.hhea + 4),
             descender: view.getInt16(tables.hhea + 6) };
  }

  // --- Music: one track after another, title first; each enters the game's tree whole.

  function showNote(text, retry) {
    note.textContent = text;
    if (retry) {
      var button = document.createElement('button');
      button.textContent = 'Try again';
      button.onclick = function () { fetchMusic(); canvas.focus(); };
      note.appendChild(button);
    }
    note.hidden = false;
  }

  function fetchMusic() {
    Module.FS.mkdirTree('/data/music');
    showNote('The music is on its way...');
    var missing = site.music.filter(function (t) { return !t.loaded; });
    missing.reduce(function (previous, track) {
      return previous.then(function () {
        return fetchWhole(track).then(function (bytes) {
          var to = '/data/music/' + track.track;
          Module.FS.writeFile(to + '.part', bytes);
          Module.FS.rename(to + '.part', to);
          track.loaded = true;
          stellarox.musicLoaded += 1;
          keep(track.name, bytes);
        }).catch(function (e) { e.file = track.name; throw e; });
      });
    }, Promise.resolve()).catch(function (e) {
      showNote('Music: ' + e.file + ' ' + e.message + '.', true);
    });
  }

  // Until the title track plays, the note says the music is coming.
  function watchMusic() {
    if (stellarox.state !== 'running') return;
    if (/on its way/.test(note.textContent) && site.music[0].loaded && Module._webMusicSettled()) {
      note.hidden = true;
    }
    setTimeout(watchMusic, 250);
  }

  // --- Offline: the service worker keeps the site; the bytes already fetched go in first.

  // Into this version's cache, unless a newer version has already replaced it (which
  // would leave the copy behind for good).
  function keep(name, bytes) {
    if (!('serviceWorker' in navigator) || !window.caches) return Promise.resolve();
    return caches.has(site.cache).then(function (has) {
      if (!has && navigator.serviceWorker.controller) return;
      return caches.open(site.cache).then(function (c) { return c.put(name, new Response(bytes)); });
    }).catch(function () {});
  }

  function keepSite() {
    if (!('serviceWorker' in navigator)) return;
    Promise.all([keep(site.wasm.name, wasmBytes), keep(site.data.name, dataBytes)]).then(function () {
      wasmBytes = dataBytes = null;
      return navigator.serviceWorker.register('sw.js');
    }).catch(function (e) { console.warn('no offline copy: ' + e); });
  }

  // --- Fit: the largest picture of the game's shape the room allows, scaled by a
  // transform (the emulation resets the canvas's own size at every video mode).

  function fit() {
    var w = canvas.width, h = canvas.height;
    document.documentElement.style.setProperty('--ratio', String(h / w));
    var box = screen.getBoundingClientRect();
    var s = Math.min(box.width / w, box.height / h);
    canvas.style.transform = 'translate(' + Math.floor((box.width - w * s) / 2) + 'px,' +
                             Math.floor((box.height - h * s) / 2) + 'px) scale(' + s + ')';
  }
  new ResizeObserver(fit).observe(screen);
  new MutationObserver(fit).observe(canvas, { attributes: true, attributeFilter: ['width', 'height'] });
  window.addEventListener('resize', fit);

  // Some phones grant full screen to videos only: no button then.
  if (!document.fullscreenEnabled) {
    Array.prototype.forEach.call(document.querySelectorAll('[data-page=fullscreen]'), function (b) {
      b.hidden = true;
    });
  }
  function toggleFullscreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
    else if (stage.requestFullscreen) stage.requestFullscreen().catch(function () {});
  }
  document.addEventListener('fullscreenchange', function () {
    if (stellarox.state === 'running') Module._webFullscreenChanged(document.fullscreenElement ? 1 : 0);
    fit();
  });

  // --- Touch controls: shown on touch devices, set aside by a key or a gamepad.

  function useTouch(on) {
    if (document.body.classList.contains('touch') === on) return;
    document.body.classList.toggle('touch', on);
    fit();
  }
  useTouch(navigator.maxTouchPoints > 0);
  window.addEventListener('pointerdown', function (e) {
    if (e.pointerType === 'touch') useTouch(true);
  }, true);
  window.addEventListener('gamepadconnected', function () { useTouch(false); });
  setInterval(function () {
    if (!document.body.classList.contains('touch') || !navigator.getGamepads) return;
    var used = Array.prototype.some.call(navigator.getGamepads(), function (p) {
      return p && p.buttons.some(function (b) { return b.pressed; });
    });
    if (used) useTouch(false);
  }, 500);

  function pressKey(control, down) {
    if (stellarox.state === 'running') Module._webPressKey(control, down ? 1 : 0);
  }

  // A control stays pressed while any finger is on it, so several can be held at once.
  Array.prototype.forEach.call(document.querySelectorAll('[data-key]'), function (button) {
    var fingers = new Set();
    var control = Number(button.dataset.key);
    function set(e, on) {
      e.preventDefault();
      var was = fingers.size > 0;
      if (on) fingers.add(e.pointerId); else fingers.delete(e.pointerId);
      if (was !== fingers.size > 0) {
        button.classList.toggle('down', !was);
        pressKey(control, !was);
      }
    }
    button.addEventListener('pointerdown', function (e) { set(e, true); });
    ['pointerup', 'pointercancel', 'lostpointercapture'].forEach(function (type) {
      button.addEventListener(type, function (e) { set(e, false); });
    });
  });

  // Page buttons act on click, the gesture browsers require for full screen, and never
  // take the keyboard's focus (Space would press them again).
  Array.prototype.forEach.call(document.querySelectorAll('[data-page]'), function (button) {
    button.addEventListener('mousedown', function (e) { e.preventDefault(); });
    button.addEventListener('click', function () {
      if (button.dataset.page === 'help') help.hidden = !help.hidden;
      else toggleFullscreen();
      canvas.focus();
    });
  });

  // F1 shows the key list and F2 pauses, for keyboards without a Pause key; the game
  // never sees either. Every other key goes on to the game untouched.
  window.addEventListener('keydown', function (e) {
    useTouch(false);
    if (e.key !== 'F1' && e.key !== 'F2') return;
    e.preventDefault();
    e.stopImmediatePropagation();
    if (e.repeat) return;
    if (e.key === 'F1') {
      help.hidden = !help.hidden;
    } else {
      pressKey(7, true);
      pressKey(7, false);
    }
  }, true);
  window.addEventListener('keyup', function (e) {
    if (e.key === 'F1' || e.key === 'F2') { e.preventDefault(); e.stopImmediatePropagation(); }
  }, true);

  // --- Start and end.

  function finish(text, status) {
    if (stellarox.state === 'failed') return;
    stellarox.state = 'ended';
    stellarox.exitStatus = status;
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
    show(text, null);
    note.hidden = true;
    offerRetry('Play again');
  }

  // The game flips an empty screen, the loading screen, then the first title frame.
  function watchForTitle() {
    if ((Module.webFrames || 0) >= 3) {
      stellarox.titleAt = performance.now();
      fetchMusic();
      watchMusic();
      keepSite();
    } else if (stellarox.state === 'running') {
      setTimeout(watchForTitle, 10);
    }
  }

  function start() {
    overlay.hidden = true;
    canvas.focus();
    stellarox.state = 'running';
    stellarox.startedAt = performance.now();
    setTimeout(watchForTitle, 10);
    Module.callMain([]);
  }

  canvas.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  stage.addEventListener('contextmenu', function (e) { e.preventDefault(); });
  fit();
  load();

  return {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    instantiateWasm: function (imports, receive) {
      WebAssembly.instantiate(wasmBytes, imports).then(function (r) {
        receive(r.instance, r.module);
      }, function (e) { fail(site.wasm.name, 'could not be compiled (' + e.message + ')'); });
      return {};
    },
    getPreloadedPackage: function () { return dataBytes.buffer; },
    onRuntimeInitialized: function () {
      show('Loading the font...', null);
      registerFont().then(function () {
        stellarox.state = 'ready';
        stellarox.readyAt = performance.now();
        show('Ready.', null);
        play.hidden = false;
        play.onclick = start;
      }, function (e) {
        fail(site.data.name, 'holds a font the browser cannot read (' + e + ')');
      });
    },
    onExit: function (status) {
      finish((status === 0 ? 'Stellarox has ended.' : 'Stellarox stopped on an error.') +
             ' Exit status ' + status + '.', status);
    },
    onAbort: function (what) {
      finish('Stellarox stopped with an error: ' + what, 'abort');
    }
  };
})();
