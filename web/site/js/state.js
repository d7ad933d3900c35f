// The instrument's saved state in the browser: the desktop's ini text, kept
// in local storage, and moved in and out as a file of the same format. The
// largest state the page keeps comes from the instrument (one limit for a
// save, an import and a load).
const KEY = 'orx700-demo.state';
// The state an import replaced, until the next import or its undoing.
const UNDO_KEY = 'orx700-demo.state-before-import';
const QUICK_START_KEY = 'orx700-demo.quick-start-shown';
export const STATE_FILE_NAME = 'orx700-demo.ini';

// The size of text as the instrument counts it: UTF-8 bytes.
export const byteSize = (text) => new TextEncoder().encode(text).length;

function read(key) {
  try {
    return localStorage.getItem(key);
  } catch {
    return null; // storage blocked
  }
}

function write(key, text) {
  try {
    if (text === null) localStorage.removeItem(key);
    else localStorage.setItem(key, text);
  } catch {
    // Storage full or blocked: the state lives until the page closes.
  }
}

// The stored state's text ('' for none: the defaults); tooLarge when the
// browser holds one past maxBytes, which is then not read (and not touched).
export function loadStoredState(maxBytes) {
  const text = read(KEY) ?? '';
  return byteSize(text) > maxBytes ? { text: '', tooLarge: true } : { text, tooLarge: false };
}

export function storeState(text) {
  write(KEY, text);
}

// The state before the last import, or null when there is none to go back to.
export function loadUndoState() {
  return read(UNDO_KEY);
}

export function storeUndoState(text) {
  write(UNDO_KEY, text);
}

// True the first time it is asked in this browser.
export function firstQuickStart() {
  try {
    if (localStorage.getItem(QUICK_START_KEY)) return false;
    localStorage.setItem(QUICK_START_KEY, '1');
  } catch {
    // Without storage the note shows at every start.
  }
  return true;
}

export function downloadState(text) {
  const url = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
  const link = document.createElement('a');
  link.href = url;
  link.download = STATE_FILE_NAME;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// A chosen file: { text }, { tooLarge } past maxBytes, or { notText } for
// one with zero bytes in it, as pictures and programs have.
export async function readStateFile(file, maxBytes) {
  if (file.size > maxBytes) return { tooLarge: true };
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (bytes.includes(0)) return { notText: true };
  return { text: new TextDecoder('utf-8').decode(bytes) };
}
