// The Measurements panel's view of one reading, as an analyst works it: its
// waveform and spectrum, alone, over the point's baseline or minus it, in Hz
// or in orders of the running speed, at the instrument's lines or finer; a
// cursor with its value (click or tap, arrow keys), zoom (wheel, drag
// across, pinch, a key or the Whole band button), harmonic cursors 1x..10x
// of a chosen peak with their table. Every number comes from the database
// module (spectra, the baseline moved onto this reading's orders, the peak a
// click means, the harmonics); this only lays them out and keeps the view.
import { element } from './dom.js';
import { drawPlot, OVERLAY_COLOUR, SERIES_COLOUR } from './signal-plot.js';

const TEXT_WAVEFORM = 1777;
const TEXT_SPECTRUM = 1778;
const TEXT_TIME_S = 1779;
const TEXT_FREQ_HZ = 1780;
const TEXT_VELOCITY = 1781;
const TEXT_ENVELOPE = 1782;
const TEXT_CURSOR = 1790;
const TEXT_UNIT_HZ = 1797;
const TEXT_UNIT_S = 1798;
const TEXT_HARMONICS = 1900;
const TEXT_HARMONICS_HINT = 1901;
const TEXT_COL_ORDER = 1902;
const TEXT_UNIT_MM_S = 1903;
const TEXT_SET_BASELINE = 1904;
const TEXT_COMPARE = [1906, 1907, 1908];
const TEXT_LEGEND_READING = 1909;
const TEXT_LEGEND_BASELINE = 1910;
const TEXT_LEGEND_DIFFERENCE = 1911;
const TEXT_COMPARE_UNITS = 1912;
const TEXT_LINES_INSTRUMENT = 1913;
const TEXT_LINES_PADDED = 1914;
const TEXT_LINES_HINT = 1915;
const TEXT_AXIS_ORDERS = 1916;
const TEXT_ORDER_TITLE = 1917;
const TEXT_UNIT_ORDER = 1918;
const TEXT_SPEED_UNKNOWN = 1919;
const TEXT_COL_BASELINE = 1923;
const TEXT_BASELINE_HINT = 1924;
const TEXT_ZOOM_RESET = 2201;
const TEXT_ZOOM_HINT = 2202;

const BAND_HZ = 1000; // where the instrument's band ends
const FINER = [1, 2, 4, 8];
const HARMONIC_COLOUR = '#8e44ad';
const CURSOR_COLOUR = '#c01c28';
const WHEEL_STEP = 1.25;
const MIN_LINES = 16; // the narrowest zoom, in drawn values
const DRAG_PIXELS = 6; // less is a click


// Wheel, drag, pinch, click and keys on one canvas; range is [from, to] in
// the plot's x unit, null for the whole span.
function attachPointer(canvas, view) {
  const pointers = new Map();
  let pinch = null;
  let press = null;
  const xAtEvent = (event) => {
    const box = canvas.getBoundingClientRect();
    return view.placed()?.xAt(event.clientX - box.left);
  };
  canvas.addEventListener('wheel', (event) => {
    const x = xAtEvent(event);
    if (x === undefined) return;
    event.preventDefault();
    view.zoomAbout(x, event.deltaY < 0 ? 1 / WHEEL_STEP : WHEEL_STEP);
  }, { passive: false });
  canvas.addEventListener('pointerdown', (event) => {
    canvas.setPointerCapture?.(event.pointerId);
    pointers.set(event.pointerId, event.clientX);
    if (pointers.size === 2) {
      const [a, b] = [...pointers.values()];
      pinch = { distance: Math.abs(a - b), range: view.range() };
      press = null;
    } else {
      press = { clientX: event.clientX, x: xAtEvent(event) };
    }
  });
  canvas.addEventListener('pointermove', (event) => {
    if (!pointers.has(event.pointerId)) return;
    pointers.set(event.pointerId, event.clientX);
    if (pinch && pointers.size === 2) {
      const [a, b] = [...pointers.values()];
      const distance = Math.abs(a - b);
      if (pinch.distance > 10 && distance > 10) {
        const box = canvas.getBoundingClientRect();
        const middle = view.placed()?.xAt((a + b) / 2 - box.left);
        if (middle !== undefined) view.setSpan(middle, (pinch.range[1] - pinch.range[0]) * (pinch.distance / distance));
      }
    }
  });
  const release = (event) => {
    if (!pointers.delete(event.pointerId)) return;
    if (pinch) {
      if (pointers.size === 0) pinch = null;
      return;
    }
    if (!press) return;
    const moved = Math.abs(event.clientX - press.clientX);
    const x = xAtEvent(event);
    if (x !== undefined && press.x !== undefined) {
      if (moved >= DRAG_PIXELS) view.setRange(Math.min(press.x, x), Math.max(press.x, x));
      else view.click(x);
    }
    press = null;
  };
  canvas.addEventListener('pointerup', release);
  canvas.addEventListener('pointercancel', (event) => {
    pointers.delete(event.pointerId);
    pinch = null;
    press = null;
  });
  canvas.addEventListener('keydown', (event) => {
    const act = {
      ArrowLeft: () => view.step(event.shiftKey ? -10 : -1),
      ArrowRight: () => view.step(event.shiftKey ? 10 : 1),
      '+': () => view.zoomAbout(view.centre(), 1 / 2),
      '=': () => view.zoomAbout(view.centre(), 1 / 2),
      '-': () => view.zoomAbout(view.centre(), 2),
      0: () => view.reset(),
    }[event.key];
    if (!act) return;
    event.preventDefault();
    act();
  });
}

// t(id): a text; db: the database module.
export function createReadingView(t, db) {
  const showBox = element('select', { id: 'measurements-show' });
  const linesBox = element('select', { id: 'measurements-lines' });
  const axisBox = element('select', { id: 'measurements-axis' });
  const compareBox = element('select', { id: 'measurements-compare' });
  const harmonicsCheck = element('input', { type: 'checkbox', id: 'measurements-harmonics' });
  const harmonicsLabel = element('label', { for: 'measurements-harmonics' });
  const baselineButton = element('button', { type: 'button', id: 'measurements-set-baseline' });
  const resetButton = element('button', { type: 'button', id: 'measurements-zoom-reset' });
  const legend = element('p', { id: 'measurements-legend' });
  const canvas = element('canvas', { id: 'measurements-signal', tabindex: '0', role: 'img' });
  const cursorText = element('p', { id: 'measurements-cursor', 'aria-live': 'polite' });
  const harmonicsTable = element('table', { id: 'measurements-harmonics-table', hidden: '' });
  const part = element('div', { id: 'measurements-signal-part' }, [
    element('p', { class: 'actions tools' }, [showBox, linesBox, axisBox, compareBox,
      element('span', { class: 'check' }, [harmonicsCheck, ' ', harmonicsLabel]), baselineButton, resetButton]),
    legend, canvas, cursorText, harmonicsTable]);

  let reading = null; // { id, timeText } shown
  let baseline = null; // { id, timeText } or null
  let signal = null;
  let placed = null;
  let range = null; // [from, to] in the x unit, null: whole
  let cursorHz = -1; // Hz on a spectrum, s on a waveform; stays from reading to reading
  let snap = false; // the cursor goes to the peak near it once (another reading, other lines)
  let lastKey = '';

  const spectrum = () => showBox.value !== 'wave';
  const finer = () => Number(linesBox.value) || 1;
  const orders = () => spectrum() && axisBox.value === 'orders' && signal?.shaftHz > 0;
  const xUnit = () => (orders() ? signal.shaftHz : 1); // Hz (or s) per x unit
  const step = () => (spectrum() ? signal.lineSpacing : 1 / signal.rate);
  const fullSpan = () => (spectrum() ? BAND_HZ / xUnit() : signal.wave.length / signal.rate);

  function loadTexts() {
    const keep = [showBox.value, linesBox.value, axisBox.value, compareBox.value];
    showBox.replaceChildren(new Option(t(TEXT_SPECTRUM), 'lines'), new Option(t(TEXT_WAVEFORM), 'wave'));
    linesBox.replaceChildren(...FINER.map((n) => new Option(n === 1 ? t(TEXT_LINES_INSTRUMENT) : t(TEXT_LINES_PADDED).replace('%1', n), String(n))));
    linesBox.title = t(TEXT_LINES_HINT);
    axisBox.replaceChildren(new Option(t(TEXT_UNIT_HZ), 'hz'), new Option(t(TEXT_AXIS_ORDERS), 'orders'));
    compareBox.replaceChildren(...TEXT_COMPARE.map((id, i) => new Option(t(id), String(i))));
    [showBox.value, linesBox.value, axisBox.value, compareBox.value] = [keep[0] || 'lines', keep[1] || '1', keep[2] || 'hz', keep[3] || '0'];
    harmonicsLabel.textContent = t(TEXT_HARMONICS);
    harmonicsCheck.title = harmonicsLabel.title = t(TEXT_HARMONICS_HINT);
    baselineButton.textContent = t(TEXT_SET_BASELINE);
    baselineButton.title = t(TEXT_BASELINE_HINT);
    resetButton.textContent = t(TEXT_ZOOM_RESET);
    canvas.title = t(TEXT_ZOOM_HINT);
    canvas.setAttribute('aria-label', t(TEXT_ZOOM_HINT));
  }

  function fetchSignal() {
    const compare = Number(compareBox.value);
    const key = [reading?.id, baseline?.id, compare, finer(), axisBox.value].join();
    if (key === lastKey && signal) return;
    lastKey = key;
    signal = reading ? db.signal(reading.id, { baselineId: compare ? baseline?.id ?? 0 : 0, finer: finer(),
      orders: axisBox.value === 'orders', difference: compare === 2 }) : null;
  }

  function legendEntry(text, colour) {
    const swatch = element('span', { class: 'swatch' });
    swatch.style.background = colour;
    return element('span', { class: 'entry' }, [swatch, text]);
  }

  function draw() {
    // One waveform minus another measures nothing (their phases are
    // arbitrary): the difference is the spectra's only.
    compareBox.options[2].disabled = !spectrum();
    if (!spectrum() && compareBox.value === '2') compareBox.value = '1';
    fetchSignal();
    part.hidden = !signal;
    if (!signal) return;
    const compare = Number(compareBox.value);
    const difference = compare === 2 && spectrum() && signal.baseWave.length > 0;
    const speedKnown = signal.shaftHz > 0;
    axisBox.disabled = !spectrum() || !speedKnown;
    axisBox.title = speedKnown ? '' : t(TEXT_SPEED_UNKNOWN);
    linesBox.disabled = !spectrum();
    harmonicsCheck.disabled = !spectrum();

    const unit = xUnit();
    const full = fullSpan();
    if (range && !(range[1] > range[0] && range[1] <= full * 1.0001)) range = null;
    const [from, to] = range ?? [0, full];
    const dx = step() / unit;
    const y = spectrum() ? signal.lines : signal.wave;
    const overlay = spectrum() ? (difference ? null : signal.baseLines) : signal.baseWave;
    const yTitle = t(signal.kind === 1 ? TEXT_ENVELOPE : TEXT_VELOCITY);
    const xTitle = spectrum()
      ? `${t(TEXT_SPECTRUM)}: ${orders() ? t(TEXT_ORDER_TITLE).replace('%1', signal.shaftHz.toFixed(2)) : t(TEXT_FREQ_HZ)}`
      : `${t(TEXT_WAVEFORM)}: ${t(TEXT_TIME_S)}`;

    // The legend: both dates whenever a baseline is drawn.
    const entries = [];
    const date = (r) => r.timeText.slice(0, 16);
    if (compare > 0 && !signal.baseWave.length && baseline) entries.push(element('span', {}, [t(TEXT_COMPARE_UNITS)]));
    else if (difference) entries.push(legendEntry(t(TEXT_LEGEND_DIFFERENCE).replace('%1', date(reading)).replace('%2', date(baseline)), SERIES_COLOUR));
    else if (compare === 1 && signal.baseWave.length) {
      entries.push(legendEntry(t(TEXT_LEGEND_READING).replace('%1', date(reading)), SERIES_COLOUR));
      entries.push(legendEntry(t(TEXT_LEGEND_BASELINE).replace('%1', date(baseline)), OVERLAY_COLOUR));
    }
    legend.replaceChildren(...entries);
    legend.hidden = entries.length === 0;

    // The cursor: a spectrum's on the peak a line means, at this resolution.
    const markers = [];
    let rows = [];
    cursorText.textContent = '';
    if (cursorHz >= 0) {
      let line = Math.min(Math.round(cursorHz / step()), y.length - 1);
      if (spectrum() && snap) {
        line = db.peakNear(line, finer());
        cursorHz = line * step();
      }
      snap = false;
      const at = line * step();
      const place = orders() ? (at / unit).toFixed(3) : at.toFixed(spectrum() ? 4 : 5);
      const unitText = t(!spectrum() ? TEXT_UNIT_S : orders() ? TEXT_UNIT_ORDER : TEXT_UNIT_HZ);
      cursorText.textContent = t(TEXT_CURSOR).replace('%1', place).replace('%2', unitText).replace('%3', Number(y[line].toPrecision(5)));
      if (spectrum() && harmonicsCheck.checked) {
        rows = db.harmonics(line, finer());
        for (const h of rows) markers.push({ x: h.hz / unit, label: `${h.order}x`, rank: h.order, colour: HARMONIC_COLOUR, dot: h.drawn });
      } else {
        markers.push({ x: at / unit, label: place, rank: 0, colour: CURSOR_COLOUR });
      }
    }
    placed = drawPlot(canvas, { y, dx, xMin: from, xMax: to, symmetric: !spectrum() || difference, xTitle, yTitle, markers, overlay });
    canvas.dataset.range = `${from},${to}`;

    harmonicsTable.hidden = rows.length === 0;
    const showBase = rows.some((h) => h.baseline !== null) && compare === 1;
    const head = [t(TEXT_COL_ORDER), t(TEXT_UNIT_HZ), t(TEXT_UNIT_MM_S), ...(showBase ? [t(TEXT_COL_BASELINE)] : [])];
    harmonicsTable.replaceChildren(
      element('thead', {}, [element('tr', {}, head.map((text) => element('th', { scope: 'col' }, [text])))]),
      element('tbody', {}, rows.map((h) => element('tr', {}, [`${h.order}x`, h.hz.toFixed(2), h.level.toFixed(3),
        ...(showBase ? [h.baseline === null ? '' : h.baseline.toFixed(3)] : [])].map((text) => element('td', {}, [text]))))));
  }

  const view = {
    placed: () => placed,
    range: () => range ?? [0, fullSpan()],
    centre() {
      const [from, to] = view.range();
      return (from + to) / 2;
    },
    setRange(from, to) {
      const full = fullSpan();
      const least = MIN_LINES * step() / xUnit();
      const span = Math.max(least, to - from);
      if (span >= full) {
        range = null;
      } else {
        const start = Math.min(Math.max(0, (from + to) / 2 - span / 2), full - span);
        range = [start, start + span];
      }
      draw();
    },
    setSpan(middle, span) {
      view.setRange(middle - span / 2, middle + span / 2);
    },
    zoomAbout(x, factor) {
      const [from, to] = view.range();
      view.setRange(x - (x - from) * factor, x + (to - x) * factor);
    },
    reset() {
      range = null;
      draw();
    },
    // A spectrum's cursor goes to the highest line within three of the
    // instrument's lines: an analyst clicking near a peak means the peak.
    click(x) {
      if (!signal) return;
      const y = spectrum() ? signal.lines : signal.wave;
      let line = Math.max(0, Math.min(y.length - 1, Math.round((x * xUnit()) / step())));
      if (spectrum()) line = db.peakNear(line, 3 * finer());
      cursorHz = line * step();
      snap = false;
      draw();
    },
    // The cursor moved by lines (values of the waveform); it starts at the
    // view's left edge.
    step(count) {
      if (!signal) return;
      const y = spectrum() ? signal.lines : signal.wave;
      const s = step();
      const line = cursorHz < 0 ? Math.round((view.range()[0] * xUnit()) / s) : Math.round(cursorHz / s) + count;
      cursorHz = Math.max(0, Math.min(y.length - 1, line)) * s;
      // A cursor pushed past the view's edge takes the view along.
      const x = cursorHz / xUnit();
      const [from, to] = view.range();
      if (x < from || x > to) view.setRange(x - (to - from) / 2, x + (to - from) / 2);
      else draw();
    },
  };
  attachPointer(canvas, view);
  for (const box of [showBox, linesBox, axisBox, compareBox]) box.addEventListener('change', () => {
    if (box === showBox || box === axisBox) {
      range = null;
      cursorHz = -1;
    }
    if (box === linesBox) snap = true;
    draw();
  });
  harmonicsCheck.addEventListener('change', draw);
  resetButton.addEventListener('click', view.reset);
  baselineButton.addEventListener('click', () => view.onSetBaseline?.());
  loadTexts();

  return {
    element: part,
    loadTexts() {
      loadTexts();
      draw();
    },
    // shown: the reading { id, timeText }; base: the point's baseline reading or null.
    show(shown, base) {
      if (shown?.id !== reading?.id) snap = true;
      reading = shown;
      baseline = base;
      if (!shown) lastKey = '';
      draw();
    },
    redraw: draw,
    set onSetBaseline(act) {
      view.onSetBaseline = act;
    },
  };
}
