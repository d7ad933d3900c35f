// Play in the page: a recording file played onto the instrument in real
// time, with its progress on the status line, from the recording's starting
// state. It plays on a copy: the user's own state stays kept in the browser
// (the page's saves leave it alone meanwhile) and Own state brings it back.
// Any key, click or touch of the user during the playback stops it and
// hands the instrument over as it stands. The core reads the recording and
// plays it; this module ticks it and follows it.
import { loadStoredState } from './state.js';
import { until } from './state-actions.js';

const $ = (selector) => document.querySelector(selector);

const TEXT_NOT_SWITCHED_OFF = 1307;
const TEXT_FILE_TOO_LARGE = 1301;
const TEXT_PLAY = 2024;
const TEXT_PLAYING = 2025;
const TEXT_REFUSED = 2026;
const TEXT_ENDED = 2027;
const TEXT_TAKEN_OVER = 2028;
const TEXT_OWN_STATE = 2029;
const TEXT_OWN_STATE_BACK = 2030;
const PARK_LIMIT_MS = 15000;
const PROGRESS_MS = 200; // the status line's progress steps
const MAX_FILE_BYTES = 4 * 1024 * 1024;

// hooks: stateSwapped() after the state was replaced (the window follows
// its language and captions), saveOwn() stores the own state as it is.
export function attachPlayback(instrument, { view, dialogs, stateSwapped, saveOwn }) {
  const t = (id) => instrument.text(id);
  const ownButton = $('#own-state');
  let onCopy = false;
  let playing = false;
  let name = '';
  let timer = 0;

  const seconds = (ms) => (ms / 1000).toFixed(1);
  const progress = () => view.setStatus(t(TEXT_PLAYING).replace('%1', name)
    .replace('%2', seconds(instrument.playElapsed())).replace('%3', seconds(instrument.playDuration())));

  function finish(textId) {
    clearTimeout(timer);
    playing = false;
    document.body.classList.remove('playing');
    view.setStatus(t(textId));
  }

  function tick() {
    const next = instrument.playTick();
    if (next < 0) return finish(TEXT_ENDED);
    progress();
    timer = setTimeout(tick, Math.min(next, PROGRESS_MS));
    return undefined;
  }

  // Switches off and puts text in as the whole state; false (a message said
  // why) when it could not.
  async function replace(text) {
    const parked = () => { instrument.powerOff(); return instrument.isParked(); };
    if (!(await until(parked, PARK_LIMIT_MS))) {
      dialogs.message(t(TEXT_NOT_SWITCHED_OFF));
      return false;
    }
    if (text && !instrument.applyState(text)) {
      dialogs.message(t(TEXT_FILE_TOO_LARGE).replace('%1', String(Math.floor(instrument.maxStateBytes() / 1024))));
      return false;
    }
    stateSwapped();
    return true;
  }

  async function play(file) {
    const text = file.size > MAX_FILE_BYTES ? '' : await file.text();
    const refusal = instrument.playLoad(text);
    if (refusal) return dialogs.message(t(TEXT_REFUSED).replace('%1', file.name).replace('%2', refusal));
    if (!onCopy) saveOwn();
    onCopy = true;
    ownButton.hidden = false;
    if (!(await replace(instrument.playState()))) return undefined;
    name = file.name;
    instrument.playStart();
    playing = true;
    document.body.classList.add('playing');
    return tick();
  }

  // The user's first input during the playback takes the instrument over;
  // the input itself then goes on to it.
  const takeOver = () => {
    if (!playing) return;
    instrument.playStop();
    finish(TEXT_TAKEN_OVER);
  };
  for (const type of ['keydown', 'pointerdown', 'touchstart'])
    document.addEventListener(type, takeOver, { capture: true, passive: true });

  // The playback stops and the user's own state replaces the copy; false
  // (a message said why) when it could not.
  async function giveBack() {
    takeOver();
    if (!onCopy) return true;
    if (!(await replace(loadStoredState(instrument.maxStateBytes()).text))) return false;
    onCopy = false;
    ownButton.hidden = true;
    return true;
  }

  ownButton.addEventListener('click', async () => {
    if (await giveBack()) view.setStatus(t(TEXT_OWN_STATE_BACK));
  });

  const input = document.createElement('input');
  Object.assign(input, { type: 'file', accept: '.txt,text/plain', hidden: true });
  document.body.append(input);
  input.addEventListener('change', () => {
    const chosen = input.files[0];
    input.value = '';
    if (chosen) play(chosen);
  });

  const loadTexts = () => {
    $('#play').textContent = t(TEXT_PLAY);
    ownButton.textContent = t(TEXT_OWN_STATE);
  };
  loadTexts();
  return {
    choose: () => input.click(),
    // While on a copy, the page's saves leave the own state alone.
    holdsSaves: () => onCopy,
    // Before an exercise or an import puts another state in: no copy is
    // ever set aside or replaced as if it were the user's own.
    giveBack,
    loadTexts,
    // For tests and tools: the file's text played as if chosen.
    play,
  };
}
