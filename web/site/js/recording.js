// Record in the page: the session from the state the instrument holds (it
// is switched off first, as a recording starts from a state) to Stop
// recording, downloaded as a script that orx700-sim replays and checks. The
// core's recorder records; this module starts and stops it.
import { download } from './dom.js';
import { until } from './state-actions.js';

const $ = (selector) => document.querySelector(selector);

const TEXT_NOT_SWITCHED_OFF = 1307;
const TEXT_RECORD = 2020;
const TEXT_STOP = 2021;
const TEXT_STARTED = 2022;
const TEXT_SAVED = 2023;
const FILE_NAME = 'orx700-recording.txt';
// How long the firmware may take to switch off, and a measurement to end
// before the last check.
const PARK_LIMIT_MS = 15000;
const BUSY_LIMIT_MS = 15000;


export function attachRecording(instrument, { view, dialogs }) {
  const t = (id) => instrument.text(id);
  const button = $('#record');
  let startedAt = 0;
  const loadTexts = () => {
    const recording = Boolean(instrument.isRecording());
    button.textContent = t(recording ? TEXT_STOP : TEXT_RECORD);
    button.setAttribute('aria-pressed', String(recording));
  };

  async function start() {
    const parked = () => { instrument.powerOff(); return instrument.isParked(); };
    if (!(await until(parked, PARK_LIMIT_MS))) return dialogs.message(t(TEXT_NOT_SWITCHED_OFF));
    if (!instrument.recordStart()) return dialogs.message(t(TEXT_NOT_SWITCHED_OFF));
    startedAt = performance.now();
    view.setStatus(t(TEXT_STARTED));
    return loadTexts();
  }

  async function stop() {
    await until(() => !instrument.isBusy(), BUSY_LIMIT_MS);
    const script = instrument.recordFinish();
    loadTexts();
    if (!script) return;
    download(script, FILE_NAME);
    const seconds = ((performance.now() - startedAt) / 1000).toFixed(1);
    view.setStatus(t(TEXT_SAVED).replace('%1', FILE_NAME).replace('%2', seconds));
  }

  return {
    toggle: () => (instrument.isRecording() ? stop() : start()),
    // Stops a recording under way and downloads it.
    stop,
    loadTexts,
  };
}
