// A point's trend on a canvas: its readings' levels over time, the alert and
// danger limits as lines, each reading coloured by the zone the core gave it.
// Returns where each reading was drawn, for picking one with the pointer.
import { niceStep, prepareCanvas } from './plot-canvas.js';

export const ZONE_COLOURS = ['#2e7d32', '#ef6c00', '#c62828']; // normal, alert, danger
const LEFT = 48;
const RIGHT = 12;
const TOP = 22;
const BOTTOM = 34;

function dateText(days) {
  // Day counts from 1899-12-30, as the core keeps them.
  const date = new Date(Date.UTC(1899, 11, 30) + days * 86400000);
  return date.toISOString().slice(0, 10);
}

// trend: { readings: [{ id, time, level, zone }], limits: { alert, danger } };
// selected: a reading's id; yTitle: the level's name and unit.
export function drawTrend(canvas, trend, selected, yTitle) {
  const prepared = prepareCanvas(canvas);
  if (!prepared) return [];
  const { g, width, height } = prepared;

  const readings = trend.readings.filter((r) => r.time > 0);
  const { alert, danger } = trend.limits;
  const top = Math.max(danger * 1.15, ...readings.map((r) => r.level * 1.1), 1e-6);
  let first = readings.length ? readings[0].time : 0;
  let last = readings.length ? readings[readings.length - 1].time : 1;
  if (last - first < 1) {
    const middle = (first + last) / 2;
    first = middle - 0.5;
    last = middle + 0.5;
  }
  const span = last - first;
  first -= span * 0.04;
  last += span * 0.04;
  const plotW = width - LEFT - RIGHT;
  const plotH = height - TOP - BOTTOM;
  const x = (time) => LEFT + ((time - first) / (last - first)) * plotW;
  const y = (level) => TOP + plotH - (level / top) * plotH;

  // Grid and ticks.
  g.strokeStyle = '#e4e4e4';
  g.fillStyle = '#333';
  g.lineWidth = 1;
  const yStep = niceStep(top, Math.max(2, Math.floor(plotH / 36)));
  g.textAlign = 'right';
  g.textBaseline = 'middle';
  for (let v = 0; v <= top + 1e-9; v += yStep) {
    g.beginPath();
    g.moveTo(LEFT, Math.round(y(v)) + 0.5);
    g.lineTo(LEFT + plotW, Math.round(y(v)) + 0.5);
    g.stroke();
    g.fillText(String(Number(v.toFixed(4))), LEFT - 4, y(v));
  }
  const xStep = Math.max(1, niceStep(last - first, Math.max(2, Math.floor(plotW / 110))));
  g.textAlign = 'center';
  g.textBaseline = 'top';
  for (let day = Math.ceil(first / xStep) * xStep; day <= last; day += xStep) {
    g.beginPath();
    g.moveTo(Math.round(x(day)) + 0.5, TOP);
    g.lineTo(Math.round(x(day)) + 0.5, TOP + plotH);
    g.stroke();
    g.fillText(dateText(day), x(day), TOP + plotH + 4);
  }
  g.strokeStyle = '#888';
  g.strokeRect(LEFT + 0.5, TOP + 0.5, plotW, plotH);
  g.textAlign = 'left';
  g.textBaseline = 'bottom';
  g.fillText(yTitle, 4, TOP - 4);

  // The limits.
  for (const [level, colour] of [[alert, ZONE_COLOURS[1]], [danger, ZONE_COLOURS[2]]]) {
    g.strokeStyle = colour;
    g.lineWidth = 1.5;
    g.setLineDash([6, 4]);
    g.beginPath();
    g.moveTo(LEFT, y(level));
    g.lineTo(LEFT + plotW, y(level));
    g.stroke();
  }
  g.setLineDash([]);

  // The readings, joined in time order.
  g.strokeStyle = '#555';
  g.lineWidth = 1;
  g.beginPath();
  readings.forEach((r, i) => (i ? g.lineTo(x(r.time), y(r.level)) : g.moveTo(x(r.time), y(r.level))));
  g.stroke();
  const placed = [];
  for (const r of readings) {
    const px = x(r.time);
    const py = y(r.level);
    g.fillStyle = ZONE_COLOURS[r.zone] ?? '#000';
    g.beginPath();
    g.arc(px, py, 4, 0, 2 * Math.PI);
    g.fill();
    if (r.id === selected) {
      g.strokeStyle = '#0b57d0';
      g.lineWidth = 2;
      g.beginPath();
      g.arc(px, py, 7, 0, 2 * Math.PI);
      g.stroke();
    }
    placed.push({ id: r.id, x: px, y: py });
  }
  return placed;
}
