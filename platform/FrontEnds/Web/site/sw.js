// Keeps the whole site on the device, so that it starts with the network off. The version is
// a digest of the site's files: a new build replaces the old cache whole.
const version = '{{VERSION}}';
const files = JSON.parse('{{FILES}}');

self.addEventListener('install', (event) => {
  // Every file checked with the server, however fresh the browser's HTTP cache holds it: a new
  // version must never be filled with a file of the old one. What has not changed comes back
  // as "not modified", without its bytes.
  const requests = files.map((file) => new Request(file, { cache: 'no-cache' }));
  event.waitUntil(caches.open(version).then((cache) => cache.addAll(requests)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((names) =>
        Promise.all(names.filter((name) => name !== version).map((name) => caches.delete(name))),
      )
      .then(() => self.clients.claim()),
  );
});

// A new version waits, once installed, until no page of the old one is left, and takes over
// at the next start; it is never made to take over while a page runs. In Chromium a
// navigation made while a worker is replaced that way can wait forever: a reload that hangs
// while a new version installs. Meanwhile the old worker passes its pages' requests to the
// server, so that the next navigation already shows the new version, all of it; only offline
// does it answer from its own files.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  const fromCache = () =>
    caches
      .open(version)
      .then((cache) =>
        cache
          .match(event.request, { ignoreSearch: true })
          .then((cached) => cached || fetch(event.request)),
      );
  if (!self.registration.waiting) {
    event.respondWith(fromCache());
    return;
  }
  // Checked with the server past the HTTP cache, which may still hold the old version's files.
  event.respondWith(fetch(event.request, { cache: 'no-cache' }).catch(fromCache));
});
