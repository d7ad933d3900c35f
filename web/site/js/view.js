// What the window shows: the LCD picture, the two balloons, the window's
// texts, the LCD's tooltips and the scale of the whole.
import { balloonShape } from './balloon.js';
import { LCD_HEIGHT, LCD_WIDTH } from './instrument.js';
import { touchFirst } from './touch.js';

const DESIGN_WIDTH = 873;
const DESIGN_HEIGHT = 384;
const K1_ARROW_X = 240; // up, from the balloon below the keys
const K2_ARROW_X = 150; // down, from the balloon above the keys

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
    if (clientX !== undefined) {
      tooltip.style.left = `${clientX + 12}px`;
      tooltip.style.top = `${clientY + 20}px`;
    }
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
      $('#key-k1').setAttribute('aria-label', t(1380));
      $('#key-k2').setAttribute('aria-label', t(1381));
      lcdText.setAttribute('aria-label', t(1382));
      shownLcdText = null;
      showLcdText(instrument.lcdText());
      $('#tool-hints span').textContent = t(302);
      $('#tool-overview span').textContent = t(303);
      $('#tool-about span').textContent = t(304);
      $('#tool-manual span').textContent = t(305);
      $('#tool-manual').href = `manuals/${encodeURIComponent(t(306))}`;
      $('#tool-exit span').textContent = t(307);
      $('#export-state').textContent = t(330);
      $('#import-state').textContent = t(331);
      $('#status').textContent = statusText ?? this.usage();
    },
    // The usage line: the keys on the screen for touch, else the keyboard's.
    usage() {
      return instrument.text(touchFirst() ? 1385 : 308);
    },
    setStatus(text) {
      $('#status').textContent = text;
    },
    // Whole steps up on large screens; on a screen narrower than the design,
    // whatever fits.
    fit() {
      const win = $('#window');
      const fitScale = Math.min(innerWidth / DESIGN_WIDTH, innerHeight / DESIGN_HEIGHT);
      const scale = fitScale >= 1 ? Math.floor(fitScale) : fitScale;
      win.style.transform = `scale(${scale})`;
      win.style.left = `${Math.max(0, (innerWidth - DESIGN_WIDTH * scale) / 2)}px`;
      win.style.top = `${Math.max(0, (innerHeight - DESIGN_HEIGHT * scale) / 2)}px`;
    },
  };
}
