// Record animation of the whole instrument: each picture is composed on a
// canvas from the page's own drawing of the instrument (its artwork, the
// pressed keys, the LCD's canvas, the key captions) at the instrument's
// designed size, and handed to the core's full-colour capture, which keeps
// the changes with the page's clock and gives the frames with the LCD's
// timing rule. The GIF gets a colour map per frame from gifenc's quantizer,
// and each frame after the first holds only what changed, the rest left
// transparent over the frame before.

const $ = (selector) => document.querySelector(selector);

// The instrument area below the tool bar, as the window lays it out.
export const WIDTH = 873;
export const HEIGHT = 309;
// A caption's fade is taken in steps of this much, the last look always.
const CAPTION_STEP_MS = 200;
const CAPTION_RADIUS = 6;
const MAX_FRAME_COLOURS = 255;

function composer() {
  const canvas = document.createElement('canvas');
  canvas.width = WIDTH;
  canvas.height = HEIGHT;
  const context = canvas.getContext('2d', { willReadFrequently: true });
  // Where an element stands in the instrument's own pixels, whatever size
  // and fitting the page shows it at.
  const place = (element) => {
    const base = $('#instrument').getBoundingClientRect();
    const scale = base.width / WIDTH;
    const r = element.getBoundingClientRect();
    return { x: (r.left - base.left) / scale, y: (r.top - base.top) / scale, w: r.width / scale, h: r.height / scale, scale };
  };
  const drawn = (element, source = element) => {
    const p = place(element);
    context.drawImage(source, p.x, p.y, p.w, p.h);
  };
  return () => {
    context.globalAlpha = 1;
    context.fillStyle = getComputedStyle($('#window')).backgroundColor;
    context.fillRect(0, 0, WIDTH, HEIGHT);
    context.imageSmoothingEnabled = true;
    drawn($('#device'));
    for (const key of document.querySelectorAll('.key.pressed img')) drawn(key);
    context.imageSmoothingEnabled = false;
    drawn($('#lcd'));
    const captions = $('#captions');
    if (!captions.hidden) {
      for (const caption of captions.children) {
        const style = getComputedStyle(caption);
        const p = place(caption);
        context.globalAlpha = Number(style.opacity);
        context.fillStyle = style.backgroundColor;
        context.beginPath();
        context.roundRect(p.x, p.y, p.w, p.h, CAPTION_RADIUS);
        context.fill();
        context.fillStyle = style.color;
        context.font = `${style.fontWeight} ${parseFloat(style.fontSize) / p.scale}px ${style.fontFamily}`;
        context.textAlign = 'center';
        context.textBaseline = 'middle';
        context.fillText(caption.textContent, p.x + p.w / 2, p.y + p.h / 2);
      }
    }
    return context.getImageData(0, 0, WIDTH, HEIGHT).data;
  };
}

// Starts a capture; the returned stop() ends the taking of pictures.
// onFull runs when the capture holds all it can.
export function captureWhole(instrument, onFull) {
  const compose = composer();
  const take = () => {
    instrument.wholeAnimationBuffer(WIDTH, HEIGHT).set(compose());
    return instrument.wholeAnimationCapture();
  };
  instrument.wholeAnimationBuffer(WIDTH, HEIGHT).set(compose());
  if (!instrument.wholeAnimationStart()) return null;
  let step = 0;
  let changedInStep = false;
  const onRefresh = () => {
    if (!take()) onFull();
  };
  const stepEnd = () => {
    step = 0;
    if (!changedInStep) return;
    changedInStep = false;
    onCaptions();
  };
  function onCaptions() {
    if (step) {
      changedInStep = true;
      return;
    }
    if (!take()) onFull();
    step = setTimeout(stepEnd, CAPTION_STEP_MS);
  }
  document.addEventListener('lcdrefresh', onRefresh);
  document.addEventListener('captionschange', onCaptions);
  return () => {
    clearTimeout(step);
    document.removeEventListener('lcdrefresh', onRefresh);
    document.removeEventListener('captionschange', onCaptions);
  };
}

// The GIF of the stopped capture's count frames.
export function encodeWhole(encoder, instrument, count) {
  const gif = encoder.GIFEncoder();
  let before = null;
  for (let i = 0; i < count; ++i) {
    const rgba = instrument.wholeAnimationFrame(i, WIDTH, HEIGHT);
    const pixels = rgba.length / 4;
    const changed = [];
    for (let p = 0; p < pixels; ++p)
      if (!before || rgba[4 * p] !== before[4 * p] || rgba[4 * p + 1] !== before[4 * p + 1] || rgba[4 * p + 2] !== before[4 * p + 2]) changed.push(p);
    const picked = new Uint8Array(4 * Math.max(changed.length, 1));
    changed.forEach((p, n) => picked.set(rgba.subarray(4 * p, 4 * p + 4), 4 * n));
    const palette = encoder.quantize(picked, MAX_FRAME_COLOURS);
    const mapped = encoder.applyPalette(picked, palette);
    const transparent = palette.length;
    const index = new Uint8Array(pixels).fill(transparent);
    changed.forEach((p, n) => { index[p] = mapped[n]; });
    // A GIF delay counts hundredths of a second; the encoder takes ms.
    gif.writeFrame(index, WIDTH, HEIGHT, {
      palette: [...palette, [0, 0, 0]],
      delay: instrument.wholeAnimationDelayCs(i) * 10,
      transparent: before !== null,
      transparentIndex: transparent,
      dispose: 1,
    });
    before = rgba;
  }
  gif.finish();
  return gif.bytes();
}
