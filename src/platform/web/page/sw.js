// Keeps the whole app, so that it opens without a network: every file is fetched afresh
// when the network answers, and taken from the cache when it does not.
'use strict';
const kCache = 'mojimori';
// The packed files: a browser that cannot unpack gzip keeps the plain ones as it fetches them.
const kFiles = ['./', 'index.html', 'page.js', 'style.css', 'zel.js', 'zel.wasm.gz', 'zel-data.tar.gz',
  'fonts/mojimori-gothic.woff2', 'manifest.webmanifest', 'help/zel.html', 'icons/zel.png',
  'icons/zel-128.png', 'icons/pr1.png', 'icons/pr2.png', 'icons/pr3.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => { event.waitUntil(self.clients.claim()); });

self.addEventListener('fetch', (event) => {
  if (event.request.method != 'GET') return;
  event.respondWith((async () => {
    const cache = await caches.open(kCache);
    try {
      const answer = await fetch(event.request);
      if (answer.ok && new URL(event.request.url).origin == location.origin)
        await cache.put(event.request, answer.clone());
      return answer;
    } catch (error) {
      const kept = await cache.match(event.request, {ignoreSearch: true});
      if (kept) return kept;
      throw error;
    }
  })());
});
