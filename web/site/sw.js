// The page's service worker. It makes the page cross-origin isolated on a
// host that does not send the headers itself (every same-origin response
// gets them), and keeps the site for use without a network: the network
// first, so that a new version is picked up, the kept copy when it fails.
const CACHE = 'orx700-demo';
// Everything the page needs to start; the manuals are kept once opened.
const SITE = [
  './', 'index.html', 'style.css', 'sw.js', 'orx700.js', 'orx700.wasm', 'orx700.worker.js',
  'js/balloon.js', 'js/dialogs.js', 'js/file-check.js', 'js/input.js', 'js/instrument.js',
  'js/isolation.js', 'js/load-module.js', 'js/main.js', 'js/state.js', 'js/view.js',
  'images/device.svg', 'images/key-pressed.svg', 'images/orx700-demo.svg', 'images/tool-about.svg',
  'images/tool-exit.svg', 'images/tool-hints.svg', 'images/tool-manual.svg', 'images/tool-overview.svg',
];

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    // A file the host lacks does not stop the worker: it only is not kept.
    await Promise.all(SITE.map((name) => cache.add(name).catch(() => {})));
    await self.skipWaiting();
  })());
});
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

function isolated(response) {
  const headers = new Headers(response.headers);
  headers.set('Cross-Origin-Opener-Policy', 'same-origin');
  headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
  headers.set('Cross-Origin-Resource-Policy', 'same-origin');
  return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    let response;
    try {
      response = await fetch(request);
      if (response.ok) await cache.put(request, response.clone());
    } catch (error) {
      response = await cache.match(request, { ignoreSearch: true });
      if (!response) throw error;
    }
    return response.status === 0 ? response : isolated(response);
  })());
});
