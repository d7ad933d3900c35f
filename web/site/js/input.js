// The window's input: the arrow keys, the mouse buttons over the instrument
// and touches on the two keys press the instrument's keys; the instrument's
// own classifier (short, long, held, both) does the rest. The two keys are
// buttons too: focused, Space or Enter presses one for as long as it is held.
// The pointer keeps the instrument awake and explains the LCD under it.
import { KEY_K1, KEY_K2 } from './instrument.js';

const $ = (selector) => document.querySelector(selector);
// A press a screen reader makes (a click with no key or pointer behind it)
// is a short click of this length.
const ASSISTED_PRESS_MS = 60;
const pressKeys = new Set([' ', 'Enter']);

export function attachInput(instrument, view) {
  const area = $('#instrument');
  const language = $('#language');
  const keys = { [KEY_K1]: $('#key-k1'), [KEY_K2]: $('#key-k2') };
  const touches = new Map(); // pointer id -> key, for touches on the keys

  function setKeyState(key, down) {
    keys[key].classList.toggle('pressed', down);
    if (down) instrument.keyDown(key);
    else instrument.keyUp();
  }

  const arrowKey = (event) => (event.key === 'ArrowRight' ? KEY_K1 : event.key === 'ArrowLeft' ? KEY_K2 : 0);
  // The Machines panel is no modal dialog: the instrument stays in use beside it.
  const modalOpen = () => document.querySelector('dialog[open]:not(.side-panel)') !== null;

  document.addEventListener('keydown', (event) => {
    const key = arrowKey(event);
    if (!key || modalOpen()) return;
    // A focused language box, or a control of a side panel, takes the
    // arrows for itself.
    if (document.activeElement === language || document.activeElement?.closest('#machines-panel, #measurements-panel')) return;
    event.preventDefault();
    // The keyboard's own repeat is no new press: the instrument repeats itself.
    if (!event.repeat) setKeyState(key, true);
  });
  document.addEventListener('keyup', (event) => {
    const key = arrowKey(event);
    if (key) setKeyState(key, false);
  });

  // Mouse: the left button is K2, the right one K1, anywhere on the
  // instrument. Touch and pen: the key touched.
  const mouseKey = (button) => (button === 0 ? KEY_K2 : button === 2 ? KEY_K1 : 0);
  area.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'mouse') {
      const key = mouseKey(event.button);
      if (key) setKeyState(key, true);
      return;
    }
    const keyElement = event.target.closest('.key');
    if (!keyElement) return;
    event.preventDefault();
    const key = keyElement === keys[KEY_K1] ? KEY_K1 : KEY_K2;
    touches.set(event.pointerId, key);
    keyElement.setPointerCapture(event.pointerId);
    setKeyState(key, true);
  });
  const endTouch = (event) => {
    const key = touches.get(event.pointerId);
    if (key === undefined) return;
    touches.delete(event.pointerId);
    setKeyState(key, false);
  };
  document.addEventListener('pointerup', (event) => {
    if (event.pointerType === 'mouse') {
      const key = mouseKey(event.button);
      if (key) setKeyState(key, false);
      return;
    }
    endTouch(event);
  });
  document.addEventListener('pointercancel', endTouch);
  for (const [key, element] of Object.entries(keys).map(([k, e]) => [Number(k), e])) {
    let held = false; // by Space or Enter on the focused key
    const release = () => {
      if (!held) return;
      held = false;
      setKeyState(key, false);
    };
    element.addEventListener('keydown', (event) => {
      if (!pressKeys.has(event.key)) return;
      event.preventDefault();
      // The keyboard's own repeat is no new press: the instrument repeats itself.
      if (event.repeat || held) return;
      held = true;
      setKeyState(key, true);
    });
    element.addEventListener('keyup', (event) => {
      if (!pressKeys.has(event.key)) return;
      event.preventDefault();
      release();
    });
    element.addEventListener('blur', release);
    element.addEventListener('click', (event) => {
      if (event.detail !== 0 || held) return;
      setKeyState(key, true);
      setTimeout(() => setKeyState(key, false), ASSISTED_PRESS_MS);
    });
  }
  area.addEventListener('contextmenu', (event) => event.preventDefault());
  area.addEventListener('dragstart', (event) => event.preventDefault());

  // A mouse leaving the window with a button held ends the press at that
  // moment; the pressed picture stays until the button is released.
  $('#window').addEventListener('pointerleave', (event) => {
    if (event.pointerType === 'mouse' && event.buttons !== 0) instrument.keyUp();
    view.pointerLeftLcd();
  });

  area.addEventListener('pointermove', (event) => {
    instrument.keepAlive();
    // A pointer over the instrument means the arrow keys are for it.
    if (document.activeElement === language) language.blur();
    if (event.target.id === 'lcd') view.pointerOverLcd(event.clientX, event.clientY);
    else view.pointerLeftLcd();
  });
  $('#lcd').addEventListener('pointerleave', () => view.pointerLeftLcd());
}
