// The page as a trade-show kiosk (?kiosk=SCRIPT, a recording on the site;
// the tour built into the module without one): the core's kiosk plays the tour in a loop,
// gives way to a visitor's first key, click, touch or pointer move and
// comes back after the idle time. Exit, Import, the state link and the
// recorder are hidden, so visitors cannot leave or change the setup, and
// the page never saves the state while it runs.
const $ = (selector) => document.querySelector(selector);

// The name messages give the built-in tour.
const BUNDLED_TOUR = 'tour';
const TEXT_TOURING = 2031;
const TEXT_LIVE = 2032;
const TEXT_REFUSED = 2033;
const PHASE_TOURING = 1;
const PHASE_LIVE = 2;
const IDLE_MINUTES = 3;
const HIDDEN = ['#tool-exit', '#tool-transfer', '#import-state', '#copy-link', '#record', '#record-animation', '#animation-whole', '#size-panel', '#play', '#own-state', '#undo-import'];
const INPUTS = ['keydown', 'pointerdown', 'pointermove', 'touchstart', 'wheel'];

// Resolves true once the tour plays; false after a message said why not.
// captionsOn() shows the key captions: each round of the tour starts from
// its own state, and the audience follows its keys by their captions.
export async function startKiosk(instrument, { view, dialogs, script, captionsOn = () => {} }) {
  const t = (id) => instrument.text(id);
  const name = script || BUNDLED_TOUR;
  let text = '';
  let reason = '';
  if (!script || script === BUNDLED_TOUR) {
    text = instrument.kioskBundledTour();
  } else {
    try {
      const response = await fetch(name);
      if (response.ok) text = await response.text();
      else reason = `HTTP ${response.status}`;
    } catch (error) {
      reason = error.message;
    }
  }
  const refusal = reason || instrument.kioskStart(text, IDLE_MINUTES);
  if (refusal) {
    dialogs.message(t(TEXT_REFUSED).replace('%1', name.startsWith('data:') ? 'data:' : name).replace('%2', refusal));
    return false;
  }
  for (const selector of HIDDEN) $(selector)?.classList.add('kiosk-hidden');
  document.body.classList.add('kiosk');
  const show = (phase) => {
    view.setStatus(phase === PHASE_LIVE ? t(TEXT_LIVE).replace('%1', String(IDLE_MINUTES)) : t(TEXT_TOURING));
    document.body.dataset.kiosk = phase === PHASE_TOURING ? 'touring' : phase === PHASE_LIVE ? 'live' : 'restarting';
    if (phase === PHASE_TOURING) captionsOn();
  };
  instrument.onKioskPhase(show);
  show(instrument.kioskPhase());
  // Before the input reaches the instrument: the tour stops first.
  for (const type of INPUTS) document.addEventListener(type, () => instrument.kioskUserInput(), { capture: true, passive: true });
  $('#language').addEventListener('change', () => show(instrument.kioskPhase()));
  return true;
}
