// Keeps the whole site on the device, so that it starts with the network off. The version is
// a digest of the site's files: a new build replaces the old cache whole.
const version = '{{VERSION}}';
const files = {{FILES}};

self.addEventListener('install', (event) => {
  // Every file checked with the server, however fresh the browser's HTTP cache holds it: a new
  // version must never be filled with a file of the old one. What has not changed comes back
  // as "not modified", without its bytes.
  const requests = files.map((file) => new Request(file, { cache: 'no-cache' }));
  event.waitUntil(caches.open(version).then((cache) => cache.addAll(requests)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches.keys()
      .then((names) => Promise.all(names.filter((name) => name !== version).map((name) => caches.delete(name))))
      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(
    caches.open(version).then((cache) =>
      cache.match(event.request, { ignoreSearch: true }).then((cached) => cached || fetch(event.request))));
});
