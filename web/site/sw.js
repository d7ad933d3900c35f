// The page's service worker. It makes the page cross-origin isolated on a
// host that does not send the headers itself (every same-origin response
// gets them), and keeps the site for use without a network: the network
// first, so that a new version is picked up, the kept copy when it fails.
const CACHE = 'orx700-demo';
// Everything the page needs to start, kept at the worker's install.
const SITE = [
  './', 'index.html', 'style.css', 'sw.js', 'orx700.js', 'orx700.wasm', 'orx700.worker.js',
  'orx700db.js', 'orx700db.wasm', 'orx700db.worker.js',
  'js/animation.js', 'js/animation-whole.js', 'js/balloon.js', 'js/captions.js', 'js/dialogs.js', 'js/dom.js', 'js/exercise.js', 'js/file-check.js', 'js/gifenc.js', 'js/input.js', 'js/instrument.js',
  'js/isolation.js', 'js/kiosk.js', 'js/load-module.js', 'js/machines.js', 'js/main.js', 'js/measurement-db.js', 'js/measurements.js', 'js/playback.js', 'js/plot-canvas.js', 'js/reading-view.js', 'js/recording.js', 'js/signal-plot.js', 'js/state.js', 'js/state-actions.js', 'js/state-link.js', 'js/touch.js', 'js/trend-plot.js', 'js/view.js',
  'images/device.svg', 'images/key-pressed.svg', 'images/orx700-demo.svg', 'images/tool-about.svg',
  'images/tool-exit.svg', 'images/tool-hints.svg', 'images/tool-machines.svg', 'images/tool-manual.svg',
  'images/tool-overview.svg', 'images/tool-transfer.svg',
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

// The user manuals (about 750 KB each), kept when a running page asks, so
// that a manual never opened before opens without a network too, and
// without delaying the install, which a first start may wait for.
const MANUALS = ['manuals/usermanual_orx700.pdf', 'manuals/ORX-700_РЭ.pdf'];

async function keepMissing(names) {
  const cache = await caches.open(CACHE);
  // A manual the site lacks is only not kept; one kept already is brought
  // up to date whenever it is opened with a network.
  await Promise.all(names.map(async (name) => {
    if (!(await cache.match(name))) await cache.add(name).catch(() => {});
  }));
}

self.addEventListener('message', (event) => {
  if (event.data === 'keep-manuals') event.waitUntil(keepMissing(MANUALS));
});

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
