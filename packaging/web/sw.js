// Keeps the site for offline play: every file of one version in one cache, named after the
// version, with each music track the page has had whole. A new version fills its own
// cache, takes over and drops the old ones, so a page never mixes two versions. The build
// writes `site` (the version's cache name, its files and its music) in front of this file.
'use strict';

function key(name) {
  return new URL(name, self.registration.scope).href;
}

// A file that does not arrive whole fails the install, to be tried again at the next visit.
function fetchWhole(file) {
  return fetch(key(file.name), { cache: 'reload' }).then(function (response) {
    return response.arrayBuffer().then(function (bytes) {
      if (!response.ok || (file.size && bytes.byteLength !== file.size)) {
        throw new Error(file.name + ' did not arrive whole');
      }
      return new Response(bytes, { headers: response.headers });
    });
  });
}

self.addEventListener('install', function (event) {
  event.waitUntil(caches.open(site.cache).then(function (cache) {
    return Promise.all(site.core.map(function (file) {
      return cache.match(key(file.name)).then(function (hit) {
        return hit || fetchWhole(file).then(function (whole) { return cache.put(key(file.name), whole); });
      });
    }));
  }).then(function () { return self.skipWaiting(); }));
});

// Music that did not change keeps its name, so it moves over instead of arriving again.
function carryMusic(from, to) {
  return Promise.all(site.music.map(function (track) {
    return from.match(key(track.name)).then(function (hit) { return hit && to.put(key(track.name), hit); });
  }));
}

self.addEventListener('activate', function (event) {
  event.waitUntil(Promise.all([caches.keys(), caches.open(site.cache)]).then(function (got) {
    return Promise.all(got[0].filter(function (name) {
      return name.indexOf('stellarox-') === 0 && name !== site.cache;
    }).map(function (name) {
      return caches.open(name).then(function (old) { return carryMusic(old, got[1]); })
        .then(function () { return caches.delete(name); });
    }));
  }).then(function () { return self.clients.claim(); }));
});

// The page puts each music track in the cache itself once it has it whole.
self.addEventListener('fetch', function (event) {
  var request = event.request;
  if (request.method !== 'GET' || request.url.indexOf(self.registration.scope) !== 0) return;
  event.respondWith(caches.open(site.cache).then(function (cache) {
    return cache.match(request.url, { ignoreSearch: true }).then(function (hit) {
      return hit || (request.mode === 'navigate' ? cache.match(key('./')) : undefined);
    });
  }).then(function (hit) { return hit || fetch(request); }));
});
