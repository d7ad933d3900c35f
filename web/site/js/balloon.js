// The hint balloon's shape, as the desktop draws it: a rounded box in the
// tooltip colour with a slanted arrow towards the key, in a 433 x 122 picture.
// The box is as tall as three 13-pixel lines plus a 7-pixel margin on each side.
const WIDTH = 433;
const HEIGHT = 122;
const MARGIN = 7;
const LINE = 13;
const ARROW_OFFSET = 23;
const ARROW_HALF_BASE = 8;
export const BALLOON_BACKGROUND = '#ffffdc';
const OUTER = '#666666';
const INNER = '#cccccc';
const ARROW = '#aaaaaa';

// The shape's SVG for an arrow at arrowX, pointing down (from a box at the
// top) or up (from a box at the bottom); lines is the number of text lines.
export function balloonShape(arrowX, arrowDown, lines = 3) {
  const boxHeight = lines * LINE + 2 * MARGIN;
  const top = arrowDown ? 0 : HEIGHT - boxHeight;
  const bottom = top + boxHeight;
  const shift = arrowDown ? -ARROW_OFFSET : ARROW_OFFSET;
  const baseY = arrowDown ? bottom - 1 : top;
  const a = [arrowX + shift - ARROW_HALF_BASE, baseY];
  const b = [arrowX, arrowDown ? HEIGHT - 2 : 1];
  const c = [arrowX + shift + ARROW_HALF_BASE, baseY];
  const tip = arrowDown ? HEIGHT - 1 : 0;
  const innerY = arrowDown ? baseY - 1 : baseY + 1;
  // Pixel centres: a 1-pixel line at x covers [x, x + 1).
  const p = (x, y) => `${x + 0.5},${y + 0.5}`;
  return [
    `<rect x="0.5" y="${top + 0.5}" width="${WIDTH - 1}" height="${boxHeight - 1}" rx="8" ry="8" fill="${BALLOON_BACKGROUND}" stroke="${OUTER}"/>`,
    `<rect x="1.5" y="${top + 1.5}" width="${WIDTH - 3}" height="${boxHeight - 3}" rx="7" ry="7" fill="none" stroke="${INNER}"/>`,
    `<polygon points="${p(...a)} ${p(...b)} ${p(...c)}" fill="${BALLOON_BACKGROUND}" stroke="${ARROW}"/>`,
    `<polyline points="${p(a[0] - 1, a[1])} ${p(b[0], tip)} ${p(c[0] + 1, c[1])}" fill="none" stroke="${OUTER}"/>`,
    `<line x1="${a[0]}" y1="${baseY + 0.5}" x2="${c[0] + 1}" y2="${baseY + 0.5}" stroke="${BALLOON_BACKGROUND}"/>`,
    `<line x1="${a[0]}" y1="${innerY + 0.5}" x2="${c[0] + 1}" y2="${innerY + 0.5}" stroke="${BALLOON_BACKGROUND}"/>`,
  ].join('');
}
