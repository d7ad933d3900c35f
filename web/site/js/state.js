// The instrument's saved state in the browser: the desktop's ini text, kept
// in local storage, and moved in and out as a file of the same format.
const KEY = 'orx700-demo.state';
const QUICK_START_KEY = 'orx700-demo.quick-start-shown';
export const STATE_FILE_NAME = 'orx700-demo.ini';
// Far larger than any saved state; a bigger file is not one.
const MAX_STATE_BYTES = 256 * 1024;

// The stored state's text; none (the defaults) when there is none, or when
// it is far too large to be one.
export function loadStoredState() {
  try {
    const text = localStorage.getItem(KEY) ?? '';
    return text.length > MAX_STATE_BYTES ? '' : text;
  } catch {
    return ''; // storage blocked: the defaults
  }
}

export function storeState(text) {
  try {
    localStorage.setItem(KEY, text);
  } catch {
    // Storage full or blocked: the state lives until the page closes.
  }
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

// The text of a chosen file, or null for one that is no text file (too large,
// or with zero bytes in it, as pictures and programs have).
export async function readStateFile(file) {
  if (file.size > MAX_STATE_BYTES) return null;
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (bytes.includes(0)) return null;
  return new TextDecoder('utf-8').decode(bytes);
}
