// The page's start: make sure threads are allowed, load the instrument, and
// wire the window to it.
import { createDialogs } from './dialogs.js';
import { attachInput } from './input.js';
import { loadInstrument } from './instrument.js';
import { ensureIsolation, keepForOffline } from './isolation.js';
import { attachState } from './state-actions.js';
import { firstQuickStart, loadStoredState } from './state.js';
import { createView } from './view.js';

const $ = (selector) => document.querySelector(selector);
const WINDOW_WIDTH = 873; // the window's design width
// The side panels' width beside the window: wide enough for the Machines
// editor's longest label; the window keeps its own width beside it where the
// screen holds both.
const PANEL_WIDTH = 470;
const PANEL_LEAST_WIDTH = 380;
// An exercise link's fragment (exercise.js reads the rest of it).
const EXERCISE_LINK = '#exercise=';
const TEXT_PART_NOT_LOADED = 1850;
const TEXT_CANCEL = 314;
const TEXT_STOP_AND_OPEN = 2301;
const TEXT_EXERCISE_STOPS_RECORDING = 2302;
const TEXT_IMPORT_STOPS_RECORDING = 2303;
const TEXT_STOP_AND_IMPORT = 2304;

// A panel not every user opens is loaded when first used, so that the start
// fetches only what the first LCD frame needs. load() imports its module,
// attach() wires it once; a module the server does not give (offline before
// the site was kept, a folder copied incompletely) is named in a message,
// and the panel is null.
function lazyPanel(file, load, attach, message) {
  let loading = null;
  return () => (loading ??= load().then(attach, () => {
    loading = null;
    message(file);
    return null;
  }));
}

async function start() {
  if (!(await ensureIsolation())) {
    $('#loading').hidden = true;
    $('#no-isolation').hidden = false;
    return;
  }
  let view = null;
  let dialogs = null;
  let pending = null; // a repaint that came before the view existed
  // The status line's text id while the instrument is off by Exit or an
  // import, which it says until the next power-on; 0 otherwise.
  let switchedOff = 0;
  const refresh = (rgba) => {
    view.refresh(rgba);
    if (switchedOff && instrument.isOn()) {
      switchedOff = 0;
      view.setStatus(view.usage());
    }
  };
  const instrument = await loadInstrument({
    onRefresh: (rgba) => (view ? refresh(rgba) : (pending = rgba)),
    onErrorMessage: (text) => dialogs.message(text, () => instrument.messageDismissed()),
  });
  view = createView(instrument);
  dialogs = createDialogs(instrument, { onClosed: () => document.activeElement?.blur() });
  const stored = loadStoredState(instrument.maxStateBytes());
  instrument.start(stored.text, navigator.language || 'en');
  if (pending) view.refresh(pending);

  const language = $('#language');
  for (let i = 0; i < instrument.languageCount(); ++i) language.add(new Option(instrument.languageName(i), instrument.languageName(i)));
  language.selectedIndex = instrument.languageIndex();
  // On a screen wide enough for both, the Machines panel stands beside the
  // window; else it covers the page until closed.
  let machines = null;
  let exercise = null;
  let playback = null;
  // ?kiosk=SCRIPT: a visitor's session is never kept.
  const kiosk = new URLSearchParams(location.search).has('kiosk');
  let measurements = null; // loaded on the first transfer
  const placeSide = () => {
    const open = Boolean(machines?.isOpen() || exercise?.isOpen() || measurements?.isOpen());
    const width = Math.min(PANEL_WIDTH, innerWidth - WINDOW_WIDTH);
    const beside = open && width >= PANEL_LEAST_WIDTH && innerHeight <= innerWidth;
    document.body.classList.toggle('side-open', open);
    document.body.classList.toggle('side-beside', beside);
    for (const panel of ['#exercise-panel', '#machines-panel', '#measurements-panel']) $(panel).style.width = beside ? `${width}px` : '';
    if (beside) document.body.dataset.sideWidth = String(width);
    else delete document.body.dataset.sideWidth;
    view.fit();
  };
  const notLoaded = (file) => dialogs.message(instrument.text(TEXT_PART_NOT_LOADED).replace('%1', file));
  // An exercise holds its own state, its hidden conditions in it: nothing
  // records it, puts it into a link or comes in over it while it runs.
  const EXERCISE_LOCKED = ['#record', '#play', '#own-state', '#copy-link', '#import-state', '#undo-import'];
  const exercisePanel = lazyPanel('js/exercise.js', () => import('./exercise.js'), (module) => (exercise = module.attachExercise(instrument, {
    stateSwapped: () => {
      for (const id of EXERCISE_LOCKED) $(id).disabled = Boolean(instrument.exerciseIsOpen());
      stateCaptions();
      language.selectedIndex = instrument.languageIndex();
      view.loadTexts();
      machines?.stateChanged();
      measurements?.databaseChanged();
      placeSide();
    },
    message: (text) => dialogs.message(text),
    kinds: () => JSON.parse(instrument.machineEditor(-1)).kinds,
    layoutChanged: placeSide,
    saveOwn: () => state.save(),
    beforeOpen: () => freeInstrument(TEXT_EXERCISE_STOPS_RECORDING, TEXT_STOP_AND_OPEN),
    showMeasurements: () => transferToPc(),
  })), notLoaded);
  const machinesPanel = lazyPanel('js/machines.js', () => import('./machines.js'), (module) => (machines = module.attachMachines(instrument, {
    layoutChanged: placeSide,
    openExercise: async () => (await exercisePanel())?.choose(),
  })), notLoaded);
  $('#tool-machines').addEventListener('click', async () => (await machinesPanel())?.toggle());
  language.addEventListener('change', () => {
    instrument.selectLanguage(language.selectedIndex);
    view.loadTexts(switchedOff ? instrument.text(switchedOff) : undefined);
    machines?.loadTexts();
    exercise?.loadTexts();
    captions?.update();
    recording?.loadTexts();
    animation?.loadTexts();
    instrument.recordLanguage(instrument.languageName(instrument.languageIndex()));
    measurements?.loadTexts();
  });
  view.loadTexts();

  const hints = $('#tool-hints');
  hints.addEventListener('click', () => {
    const shown = hints.getAttribute('aria-pressed') !== 'true';
    hints.setAttribute('aria-pressed', String(shown));
    view.showBalloons(shown);
    hints.blur();
  });
  $('#tool-overview').addEventListener('click', () => dialogs.overview());
  let loadingMeasurements = null;
  // Transfer to PC, then the Measurements panel: during an exercise both go
  // to the exercise's own database.
  async function transferToPc() {
    loadingMeasurements ??= import('./measurements.js').then((module) => (measurements = module.attachMeasurements(instrument, {
      layoutChanged: placeSide,
      status: (text) => view.setStatus(text),
      exerciseDatabase: () => exercise?.database() ?? null,
    })));
    (await loadingMeasurements).transfer();
  }
  $('#tool-transfer').addEventListener('click', () => {
    $('#tool-transfer').blur();
    transferToPc();
  });
  $('#tool-about').addEventListener('click', () => dialogs.about());
  const state = attachState(instrument, view, dialogs, {
    holdSaves: () => Boolean(exercise?.isOpen() || playback?.holdsSaves() || kiosk),
    beforeReplace: () => freeInstrument(TEXT_IMPORT_STOPS_RECORDING, TEXT_STOP_AND_IMPORT),
    keptTooLarge: stored.tooLarge,
    switchedOff: (id) => { switchedOff = id; view.setStatus(instrument.text(id)); },
    languageChanged: () => {
      stateCaptions();
      language.selectedIndex = instrument.languageIndex();
      view.loadTexts();
      machines?.loadTexts();
      machines?.stateChanged();
      measurements?.loadTexts();
    },
  });
  // Loaded when first used: the start needs none of it.
  const stateLink = () => import('./state-link.js');
  let captions = null;
  const showCaptions = async () => {
    captions ??= (await import('./captions.js')).attachCaptions(instrument);
    captions.update();
  };
  // The presenter size: the whole window at 1.5 or 2 times its design size
  // (1x: as large as the browser's window holds), kept in the state.
  const presenterSize = $('#presenter-size');
  presenterSize.addEventListener('change', () => {
    instrument.setPresenterSize(Number(presenterSize.value));
    presenterSize.blur(); // the arrow keys go to the instrument again
    view.fit();
  });
  // The state says whether captions are shown, and the presenter size: at
  // start, after an import or an exercise's state.
  const stateCaptions = () => {
    presenterSize.value = String(instrument.presenterSize());
    view.fit();
    $('#tool-captions').setAttribute('aria-pressed', String(Boolean(instrument.showKeyCaptions())));
    $('#animation-whole').setAttribute('aria-pressed', String(Boolean(instrument.animateWholeInstrument())));
    if (captions || instrument.showKeyCaptions()) showCaptions();
  };
  instrument.captionsAttach();
  let recording = null;
  // Before an exercise or an import puts another state in: a recording under
  // way is stopped and downloaded once the user agrees (false: nothing
  // happens), and a playback gives the user's own state back, so that no
  // copy is set aside or replaced as if it were theirs.
  async function freeInstrument(askId, acceptId) {
    if (instrument.isRecording()) {
      const t = (id) => instrument.text(id);
      if (!(await dialogs.confirm(t(askId), t(acceptId), t(TEXT_CANCEL)))) return false;
      await recording.stop();
    }
    return playback ? playback.giveBack() : true;
  }
  const usePlayback = async () => {
    playback ??= (await import('./playback.js')).attachPlayback(instrument, {
      view,
      dialogs,
      saveOwn: () => state.save(),
      stateSwapped: () => {
        stateCaptions();
        language.selectedIndex = instrument.languageIndex();
        view.loadTexts();
        machines?.stateChanged();
      },
    });
    instrument.onPlayLanguage((name) => {
      language.value = name;
      language.dispatchEvent(new Event('change'));
    });
    return playback;
  };
  $('#play').addEventListener('click', async () => {
    $('#play').blur();
    (await usePlayback()).choose();
  });
  $('#record').addEventListener('click', async () => {
    $('#record').blur();
    recording ??= (await import('./recording.js')).attachRecording(instrument, { view, dialogs });
    recording.toggle();
  });
  let animation = null;
  $('#record-animation').addEventListener('click', async () => {
    $('#record-animation').blur();
    animation ??= (await import('./animation.js')).attachAnimation(instrument, { view, dialogs });
    animation.toggle();
  });
  // Whether Record animation takes the whole instrument, kept in the state.
  $('#animation-whole').addEventListener('click', () => {
    $('#animation-whole').blur();
    instrument.setAnimateWholeInstrument(instrument.animateWholeInstrument() ? 0 : 1);
    stateCaptions();
  });
  $('#tool-captions').addEventListener('click', () => {
    instrument.setShowKeyCaptions(instrument.showKeyCaptions() ? 0 : 1);
    stateCaptions();
  });
  $('#copy-link').addEventListener('click', async () => (await stateLink()).copyLink(instrument, { state, dialogs }));
  $('#tool-exit').addEventListener('click', () => {
    $('#tool-exit').blur();
    state.exit();
  });

  attachMenu();
  attachInput(instrument, view);
  window.addEventListener('resize', () => {
    placeSide();
    machines?.resized();
    measurements?.resized();
  });
  // A window moved to a screen of another pixel ratio is fitted again.
  const watchPixelRatio = () => matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
    .addEventListener('change', () => { view.fit(); watchPixelRatio(); }, { once: true });
  watchPixelRatio();
  // A tablet's keyboard taken off or a mouse plugged in: the usage texts follow.
  for (const query of ['(pointer: coarse)', '(hover: none)'])
    matchMedia(query).addEventListener('change', () => view.loadTexts(switchedOff ? instrument.text(switchedOff) : undefined));
  // A part that failed meanwhile (the instrument's worker loads beside
  // this start) has said so instead.
  if (!$('#start-failure').hidden) return;
  $('#loading').hidden = true;
  $('#window').hidden = false;
  view.fit(); // once shown: it measures where the LCD lands
  if (firstQuickStart()) dialogs.quickStart();
  // For tests and tools: the page takes keys and the device's thread runs
  // (its worker may still be loading when the window is first shown; a key
  // pressed meanwhile waits for it).
  instrument.threadsLoaded().then(() => (document.body.dataset.ready = 'true'));
  stateCaptions();
  if (kiosk) {
    instrument.onPlayLanguage((name) => {
      language.value = name;
      language.dispatchEvent(new Event('change'));
    });
    (await import('./kiosk.js')).startKiosk(instrument, {
      view,
      dialogs,
      script: new URLSearchParams(location.search).get('kiosk'),
      // The kiosk's state is never kept: the captions go with it.
      captionsOn: () => { instrument.setShowKeyCaptions(1); stateCaptions(); },
    });
  }
  if (location.hash.startsWith(EXERCISE_LINK)) exercisePanel().then((panel) => panel?.openLink());
  if (instrument.stateLinkSplit(location.hash)) (await stateLink()).openLink(instrument, { state, dialogs });
  keepForOffline();
}

// The compact layout folds the tool bar into a menu: the menu button opens
// it; choosing an item, Escape, or a press elsewhere closes it, the focus
// going back to the button if it was in the menu.
function attachMenu() {
  const win = $('#window');
  const button = $('#menu-button');
  const toolbar = $('#toolbar');
  const setOpen = (open) => {
    if (!open && toolbar.contains(document.activeElement)) button.focus();
    win.classList.toggle('menu-open', open);
    button.setAttribute('aria-expanded', String(open));
  };
  const isOpen = () => win.classList.contains('menu-open');
  button.addEventListener('click', () => setOpen(!isOpen()));
  // Before the item's own handler, so that a dialog it opens finds the
  // focus on the menu button and gives it back there.
  toolbar.addEventListener('click', (event) => {
    if (isOpen() && event.target.closest('button, a')) setOpen(false);
  }, true);
  toolbar.addEventListener('change', () => { if (isOpen()) setOpen(false); });
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && isOpen()) setOpen(false);
  });
  document.addEventListener('pointerdown', (event) => {
    if (isOpen() && !toolbar.contains(event.target) && !button.contains(event.target)) setOpen(false);
  });
}

start().catch((error) => {
  console.error(error);
  // Shown by js/file-check.js, in both languages; without it, at least in one.
  if (typeof globalThis.showStartFailure === 'function') globalThis.showStartFailure(error);
  else $('#loading').textContent = `The instrument could not start: ${error.message}`;
});
