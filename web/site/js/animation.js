// Record animation in the page: every LCD picture shown from Record
// animation to Stop animation, downloaded as an animated GIF at twice the
// picture's size. The instrument's core keeps the pictures with the page's
// clock and gives the frames with their delays (equal neighbours merged, no
// delay under 20 ms, the last frame held to the end); this module feeds it
// each repaint and encodes what it gives.
import { download } from './dom.js';

const $ = (selector) => document.querySelector(selector);

const TEXT_PART_NOT_LOADED = 1850;
const TEXT_RECORD = 2100;
const TEXT_STOP = 2101;
const TEXT_STARTED = 2102;
const TEXT_SAVED = 2103;
const TEXT_FULL = 2104;
const FILE_NAME = 'orx700-animation.gif';
const ENCODER = 'js/gifenc.js';


export function attachAnimation(instrument, { view, dialogs }) {
  const t = (id) => instrument.text(id);
  const button = $('#record-animation');
  let encoder = null;
  const loadTexts = () => {
    const capturing = Boolean(instrument.animationCapturing());
    button.textContent = t(capturing ? TEXT_STOP : TEXT_RECORD);
    button.setAttribute('aria-pressed', String(capturing));
  };

  function encode(count) {
    const width = instrument.animationWidth();
    const height = instrument.animationHeight();
    const palette = JSON.parse(instrument.animationPalette());
    const gif = encoder.GIFEncoder();
    for (let i = 0; i < count; ++i) {
      // A GIF delay counts hundredths of a second; the encoder takes ms.
      gif.writeFrame(instrument.animationFrame(i), width, height,
        { palette: i === 0 ? palette : undefined, delay: instrument.animationDelayCs(i) * 10 });
    }
    gif.finish();
    return gif.bytes();
  }

  function stop() {
    document.removeEventListener('lcdrefresh', onRefresh);
    const full = Boolean(instrument.animationFull());
    const count = instrument.animationFinish();
    const seconds = (instrument.animationDuration() / 1000).toFixed(1);
    const bytes = encode(count);
    instrument.animationClear();
    loadTexts();
    download(bytes, FILE_NAME, 'image/gif');
    view.setStatus(full
      ? t(TEXT_FULL).replace('%1', seconds).replace('%2', String(instrument.animationMaxFrames())).replace('%3', FILE_NAME)
      : t(TEXT_SAVED).replace('%1', FILE_NAME).replace('%2', seconds).replace('%3', String(count)));
  }

  // Full: the capture ends here and what it holds is saved.
  function onRefresh() {
    if (!instrument.animationCapture()) stop();
  }

  async function start() {
    try {
      encoder ??= await import('./gifenc.js');
    } catch {
      return dialogs.message(t(TEXT_PART_NOT_LOADED).replace('%1', ENCODER));
    }
    if (!instrument.animationStart()) return undefined;
    document.addEventListener('lcdrefresh', onRefresh);
    view.setStatus(t(TEXT_STARTED));
    return loadTexts();
  }

  return {
    toggle: () => (instrument.animationCapturing() ? stop() : start()),
    loadTexts,
  };
}
