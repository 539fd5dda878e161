// The page around the game: the loading bar, the click-to-play gate (browsers start no
// sound before a click), the game's font handed to the browser under the path the game
// opens it by, the music fetched in the background once the title menu shows (so that
// the first frame waits for nothing but pictures, sounds and font), and the end state
// with the exit status. window.stellarox exposes the page state to the browser journey.
'use strict';

var stellarox = { state: 'loading', exitStatus: null, musicLoaded: 0, readyAt: 0, startedAt: 0,
                  titleAt: 0 };

var Module = (function () {
  var canvas = document.getElementById('canvas');
  var overlay = document.getElementById('overlay');
  var statusLine = document.getElementById('status');
  var bar = document.getElementById('bar');
  var fill = document.getElementById('fill');
  var play = document.getElementById('play');
  var fontPath = 'data/fonts/LiberationSans-Bold.ttf';
  var tracks = ['title.ogg', '01.ogg', '02.ogg', '03.ogg', '04.ogg', '05.ogg', '06.ogg'];

  function show(text, fraction) {
    statusLine.textContent = text;
    bar.hidden = fraction === null;
    if (fraction !== null) fill.style.width = Math.round(fraction * 100) + '%';
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

  function registerFont() {
    var bytes = Module.FS.readFile('/' + fontPath);
    var face = new FontFace(fontPath, bytes);
    return face.load().then(function (loaded) {
      document.fonts.add(loaded);
      Module.webFontMetrics = {};
      Module.webFontMetrics[fontPath] = fontMetrics(bytes);
    });
  }

  // One track after another, title first; each appears in the game's tree only whole.
  function fetchMusic() {
    Module.FS.mkdirTree('/data/music');
    return tracks.reduce(function (previous, name) {
      return previous.then(function () {
        return fetch('music/' + name).then(function (response) {
          if (!response.ok) return;
          return response.arrayBuffer().then(function (buffer) {
            Module.FS.writeFile('/data/music/' + name + '.part', new Uint8Array(buffer));
            Module.FS.rename('/data/music/' + name + '.part', '/data/music/' + name);
            stellarox.musicLoaded += 1;
          });
        }).catch(function () {});
      });
    }, Promise.resolve());
  }

  function finish(text, status) {
    stellarox.state = 'ended';
    stellarox.exitStatus = status;
    if (document.fullscreenElement) document.exitFullscreen().catch(function () {});
    show(text, null);
    play.textContent = 'Play again';
    play.hidden = false;
    play.onclick = function () { location.reload(); };
    overlay.hidden = false;
  }

  // The game flips an empty screen, the loading screen, then the first title frame.
  function watchForTitle() {
    if ((Module.webFrames || 0) >= 3) {
      stellarox.titleAt = performance.now();
      fetchMusic();
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

  return {
    canvas: canvas,
    print: function (text) { console.log(text); },
    printErr: function (text) { console.warn(text); },
    setStatus: function (text) {
      var m = /\((\d+(?:\.\d+)?)\/(\d+)\)/.exec(text);
      if (m) show('Loading pictures and sounds...', Number(m[1]) / Number(m[2]));
    },
    onRuntimeInitialized: function () {
      show('Loading the font...', 1);
      registerFont().then(function () {
        stellarox.state = 'ready';
        stellarox.readyAt = performance.now();
        show('Ready.', null);
        play.hidden = false;
        play.onclick = start;
      }, function (e) {
        finish('The game could not start: the font did not load (' + e + ').', 'font');
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
