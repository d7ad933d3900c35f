// One series on linear axes on a canvas, as the Machines window's plots draw
// it: round-numbered ticks, a light grid, the y title across above the plot,
// marked frequencies with their labels. Where the series has more values
// than the plot has device pixel columns, each column shows the extremes of
// its values, so no peak is lost.
import { niceStep, prepareCanvas } from './plot-canvas.js';

const LEFT = 48; // room for the y ticks' labels
const RIGHT = 14;
const MARKER_ROW = 22; // room for the marker labels
const BOTTOM = 38;
// Running speed green, bearings red, mesh and vanes violet, the supply's
// lines blue, a resonance orange (by the core's marker family).
const FAMILY_COLOURS = ['#26803c', '#c01c28', '#7b2d8e', '#1565c0', '#e65100'];

function tickText(value, step) {
  const decimals = step >= 1 ? 0 : Math.ceil(-Math.log10(step) - 1e-9);
  return value.toFixed(Math.min(Math.max(decimals, 0), 4));
}

// The series drawn over the pixel columns of area from value first to last:
// joined points where they are sparse, each device pixel column's extremes
// where they are dense.
function strokeSeries(g, area, ratio, y, dx, first, last, px, py, colour) {
  if (last < first) return;
  g.strokeStyle = colour;
  g.lineWidth = 1 / ratio;
  g.beginPath();
  const count = last - first + 1;
  if (count / area.width <= 2) {
    g.moveTo(px(first * dx), py(y[first]));
    for (let i = first + 1; i <= last; ++i) g.lineTo(px(i * dx), py(y[i]));
  } else {
    const columns = Math.ceil(area.width * ratio);
    const perColumn = count / columns;
    let i = first;
    for (let column = 0; column < columns && i <= last; ++column) {
      const end = Math.min(last + 1, first + Math.floor((column + 1) * perColumn));
      let low = y[i];
      let high = y[i];
      for (let j = i; j < Math.max(end, i + 1); ++j) {
        low = Math.min(low, y[j]);
        high = Math.max(high, y[j]);
      }
      const at = area.left + (column + 0.5) / ratio;
      if (column === 0) g.moveTo(at, py(high));
      else g.lineTo(at, py(high));
      g.lineTo(at, py(low));
      i = Math.max(end, i + 1);
    }
  }
  g.stroke();
}

// series: { y, dx, xMax, symmetric, xTitle, yTitle, markers: [{ x, label,
// rank, family, colour, dot }] } and, for an analyst's view, xMin (a zoomed
// span starts there), overlay (a second series on the same dx, drawn under
// the first). Markers with a dot ring the curve
// at that value. Returns what was labelled and the plot's area with xAt(px),
// the x under a pixel column, for pointing.
export const SERIES_COLOUR = '#1f4e9a';
export const OVERLAY_COLOUR = '#e07b00';

export function drawPlot(canvas, series) {
  const prepared = prepareCanvas(canvas);
  if (!prepared) return null;
  const { g, width, height, ratio } = prepared;
  const lineHeight = prepared.fontSize * 1.25;

  const { y, dx, xMax, symmetric, markers = [], overlay = null } = series;
  const xMin = Math.max(0, Math.min(series.xMin ?? 0, xMax - dx));
  const first = Math.min(y.length, Math.max(0, Math.floor(xMin / dx)));
  const last = Math.min(y.length - 1, Math.ceil(xMax / dx));
  let peak = 0;
  for (const values of [y, overlay]) {
    if (!values) continue;
    for (let i = first; i <= Math.min(last, values.length - 1); ++i) peak = Math.max(peak, Math.abs(values[i]));
  }
  if (!(peak > 0)) peak = 1;
  const yStepTop = niceStep(peak * 1.05, 4);
  const yMax = Math.ceil((peak * 1.05) / yStepTop) * yStepTop;
  const yMin = symmetric ? -yMax : 0;

  const top = lineHeight + 2 + MARKER_ROW;
  const area = { left: LEFT, top, width: Math.max(1, width - LEFT - RIGHT), height: Math.max(1, height - top - BOTTOM) };
  area.right = area.left + area.width;
  area.bottom = area.top + area.height;
  const span = xMax - xMin;
  const px = (x) => area.left + ((x - xMin) / span) * area.width;
  const py = (v) => area.bottom - ((v - yMin) / (yMax - yMin)) * area.height;
  const inside = (x) => x >= xMin && x <= xMax;
  // A one-pixel line on whole device pixels.
  const crisp = (v) => (Math.round(v * ratio) + 0.5) / ratio;
  const line = (x0, y0, x1, y1, colour) => {
    g.strokeStyle = colour;
    g.lineWidth = 1 / ratio;
    g.beginPath();
    g.moveTo(x0, y0);
    g.lineTo(x1, y1);
    g.stroke();
  };

  // Grid, ticks and titles.
  g.textBaseline = 'alphabetic';
  g.fillStyle = '#000';
  const xStep = niceStep(span, Math.max(2, Math.floor(area.width / 90)));
  for (let x = Math.ceil(xMin / xStep - 1e-9) * xStep; x <= xMax + span * 1e-7; x += xStep) {
    const at = crisp(px(x));
    line(at, area.top, at, area.bottom, 'rgba(160,160,160,0.35)');
    line(at, area.bottom, at, area.bottom + 4, '#000');
    const label = tickText(x, xStep);
    const w = g.measureText(label).width;
    g.fillText(label, Math.max(area.left - w / 2, Math.min(at - w / 2, area.right - w)), area.bottom + 5 + lineHeight * 0.8);
  }
  const yStep = niceStep(yMax - yMin, Math.max(4, Math.floor(area.height / 30)));
  for (let v = Math.ceil(yMin / yStep) * yStep; v <= yMax * 1.0000001; v += yStep) {
    const zero = Math.abs(v) < yStep / 2;
    const at = crisp(py(v));
    line(area.left, at, area.right, at, zero ? '#000' : 'rgba(160,160,160,0.35)');
    const label = tickText(zero ? 0 : v, yStep);
    g.fillText(label, area.left - 6 - g.measureText(label).width, at + lineHeight * 0.3);
  }
  g.fillText(series.xTitle, area.left + area.width / 2 - g.measureText(series.xTitle).width / 2, height - 4);
  g.fillText(series.yTitle, 4, 1 + lineHeight * 0.8);

  const colourOf = (m) => m.colour ?? FAMILY_COLOURS[m.family] ?? FAMILY_COLOURS[0];
  // The marked lines, dashed, and the labels that do not crowd, rank by rank.
  g.save();
  g.beginPath();
  g.rect(area.left, area.top - MARKER_ROW, area.width + 1, area.height + MARKER_ROW + 1);
  g.clip();
  const taken = [];
  const ranks = [...new Set(markers.map((m) => m.rank))].sort((a, b) => a - b);
  const labelled = new Set();
  for (const rank of ranks) {
    markers.forEach((m, i) => {
      if (m.rank !== rank || !inside(m.x)) return;
      const w = g.measureText(m.label).width;
      const left = Math.max(area.left, Math.min(px(m.x) - w / 2, area.right - w));
      if (taken.some(([l, r]) => left < r + 3 && left + w + 3 > l)) return;
      taken.push([left, left + w]);
      labelled.add(i);
      g.fillStyle = colourOf(m);
      g.fillText(m.label, left, area.top - 6);
    });
  }
  g.setLineDash([3, 3]);
  markers.forEach((m) => {
    if (!inside(m.x)) return;
    const at = crisp(px(m.x));
    line(at, area.top, at, area.bottom, colourOf(m));
  });
  g.restore();

  // The series, the overlay under it.
  g.save();
  g.beginPath();
  g.rect(area.left, area.top, area.width + 1, area.height + 1);
  g.clip();
  if (overlay?.length) strokeSeries(g, area, ratio, overlay, dx, first, Math.min(last, overlay.length - 1), px, py, OVERLAY_COLOUR);
  strokeSeries(g, area, ratio, y, dx, first, last, px, py, SERIES_COLOUR);
  for (const m of markers) {
    if (m.dot === undefined || !inside(m.x)) continue;
    g.strokeStyle = colourOf(m);
    g.lineWidth = 1.5;
    g.beginPath();
    g.arc(px(m.x), py(m.dot), 4, 0, 2 * Math.PI);
    g.stroke();
  }
  g.restore();
  g.strokeStyle = '#000';
  g.lineWidth = 1 / ratio;
  g.strokeRect(crisp(area.left), crisp(area.top), Math.round(area.width), Math.round(area.height));
  return {
    labelled: [...labelled].map((i) => markers[i].label),
    area,
    xAt: (x) => xMin + ((x - area.left) / area.width) * span,
  };
}
