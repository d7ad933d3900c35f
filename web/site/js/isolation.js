// Threads need a cross-origin isolated page. A server that sends the two
// headers gives that at once; on any other host the page's own service worker
// adds them to every response and the page reloads once under its control.
const RELOADED = 'orx700-demo.isolation-reload';

// Resolves true when the page is isolated; false when it cannot be (the
// caller shows how to serve it), and never when a reload is under way.
export async function ensureIsolation() {
  if (self.crossOriginIsolated) {
    sessionStorage.removeItem(RELOADED);
    return true; // the service worker is still wanted: see keepForOffline
  }
  if (!('serviceWorker' in navigator) || !self.isSecureContext) return false;
  if (sessionStorage.getItem(RELOADED)) {
    // The worker controls the page and still no isolation: give up clearly.
    sessionStorage.removeItem(RELOADED);
    return false;
  }
  try {
    const registration = await navigator.serviceWorker.register('sw.js');
    await navigator.serviceWorker.ready;
    if (!registration.active) return false;
  } catch {
    return false;
  }
  sessionStorage.setItem(RELOADED, '1');
  location.reload();
  return new Promise(() => {});
}

// Once the page runs: the service worker keeps the site, and both user
// manuals, for use without a network. Left until then because its first
// install fetches the whole site again, which the start does not need.
export async function keepForOffline() {
  if (!('serviceWorker' in navigator)) return;
  try {
    await navigator.serviceWorker.register('sw.js');
    const registration = await navigator.serviceWorker.ready;
    registration.active?.postMessage('keep-manuals');
  } catch {
    // Blocked by the browser's settings: the page works, only not offline.
  }
}
