// What the window shows: the LCD picture, the two balloons, the window's
// texts, the LCD's tooltips and the scale of the whole.
import { balloonShape } from './balloon.js';
import { LCD_HEIGHT, LCD_WIDTH } from './instrument.js';
import { touchFirst } from './touch.js';

const DESIGN_WIDTH = 873;
const DESIGN_HEIGHT = 384;
// The LCD's first pixel in its picture, and picture pixels per LCD pixel.
const LCD_ORIGIN_X = 7;
const LCD_ORIGIN_Y = 2;
const LCD_PICTURE_SCALE = 2;
// The compact layout shows the instrument's face: the LCD and the keys with
// a little of the body around them (instrument coordinates).
const FACE = { left: 209, top: 80, width: 519, height: 148 };
const MENU_BAR_HEIGHT = 52;
const FACE_MARGIN = 8; // CSS pixels beside the face
const COMPACT_TEXT_SCALE = 15 / 11; // the dialogs' text, at a phone's reading size
const TOOLTIP_GAP = 3; // between the LCD and its tooltip
const TOOLTIP_POINTER = { x: 2, y: 16 }; // from the pointer, clear of the arrow
const K1_ARROW_X = 240; // up, from the balloon below the keys
const K2_ARROW_X = 150; // down, from the balloon above the keys
const TEXT_SIZE_NOT_FITTING = 2110;
// The presenter sizes' names, by halves of the design size.
export const PRESENTER_SIZES = [[2, 2107], [3, 2108], [4, 2109]];

const $ = (selector) => document.querySelector(selector);

export function createView(instrument) {
  const lcd = $('#lcd');
  const context = lcd.getContext('2d');
  const tooltip = $('#tooltip');
  const balloons = {
    k1: { element: $('#balloon-k1'), arrowX: K1_ARROW_X, down: false, get: () => instrument.hintK1() },
    k2: { element: $('#balloon-k2'), arrowX: K2_ARROW_X, down: true, get: () => instrument.hintK2() },
  };
  let pointer = null; // the pointer's last place over the LCD, in picture pixels
  let sizeNote = ''; // the status line's text while a presenter size does not fit
  const lcdText = $('#lcd-text');
  let shownLcdText = null;

  // The LCD's text alternative, one element per line; only changed lines are
  // touched, so that a screen reader says what changed.
  function showLcdText(text) {
    if (text === shownLcdText) return;
    shownLcdText = text;
    const lines = text === '' ? [] : text.split('\n');
    while (lcdText.children.length > lines.length) lcdText.lastElementChild.remove();
    while (lcdText.children.length < lines.length) lcdText.append(document.createElement('div'));
    lines.forEach((line, i) => {
      if (lcdText.children[i].textContent !== line) lcdText.children[i].textContent = line;
    });
  }

  function drawBalloon(balloon) {
    const text = balloon.get();
    const lines = text.split('\n').length;
    balloon.element.querySelector('.shape').innerHTML = balloonShape(balloon.arrowX, balloon.down, lines);
    const box = balloon.element.querySelector('.lines');
    box.style.top = balloon.down ? '7px' : `${122 - (lines * 13 + 14) + 7}px`;
    box.textContent = text;
  }

  function showScreenHint(clientX, clientY) {
    const hint = pointer ? instrument.screenHint(pointer.x, pointer.y) : '';
    lcd.classList.toggle('explained', hint !== '');
    if (!hint) {
      tooltip.hidden = true;
      return;
    }
    tooltip.textContent = hint;
    tooltip.hidden = false;
    if (clientX !== undefined) placeTooltip(clientX, clientY);
  }

  // As the desktop places it: level with the pointer but below the LCD, so
  // that it hides none of it; above the LCD where the screen ends below.
  function placeTooltip(clientX, clientY) {
    const lcdBox = lcd.getBoundingClientRect();
    const width = tooltip.offsetWidth;
    const height = tooltip.offsetHeight;
    let left = clientX + TOOLTIP_POINTER.x;
    let top = Math.max(lcdBox.bottom + TOOLTIP_GAP, clientY + TOOLTIP_POINTER.y);
    if (left + width > innerWidth) left = Math.max(0, innerWidth - width);
    if (top + height > innerHeight) top = Math.max(0, lcdBox.top - TOOLTIP_GAP - height);
    tooltip.style.left = `${left}px`;
    tooltip.style.top = `${top}px`;
  }

  // Moves the element by less than a screen pixel so that the LCD's pixels
  // fall on whole screen pixels.
  function alignLcd(move) {
    const box = lcd.getBoundingClientRect();
    const ratio = devicePixelRatio || 1;
    const scale = box.width / lcd.width;
    const x = (box.left + LCD_ORIGIN_X * scale) * ratio;
    const y = (box.top + LCD_ORIGIN_Y * scale) * ratio;
    move((Math.round(x) - x) / ratio, (Math.round(y) - y) / ratio);
  }

  // The largest scale at most fit at which an LCD pixel is a whole number of
  // screen pixels (the window's scale times 2 picture pixels times the
  // device pixel ratio); never below one screen pixel.
  function wholeScale(fit) {
    const steps = LCD_PICTURE_SCALE * (devicePixelRatio || 1);
    return Math.max(1, Math.floor(fit * steps + 1e-9)) / steps;
  }

  return {
    // After every repaint: the picture, both balloons (shown or not, so that
    // they are current when shown again), and the hint under a resting pointer.
    refresh(rgba) {
      context.putImageData(new ImageData(new Uint8ClampedArray(rgba.buffer), LCD_WIDTH, LCD_HEIGHT), 0, 0);
      drawBalloon(balloons.k1);
      drawBalloon(balloons.k2);
      if (pointer) showScreenHint();
      showLcdText(instrument.lcdText());
      // For timing tools: the first frame is when the page can be used.
      if (!performance.getEntriesByName('orx700-first-frame').length) performance.mark('orx700-first-frame');
      document.dispatchEvent(new Event('lcdrefresh'));
    },
    // Over the LCD: (clientX, clientY) in the page.
    pointerOverLcd(clientX, clientY) {
      const box = lcd.getBoundingClientRect();
      pointer = {
        x: Math.floor(((clientX - box.left) * LCD_WIDTH) / box.width),
        y: Math.floor(((clientY - box.top) * LCD_HEIGHT) / box.height),
      };
      showScreenHint(clientX, clientY);
    },
    pointerLeftLcd() {
      pointer = null;
      tooltip.hidden = true;
      lcd.classList.remove('explained');
    },
    showBalloons(shown) {
      for (const balloon of Object.values(balloons)) balloon.element.classList.toggle('hidden', !shown);
    },
    // The window's texts in the current language.
    loadTexts(statusText) {
      const t = (id) => instrument.text(id);
      document.title = t(300);
      document.documentElement.lang = instrument.languageName(instrument.languageIndex()) === 'RUS' ? 'ru' : 'en';
      $('#language-label').textContent = t(301);
      $('#menu-button .label').textContent = t(1387);
      $('#key-k1').setAttribute('aria-label', t(1380));
      $('#key-k2').setAttribute('aria-label', t(1381));
      $('#balloon-k1').dataset.keyName = t(1380);
      $('#balloon-k2').dataset.keyName = t(1381);
      lcdText.setAttribute('aria-label', t(1382));
      shownLcdText = null;
      showLcdText(instrument.lcdText());
      $('#tool-hints span').textContent = t(302);
      $('#tool-machines span').textContent = t(1200);
      $('#tool-overview span').textContent = t(303);
      $('#tool-about span').textContent = t(304);
      $('#tool-manual span').textContent = t(305);
      $('#tool-manual').href = `manuals/${encodeURIComponent(t(306))}`;
      $('#tool-exit span').textContent = t(307);
      $('#tool-transfer span').textContent = t(1756); // Transfer to PC
      $('#export-state').textContent = t(330);
      $('#import-state').textContent = t(331);
      $('#copy-link').textContent = t(2010);
      $('#tool-captions').textContent = t(1808);
      if ($('#record').getAttribute('aria-pressed') !== 'true') $('#record').textContent = t(2020);
      if ($('#record-animation').getAttribute('aria-pressed') !== 'true') $('#record-animation').textContent = t(2100);
      $('#play').textContent = t(2024);
      $('#animation-whole').textContent = t(2285);
      $('#animation-whole').title = t(2286);
      $('#own-state').textContent = t(2029);
      $('#captions').setAttribute('aria-label', t(1809));
      $('#size-label').textContent = t(2106);
      $('#presenter-size').title = t(2105);
      for (const option of $('#presenter-size').options)
        option.textContent = t(PRESENTER_SIZES.find(([halves]) => String(halves) === option.value)[1]);
      $('#status').textContent = statusText ?? this.usage();
      this.fit(); // a note of a size that does not fit, in this language
    },
    // The usage line: the keys on the screen for touch, else the keyboard's.
    usage() {
      return instrument.text(touchFirst() ? 1385 : 308);
    },
    setStatus(text) {
      $('#status').textContent = text;
    },
    // shown: the scale a presenter size too large for the window is shown
    // at, or 0 when it fits; the note goes when it fits again.
    noteSize(shown) {
      const status = $('#status');
      const name = PRESENTER_SIZES.find(([halves]) => halves === instrument.presenterSize());
      const note = shown && name ? instrument.text(TEXT_SIZE_NOT_FITTING)
        .replace('%1', instrument.text(name[1])).replace('%2', String(Math.round(shown * 100))) : '';
      if (note) status.textContent = note;
      else if (sizeNote && status.textContent === sizeNote) status.textContent = this.usage();
      sizeNote = note;
    },
    // The window at a scale that draws each LCD pixel on whole screen
    // pixels: the desktop's layout where it fits a landscape screen, the
    // compact one on small and portrait screens.
    // A side panel open on a wide screen (body's data-side-width, CSS
    // pixels) takes the right of it, and the window fits the rest.
    fit() {
      const win = $('#window');
      const compact = innerWidth < DESIGN_WIDTH || innerHeight < DESIGN_HEIGHT || innerHeight > innerWidth;
      const innerWidthBeside = innerWidth - (compact ? 0 : Number(document.body.dataset.sideWidth ?? 0));
      document.body.classList.toggle('compact', compact);
      const root = document.documentElement.style;
      if (!compact) {
        win.classList.remove('menu-open');
        // 1x is the page's usual size, as large as the browser's window
        // holds; 1.5x and 2x are kept where the window holds them, else the
        // window is fitted and the status line says so.
        const fitted = wholeScale(Math.min(innerWidthBeside / DESIGN_WIDTH, innerHeight / DESIGN_HEIGHT));
        const chosen = instrument.presenterSize() > 2 ? instrument.presenterSize() / 2 : 0;
        const scale = chosen ? Math.min(wholeScale(chosen), fitted) : fitted;
        this.noteSize(chosen && scale < wholeScale(chosen) ? scale : 0);
        const left = Math.max(0, (innerWidthBeside - DESIGN_WIDTH * scale) / 2);
        const top = Math.max(0, (innerHeight - DESIGN_HEIGHT * scale) / 2);
        root.setProperty('--ui-scale', String(scale));
        win.style.transform = `scale(${scale})`;
        win.style.left = `${left}px`;
        win.style.top = `${top}px`;
        $('#instrument-frame').style.cssText = '';
        $('#instrument').style.transform = '';
        alignLcd((dx, dy) => {
          win.style.left = `${left + dx}px`;
          win.style.top = `${top + dy}px`;
        });
        return;
      }
      this.noteSize(0); // the face is as large as the screen holds
      root.setProperty('--ui-scale', String(COMPACT_TEXT_SCALE));
      win.style.transform = '';
      // As wide as the screen, but leaving at least 40 % of the height below
      // the face for the balloons and the usage line.
      const room = Math.min((innerWidth - 2 * FACE_MARGIN) / FACE.width,
        (0.6 * (innerHeight - MENU_BAR_HEIGHT)) / FACE.height);
      const scale = wholeScale(room);
      const frame = $('#instrument-frame');
      const width = Math.round(FACE.width * scale);
      frame.style.width = `${width}px`;
      frame.style.height = `${Math.round(FACE.height * scale)}px`;
      frame.style.marginLeft = `${Math.max(0, Math.round((innerWidth - width) / 2))}px`;
      const place = (dx, dy) => {
        $('#instrument').style.transform =
          `translate(${dx - FACE.left * scale}px, ${dy - FACE.top * scale}px) scale(${scale})`;
      };
      place(0, 0);
      alignLcd(place);
    },
  };
}
