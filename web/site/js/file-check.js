// A classic script, so that it runs where the page's modules cannot: opened
// as a file, the browser loads no module (and allows no threads), and the
// page says how to serve it instead of staying blank; a script or module
// missing from the server stops the start, and the page names it.
'use strict';

function whenParsed(show) {
  if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', show, { once: true });
  else show();
}

// Shows why the instrument could not start, in both languages (the page's
// string tables are in the module, which may be what is missing). error:
// a file that could not be loaded (error.missingFile, its path in the site),
// one that is damaged (error.damagedFile), or any other failure (its
// message). A vague report (a module script whose graph failed, the file not
// named) gives way to any other.
let shownStartFailure = null;
function showStartFailure(error, { vague = false } = {}) {
  if (shownStartFailure && (vague || !shownStartFailure.vague)) return;
  shownStartFailure = { vague };
  whenParsed(() => {
    const failure = document.getElementById('start-failure');
    const file = error?.missingFile ?? error?.damagedFile;
    const kind = error?.missingFile ? 'missing' : error?.damagedFile ? 'damaged' : 'other';
    for (const element of failure.querySelectorAll('p')) element.hidden = !element.classList.contains(kind);
    for (const element of failure.querySelectorAll('.file')) element.textContent = file ?? '';
    for (const element of failure.querySelectorAll('.detail')) element.textContent = String(error?.message ?? error);
    document.getElementById('loading').hidden = true;
    document.getElementById('window').hidden = true;
    failure.hidden = false;
    // A part that failed after the window was shown (the instrument's
    // worker loads beside the start): nothing of it stays in front.
    for (const dialog of document.querySelectorAll('dialog[open]')) dialog.close();
    delete document.body.dataset.ready;
  });
}

if (location.protocol === 'file:') {
  whenParsed(() => {
    document.getElementById('loading').hidden = true;
    document.getElementById('no-isolation').hidden = false;
  });
} else {
  // A script or a module of the page that the server does not have: the
  // page's start would never run (or never end). Load errors do not bubble,
  // so they are caught on their way down.
  addEventListener('error', (event) => {
    const element = event.target;
    const source = element instanceof HTMLScriptElement ? element.src
      : element instanceof HTMLLinkElement && element.rel === 'modulepreload' ? element.href : null;
    if (!source) return;
    // A module script fails for any module of its graph: the preload hint of
    // the one missing names it better.
    const vague = element instanceof HTMLScriptElement && element.type === 'module';
    const url = new URL(source);
    if (url.origin !== location.origin) return;
    const base = new URL('.', document.baseURI).pathname;
    const name = decodeURIComponent(url.pathname.startsWith(base) ? url.pathname.slice(base.length) : url.pathname);
    showStartFailure(Object.assign(new Error(`${name} could not be loaded`), { missingFile: name }), { vague });
  }, true);
}
