// What every plot on the page shares: a canvas whose backing store follows
// its CSS size times devicePixelRatio, so that lines and text stay crisp at
// any zoom, drawn in CSS pixels in the canvas's own font; and round steps
// for the axes' ticks.

// Sizes the backing store, sets the transform and the font and clears to
// white. Returns null for a canvas that has no size (a hidden panel).
export function prepareCanvas(canvas) {
  const width = canvas.clientWidth;
  const height = canvas.clientHeight;
  if (!width || !height) return null;
  const ratio = devicePixelRatio || 1;
  canvas.width = Math.round(width * ratio);
  canvas.height = Math.round(height * ratio);
  const g = canvas.getContext('2d');
  g.setTransform(ratio, 0, 0, ratio, 0, 0);
  const style = getComputedStyle(canvas);
  g.font = `${style.fontSize} ${style.fontFamily}`;
  g.fillStyle = '#fff';
  g.fillRect(0, 0, width, height);
  return { g, width, height, ratio, fontSize: parseFloat(style.fontSize) };
}

// A round step for about count ticks over span (1, 2 or 5 times a power of ten).
export function niceStep(span, count) {
  if (!(span > 0) || count < 1) return 1;
  const raw = span / count;
  const power = 10 ** Math.floor(Math.log10(raw));
  for (const factor of [1, 2, 5]) if (raw <= factor * power * 1.0000001) return factor * power;
  return 10 * power;
}
