// Record animation in the page: every LCD picture shown from Record
// animation to Stop animation, downloaded as an animated GIF at twice the
// picture's size, or, with Whole instrument chosen, every look of the whole
// instrument with its key captions (animation-whole.js). The instrument's
// core keeps the pictures with the page's clock and gives the frames with
// their delays (equal neighbours merged, no delay under 20 ms, the last frame
// held to the end); this module feeds it each repaint and encodes what it
// gives.
import { download } from './dom.js';

const $ = (selector) => document.querySelector(selector);

const TEXT_PART_NOT_LOADED = 1850;
const TEXT_RECORD = 2100;
const TEXT_STOP = 2101;
const TEXT_STARTED = 2102;
const TEXT_SAVED = 2103;
const TEXT_FULL = 2104;
const TEXT_WHOLE_STARTED = 2287;
const FILE_NAME = 'orx700-animation.gif';
const ENCODER = 'js/gifenc.js';
const WHOLE = 'js/animation-whole.js';


export function attachAnimation(instrument, { view, dialogs }) {
  const t = (id) => instrument.text(id);
  const button = $('#record-animation');
  let encoder = null;
  let whole = null; // the whole instrument's module, once loaded
  // Ends the taking of the whole instrument's pictures while it captures.
  let stopWhole = null;
  const capturing = () => stopWhole !== null || Boolean(instrument.animationCapturing());
  const loadTexts = () => {
    button.textContent = t(capturing() ? TEXT_STOP : TEXT_RECORD);
    button.setAttribute('aria-pressed', String(capturing()));
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

  // What a stopped capture gives: its GIF, how long and how full it was.
  function finishLcd() {
    document.removeEventListener('lcdrefresh', onRefresh);
    const full = Boolean(instrument.animationFull());
    const count = instrument.animationFinish();
    const result = { full, count, kept: instrument.animationMaxFrames(), ms: instrument.animationDuration(), bytes: encode(count) };
    instrument.animationClear();
    return result;
  }

  function finishWhole() {
    stopWhole();
    stopWhole = null;
    const full = Boolean(instrument.wholeAnimationFull());
    const count = instrument.wholeAnimationFinish();
    const kept = instrument.wholeAnimationPictures();
    const ms = instrument.wholeAnimationDuration();
    const bytes = whole.encodeWhole(encoder, instrument, count);
    instrument.wholeAnimationClear();
    return { full, count, kept, ms, bytes };
  }

  function stop() {
    const { full, count, kept, ms, bytes } = stopWhole ? finishWhole() : finishLcd();
    const seconds = (ms / 1000).toFixed(1);
    loadTexts();
    download(bytes, FILE_NAME, 'image/gif');
    view.setStatus(full
      ? t(TEXT_FULL).replace('%1', seconds).replace('%2', String(kept)).replace('%3', FILE_NAME)
      : t(TEXT_SAVED).replace('%1', FILE_NAME).replace('%2', seconds).replace('%3', String(count)));
  }

  // Full: the capture ends here and what it holds is saved.
  function onRefresh() {
    if (!instrument.animationCapture()) stop();
  }

  async function start() {
    const wanted = Boolean(instrument.animateWholeInstrument());
    try {
      encoder ??= await import('./gifenc.js');
      if (wanted) whole ??= await import('./animation-whole.js');
    } catch {
      return dialogs.message(t(TEXT_PART_NOT_LOADED).replace('%1', wanted ? WHOLE : ENCODER));
    }
    if (wanted) {
      // Full: the capture ended there, and what it holds is saved.
      stopWhole = whole.captureWhole(instrument, () => setTimeout(() => stopWhole && stop()));
      if (!stopWhole) return undefined;
      view.setStatus(t(TEXT_WHOLE_STARTED));
      return loadTexts();
    }
    if (!instrument.animationStart()) return undefined;
    document.addEventListener('lcdrefresh', onRefresh);
    view.setStatus(t(TEXT_STARTED));
    return loadTexts();
  }

  return {
    toggle: () => (capturing() ? stop() : start()),
    loadTexts,
  };
}
