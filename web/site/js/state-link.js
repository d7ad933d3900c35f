// Links that open a prepared instrument: Copy link puts the state as it is
// now into the address's fragment; a page opened with such a link asks
// before it loads it in place of the user's own, which Undo import brings
// back. The core (recording/StateLink) owns the format, its version and its
// checks; this module deflates with the browser's own CompressionStream and
// moves the bytes in and out of base64url.
const $ = (selector, root = document) => root.querySelector(selector);

const TEXT_CANCEL = 314;
const TEXT_NOT_SAVED = 1306;
const TEXT_COPY_LINK = 2010;
const TEXT_COPIED = 2011;
const TEXT_COPY_YOURSELF = 2012;
const TEXT_TOO_LONG = 2013;
const TEXT_ASK = 2014;
const TEXT_LOAD = 2015;
const TEXT_DAMAGED = 2016;
const TEXT_FUTURE = 2017;
const TEXT_LOADED = 2018;
const TEXT_TOO_LONG_TO_OPEN = 2019;

// orx_StateLinkSplit's verdicts.
const LINK_DAMAGED = 1;
const LINK_FUTURE = 2;
const LINK_TOO_LONG = 3;
const LINK_SOUND = 4;
// The check line before the state text, with room to spare.
const PAYLOAD_EXTRA_BYTES = 64;

async function deflate(text) {
  const stream = new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  return new Uint8Array(await new Response(stream).arrayBuffer());
}

// The inflated text; throws for a damaged stream or one that would inflate
// past limit bytes (a link made to fill the memory).
async function inflate(bytes, limit) {
  const reader = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw')).getReader();
  const chunks = [];
  let size = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    size += value.length;
    if (size > limit) {
      await reader.cancel();
      throw new Error('too long');
    }
    chunks.push(value);
  }
  return new TextDecoder('utf-8', { fatal: true }).decode(await new Blob(chunks).arrayBuffer());
}

function toBase64Url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text) {
  const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

// The dialog that shows a made link, selected, for copying by hand too.
function linkDialog(t) {
  let dialog = $('#dialog-link');
  if (!dialog) {
    dialog = document.createElement('dialog');
    dialog.id = 'dialog-link';
    dialog.className = 'window';
    dialog.setAttribute('aria-labelledby', 'dialog-link-caption');
    dialog.innerHTML = '<h2 class="caption" id="dialog-link-caption"></h2><p class="text"></p>'
      + '<textarea class="link" readonly rows="4" spellcheck="false"></textarea>'
      + '<form method="dialog"><button class="close" autofocus></button></form>';
    document.body.append(dialog);
  }
  $('.caption', dialog).textContent = t(TEXT_COPY_LINK);
  $('.close', dialog).textContent = t(333);
  return dialog;
}

// state: the page's state actions (current(), importText()).
export async function copyLink(instrument, { state, dialogs }) {
  const t = (id) => instrument.text(id);
  const text = await state.current();
  if (text === null) {
    dialogs.message(t(TEXT_NOT_SAVED).replace('%1', String(Math.floor(instrument.maxStateBytes() / 1024))));
    return;
  }
  const data = toBase64Url(await deflate(instrument.stateLinkPayload(text)));
  const link = location.href.split('#')[0] + instrument.stateLinkHead() + data;
  const limit = instrument.stateLinkMaxChars();
  if (link.length > limit) {
    dialogs.message(t(TEXT_TOO_LONG).replace('%1', String(link.length)).replace('%2', String(limit)));
    return;
  }
  let copied = false;
  try {
    await navigator.clipboard.writeText(link);
    copied = true;
  } catch {
    // Not allowed here (no user gesture left, or an insecure page): the
    // dialog offers the link to copy by hand.
  }
  const dialog = linkDialog(t);
  $('.text', dialog).textContent = t(copied ? TEXT_COPIED : TEXT_COPY_YOURSELF).replace('%1', String(link.length));
  const field = $('.link', dialog);
  field.value = link;
  dialog.showModal();
  field.focus();
  field.select();
}

// The link the page was opened with, if it holds a state: taken out of the
// address bar at once (a reload must not offer it again), checked, and
// loaded after the user agrees. True once loaded.
export async function openLink(instrument, { state, dialogs }) {
  const t = (id) => instrument.text(id);
  const fragment = location.hash;
  const verdict = instrument.stateLinkSplit(fragment);
  if (!verdict) return false;
  history.replaceState(null, '', location.pathname + location.search);
  const refuse = (id) => { dialogs.message(t(id)); return false; };
  if (verdict === LINK_FUTURE) return refuse(TEXT_FUTURE);
  if (verdict === LINK_TOO_LONG) return refuse(TEXT_TOO_LONG_TO_OPEN);
  if (verdict !== LINK_SOUND) return refuse(TEXT_DAMAGED);
  let text = '';
  try {
    const payload = await inflate(fromBase64Url(instrument.stateLinkData()), instrument.maxStateBytes() + PAYLOAD_EXTRA_BYTES);
    text = instrument.stateLinkText(payload);
  } catch (error) {
    if (error.message === 'too long') return refuse(TEXT_TOO_LONG_TO_OPEN);
  }
  if (!text) return refuse(TEXT_DAMAGED);
  if (!(await dialogs.confirm(t(TEXT_ASK), t(TEXT_LOAD), t(TEXT_CANCEL)))) return false;
  return state.importText(text, TEXT_LOADED);
}
