// What the page does with the instrument's state: it keeps it in the browser
// whenever the page may go (hidden, closed, reloaded) and at Exit, moves it
// out (Export) and in (Import, Undo import). A save never switches the
// instrument off nor waits on the page's thread: it takes the state the
// firmware published at its last key wait. Only an import switches it off,
// as it must for the new state to take, and says so.
import { downloadState, loadStoredState, loadUndoState, readStateFile, storeState, storeUndoState } from './state.js';

const $ = (selector) => document.querySelector(selector);

// A measurement takes some seconds; Export waits for it to end, this long
// at most, so that the file holds it.
const BUSY_LIMIT_MS = 15000;
// How long the firmware may take to put its state back at power-off (a
// measurement under way ends first; an open message of it holds it longer).
const PARK_LIMIT_MS = 15000;
// Damaged lines listed before "and N more".
const LISTED_LINES = 12;

const TEXT_NOT_A_STATE = 332;
const TEXT_SWITCHED_OFF_AND_SAVED = 334;
const TEXT_UNDO_IMPORT = 1300;
const TEXT_FILE_TOO_LARGE = 1301;
const TEXT_FILE_DAMAGED = 1302;
const TEXT_REPLACE = 1303;
const TEXT_CANCEL = 314;
const TEXT_IMPORTED = 1304;
const TEXT_IMPORT_UNDONE = 1305;
const TEXT_NOT_SAVED = 1306;
const TEXT_NOT_SWITCHED_OFF = 1307;
const TEXT_STORED_TOO_LARGE = 1308;
const TEXT_MORE_LINES = 1309;
const TEXT_EXPORTED_OWN_STATE = 1860;
const TEXT_NOTHING_TO_EXPORT = 1861;

const CHECK_NOT_A_STATE = 0;
const CHECK_DAMAGED = 1;
const CHECK_TOO_LARGE = 3;

// Resolves true once condition() holds, false after limitMs; the page's
// thread is free in between.
export function until(condition, limitMs) {
  const start = performance.now();
  return new Promise((resolve) => {
    const look = () => {
      if (condition()) resolve(true);
      else if (performance.now() - start > limitMs) resolve(false);
      else setTimeout(look, 50);
    };
    look();
  });
}

// hooks: keptTooLarge (the browser holds a state past the limit, not
// loaded: saves on hiding the page leave it alone until the user exports,
// exits or imports),
// switchedOff(textId) and languageChanged() for the window.
// holdSaves() says when the state is not the user's own (an exercise runs):
// saves then leave the kept state alone. beforeReplace() frees the
// instrument of a recording or a playback before an import or Undo import
// (resolves false when the user would rather not).
export function attachState(instrument, view, dialogs, { keptTooLarge, switchedOff, languageChanged, holdSaves = () => false, beforeReplace = async () => true }) {
  const t = (id) => instrument.text(id);
  const maxBytes = instrument.maxStateBytes();
  const kib = String(Math.floor(maxBytes / 1024));
  const undoButton = $('#undo-import');
  const showUndo = () => { undoButton.hidden = loadUndoState() === null; };
  const setUndoText = () => { undoButton.textContent = t(TEXT_UNDO_IMPORT); };
  let keepOff = keptTooLarge;

  // Stores the state as it is now; the text, or null when nothing was stored.
  function save({ automatic = false } = {}) {
    if ((automatic && keepOff) || holdSaves()) return null;
    const text = instrument.saveState();
    if (!text) {
      view.setStatus(t(TEXT_NOT_SAVED).replace('%1', kib));
      return null;
    }
    keepOff = false;
    storeState(text);
    return text;
  }

  // Switches off, waits for the firmware to put its state back, and replaces
  // the state with text; the stored text, or null (a message said why).
  async function replaceState(text) {
    // Switched on again meanwhile: off again.
    const parked = () => { instrument.powerOff(); return instrument.isParked(); };
    if (!(await until(parked, PARK_LIMIT_MS))) {
      dialogs.message(t(TEXT_NOT_SWITCHED_OFF));
      return null;
    }
    const state = instrument.applyState(text);
    if (!state) {
      dialogs.message(t(TEXT_FILE_TOO_LARGE).replace('%1', kib));
      return null;
    }
    keepOff = false;
    storeState(state);
    languageChanged();
    setUndoText();
    return state;
  }

  async function importFile(chosen) {
    const file = await readStateFile(chosen, maxBytes);
    if (file.tooLarge) return dialogs.message(t(TEXT_FILE_TOO_LARGE).replace('%1', kib));
    if (file.notText) return dialogs.message(t(TEXT_NOT_A_STATE));
    return importText(file.text, TEXT_IMPORTED);
  }

  // Replaces the state with text after its checks, keeping what it replaces
  // for Undo import; statusId says what happened on the status line. True
  // once imported.
  async function importText(text, statusId) {
    const verdict = instrument.checkState(text);
    if (verdict === CHECK_TOO_LARGE) return dialogs.message(t(TEXT_FILE_TOO_LARGE).replace('%1', kib)) ?? false;
    if (verdict === CHECK_NOT_A_STATE) return dialogs.message(t(TEXT_NOT_A_STATE)) ?? false;
    if (verdict === CHECK_DAMAGED) {
      const lines = instrument.checkDetails().split('\n').filter((line) => line !== '');
      const listed = lines.slice(0, LISTED_LINES);
      if (lines.length > LISTED_LINES) listed.push(t(TEXT_MORE_LINES).replace('%1', String(lines.length - LISTED_LINES)));
      const question = t(TEXT_FILE_DAMAGED).replace('%1', listed.join('\n'));
      if (!(await dialogs.confirm(question, t(TEXT_REPLACE), t(TEXT_CANCEL)))) return false;
    }
    if (!(await beforeReplace())) return false;
    // What the import replaces is what the instrument holds now, measured a
    // moment ago included (or, should that not fit, what was saved last;
    // with a state too large to load, the defaults the page started with).
    const before = keepOff ? '' : instrument.saveState() || loadStoredState(maxBytes).text;
    if (!(await replaceState(text))) return false;
    storeUndoState(before);
    showUndo();
    switchedOff(statusId);
    return true;
  }

  const file = $('#import-file');
  $('#import-state').addEventListener('click', () => file.click());
  file.addEventListener('change', () => {
    const chosen = file.files[0];
    file.value = '';
    if (chosen) importFile(chosen);
  });
  undoButton.addEventListener('click', async () => {
    const before = loadUndoState();
    if (before === null || !(await beforeReplace()) || !(await replaceState(before))) return;
    storeUndoState(null);
    showUndo();
    switchedOff(TEXT_IMPORT_UNDONE);
  });
  $('#export-state').addEventListener('click', async () => {
    // While an exercise runs, its state holds the hidden conditions in plain
    // text: Export gives the user's own state, kept as it was at the open.
    if (holdSaves()) {
      const own = loadStoredState(maxBytes);
      if (own.tooLarge || own.text === '') return view.setStatus(t(TEXT_NOTHING_TO_EXPORT));
      downloadState(own.text);
      return view.setStatus(t(TEXT_EXPORTED_OWN_STATE));
    }
    await until(() => !instrument.isBusy(), BUSY_LIMIT_MS);
    const text = save();
    if (text !== null) downloadState(text);
  });
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden') save({ automatic: true });
  });
  window.addEventListener('pagehide', () => save({ automatic: true }));
  // The texts follow the language.
  $('#language').addEventListener('change', setUndoText);
  setUndoText();
  showUndo();
  if (keptTooLarge) dialogs.message(t(TEXT_STORED_TOO_LARGE).replace('%1', kib));

  return {
    // Stores the state as it is now (before an exercise sets it aside).
    save: () => save(),
    // The state as it is now (for a link), once a measurement under way has
    // ended; null when it would pass the limit.
    async current() {
      await until(() => !instrument.isBusy(), BUSY_LIMIT_MS);
      return instrument.saveState() || null;
    },
    importText,
    // Exit: the instrument switches off as its power-off timer would, and its
    // state is stored once the firmware has put it back (pagehide stores the
    // same state should the page go first).
    async exit() {
      instrument.powerOff();
      switchedOff(TEXT_SWITCHED_OFF_AND_SAVED);
      await until(() => instrument.isParked(), PARK_LIMIT_MS);
      save();
    },
  };
}
