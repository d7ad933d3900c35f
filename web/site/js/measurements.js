// The page's Measurements panel and its Transfer to PC, loaded on the first
// transfer: machines and points, a point's trend against its limits with
// each reading in its zone, its readings, the selected reading's waveform
// and spectrum, the exports, and the database file downloaded or imported.
// The database module (js/measurement-db.js) decides everything: rows,
// levels, zones, limits, file checks and export contents; this only lays
// them out. Not modal, like the Machines panel.
import { download, element } from './dom.js';
import { openMeasurementDb } from './measurement-db.js';
import { createReadingView } from './reading-view.js';
import { drawTrend, ZONE_COLOURS } from './trend-plot.js';

const $ = (selector, root = document) => root.querySelector(selector);

const TEXT_CLOSE = 309;
const TEXT_TRANSFER = 1756;
const TEXT_TRANSFERRED = 1757;
const TEXT_NOTHING_MEASURED = 1758;
const TEXT_BUSY = 1759;
const TEXT_NOT_DONE = 1760;
const TEXT_MEASUREMENTS = 1761;
const TEXT_COLUMNS = [1762, 0, 1764]; // time, the level (by kind), zone
const TEXT_LEVEL = [1765, 1766]; // velocity RMS, crest factor
const TEXT_ZONES = [1767, 1768, 1769];
const TEXT_GROUP = 1770;
const TEXT_GROUPS = [1771, 1772, 1773, 1774];
const TEXT_ALERT = 1775;
const TEXT_DANGER = 1776;
const TEXT_IMPORT_DB = 1786;
const TEXT_EXPORTED = 1787;
const TEXT_IMPORTED = 1788;
const TEXT_KEPT_ASIDE = 1789;
const TEXT_OVERLOAD = 1791;
const TEXT_NO_READINGS = 1796;
const TEXT_DOWNLOAD_DB = 1930;
const TEXT_EXPORT_CSV = 1931;
const TEXT_EXPORT_UFF = 1932;
const TEXT_EXPORT_WAV = 1933;
const TEXT_POINTS = 1934;
const TEXT_READINGS = 1935;
const TEXT_NO_STORAGE = 1936;
const TEXT_DOWNLOADED = 1937;
const TEXT_TREND = 1939;
const TEXT_BASELINE = 1905;
const TEXT_OWN_LIMITS = 2203;
const TEXT_BASELINE_SET = 2205;
const DB_FILE_NAME = 'measurements.sqlite';
const TRANSFER_TRIES = 30; // 3 s: a measurement's completion flashes, a message
const TRANSFER_RETRY_MS = 100;



const figure = (value) => String(Number(value.toPrecision(4)));

// hooks.layoutChanged(): the panel opened or closed; hooks.status(text):
// the window's status line; hooks.exerciseDatabase(): while an exercise
// runs, { caption, database() } of the exercise's own database, which
// transfers and the panel then use (the user's own is left alone), else null.
export function attachMeasurements(instrument, { layoutChanged, status, exerciseDatabase = () => null }) {
  const t = (id) => instrument.text(id);
  const panel = $('#measurements-panel');
  let db = null; // the database shown: the user's own, or an exercise's
  let own = null;
  let opening = null;
  let pointId = 0;
  let readingId = 0;
  let trend = null;
  let placed = [];
  let opener = null;

  const caption = element('h2', { id: 'measurements-caption' });
  const close = element('button', { type: 'button', class: 'close' });
  const transferButton = element('button', { type: 'button', id: 'measurements-transfer' });
  const downloadButton = element('button', { type: 'button', id: 'measurements-download' });
  const importButton = element('button', { type: 'button', id: 'measurements-import' });
  const importFile = element('input', { type: 'file', id: 'measurements-import-file', accept: '.sqlite,.db,application/vnd.sqlite3,application/octet-stream', hidden: '' });
  const said = element('p', { id: 'measurements-status', role: 'status' });
  const pointsTitle = element('h3', { id: 'measurements-points-title' });
  const tree = element('table', { id: 'measurements-tree', role: 'grid', 'aria-labelledby': 'measurements-points-title' });
  const empty = element('p', { id: 'measurements-empty' });
  const groupLabel = element('label', { for: 'measurements-group' });
  const groupBox = element('select', { id: 'measurements-group' });
  const alertLabel = element('label', { for: 'measurements-alert' });
  const alertBox = element('input', { type: 'number', id: 'measurements-alert', min: '0', step: '0.1', inputmode: 'decimal' });
  const dangerLabel = element('label', { for: 'measurements-danger' });
  const dangerBox = element('input', { type: 'number', id: 'measurements-danger', min: '0', step: '0.1', inputmode: 'decimal' });
  const trendTitle = element('h3');
  const trendCanvas = element('canvas', { id: 'measurements-trend' });
  const readingsTitle = element('h3', { id: 'measurements-readings-title' });
  const readings = element('table', { id: 'measurements-readings', role: 'grid', 'aria-labelledby': 'measurements-readings-title' });
  const csvButton = element('button', { type: 'button', id: 'measurements-csv' });
  const uffButton = element('button', { type: 'button', id: 'measurements-uff' });
  const wavButton = element('button', { type: 'button', id: 'measurements-wav' });
  let view = null; // the selected reading's view, made when the database is open
  const viewPlace = element('div', { id: 'measurements-view' });
  const pointPart = element('div', { id: 'measurements-point', hidden: '' }, [
    element('p', { class: 'limits' }, [element('span', {}, [groupLabel, ' ', groupBox]),
      element('span', {}, [alertLabel, ' ', alertBox]), element('span', {}, [dangerLabel, ' ', dangerBox])]),
    trendTitle, trendCanvas,
    readingsTitle, element('div', { class: 'list-scroll readings-scroll' }, [readings]),
    element('p', { class: 'actions' }, [csvButton, ' ', uffButton, ' ', wavButton]),
    viewPlace]);
  panel.append(element('div', { class: 'head' }, [caption, close]),
    element('div', { class: 'body' }, [
      element('p', { class: 'actions' }, [transferButton, ' ', downloadButton, ' ', importButton, importFile]),
      said, pointsTitle, element('div', { class: 'list-scroll' }, [tree]), empty, pointPart]));

  function say(text) {
    said.textContent = text;
    status(text);
  }

  function ownDatabase() {
    if (own) return Promise.resolve(own);
    opening ??= openMeasurementDb(instrument.languageId()).then((opened) => {
      own = opened;
      if (own.keptAside) say(t(TEXT_KEPT_ASIDE).replace('%1', own.keptAside.reason).replace('%2', own.keptAside.name));
      return own;
    }, (error) => {
      opening = null;
      throw error;
    });
    return opening;
  }

  // The database transfers go to and the panel shows, as things stand: an
  // exercise's while one runs. Another than the one shown starts the panel
  // afresh.
  async function database() {
    const exercise = exerciseDatabase();
    const chosen = await (exercise ? exercise.database() : ownDatabase());
    if (chosen !== db) {
      db = chosen;
      db.setLanguage(instrument.languageId());
      pointId = 0;
      readingId = 0;
      trend = null;
      view = null;
      viewPlace.replaceChildren();
    }
    return db;
  }

  // The store can be read only while the instrument waits for a key (or
  // is off); a measurement under way is waited for, a little.
  async function transfer() {
    let tries = TRANSFER_TRIES;
    while (!instrument.transferReady()) {
      if (--tries <= 0) return say(t(TEXT_BUSY));
      await new Promise((resolve) => setTimeout(resolve, TRANSFER_RETRY_MS));
    }
    const bundle = instrument.transferBundle();
    let outcome;
    try {
      outcome = await (await database()).transfer(bundle);
    } catch (error) {
      return say(t(TEXT_NO_STORAGE).replace('%1', error.message));
    }
    if (outcome.error) say(t(TEXT_NOT_DONE).replace('%1', outcome.error));
    else if (outcome.measured === 0) say(t(TEXT_NOTHING_MEASURED));
    else say(t(TEXT_TRANSFERRED).replace('%1', outcome.added));
    document.body.dataset.transferred = String((Number(document.body.dataset.transferred) || 0) + 1);
    if (!panel.open) open();
    else fill();
    return undefined;
  }

  function fillTree() {
    const machines = db.tree();
    const rows = [];
    for (const m of machines) {
      rows.push(element('tr', { class: 'machine' }, [element('th', { colspan: '2', scope: 'rowgroup' }, [m.name])]));
      for (const p of m.points) {
        rows.push(element('tr', { class: 'point', 'data-point': String(p.id), tabindex: p.id === pointId ? '0' : '-1',
          'aria-selected': String(p.id === pointId) }, [element('td', {}, [p.label]), element('td', { class: 'count' }, [String(p.count)])]));
      }
    }
    tree.replaceChildren(element('tbody', {}, rows));
    empty.textContent = machines.length ? '' : t(TEXT_NO_READINGS);
    empty.hidden = machines.length > 0;
    if (!pointId && machines.length) pointId = machines[0].points[0]?.id ?? 0;
  }

  function fillPoint(saved = null) {
    pointPart.hidden = !pointId;
    for (const tr of tree.querySelectorAll('tr.point')) {
      const on = Number(tr.dataset.point) === pointId;
      tr.setAttribute('aria-selected', String(on));
      tr.tabIndex = on ? 0 : -1;
    }
    if (!pointId) return;
    trend = db.point(pointId);
    const label = $(`tr.point[data-point="${pointId}"] td`, tree)?.textContent ?? '';
    showLimits(saved);
    trendTitle.textContent = `${t(TEXT_TREND)}: ${t(TEXT_LEVEL[trend.kind] ?? TEXT_LEVEL[0])}`;
    readingsTitle.textContent = t(TEXT_READINGS).replace('%1', label);
    if (!trend.readings.some((r) => r.id === readingId)) readingId = trend.readings.at(-1)?.id ?? 0;
    const head = element('tr', {}, TEXT_COLUMNS.map((id) => element('th', { scope: 'col' }, [id ? t(id) : t(TEXT_LEVEL[trend.kind] ?? TEXT_LEVEL[0])])));
    const rows = trend.readings.map((r) => {
      const zone = element('td', { class: 'zone', 'data-zone': String(r.zone) }, [t(TEXT_ZONES[r.zone])]);
      zone.style.color = ZONE_COLOURS[r.zone];
      return element('tr', { class: 'reading', 'data-reading': String(r.id), tabindex: r.id === readingId ? '0' : '-1',
        'aria-selected': String(r.id === readingId) },
      [element('td', {}, [r.timeText + (r.id === trend.baseline ? ` (${t(TEXT_BASELINE)})` : '')]), element('td', { class: 'level' }, [figure(r.level) + (r.overload ? ` (${t(TEXT_OVERLOAD)})` : '')]), zone]);
    });
    readings.replaceChildren(element('thead', {}, [head]), element('tbody', {}, rows.reverse()));
    draw();
  }

  function selectReading(id, { focus = false } = {}) {
    readingId = id;
    for (const tr of readings.querySelectorAll('tr.reading')) {
      const on = Number(tr.dataset.reading) === id;
      tr.setAttribute('aria-selected', String(on));
      tr.tabIndex = on ? 0 : -1;
      if (on && focus) tr.focus();
    }
    draw();
  }

  function draw() {
    if (!panel.open || !db || !trend) return;
    placed = drawTrend(trendCanvas, trend, readingId, t(TEXT_LEVEL[trend.kind] ?? TEXT_LEVEL[0]));
    const shown = trend.readings.find((r) => r.id === readingId) ?? null;
    wavButton.disabled = !shown;
    readingView().show(shown, trend.readings.find((r) => r.id === trend.baseline) ?? null);
  }

  // The point's limits: a machine group's, or typed for the point (group -1).
  // A box the user is typing in keeps its text while a save of the other box
  // refreshes the panel; the box just saved shows what was kept (a refused
  // figure goes back).
  function showLimits(saved) {
    const own = trend.limits.group < 0;
    groupBox.options[TEXT_GROUPS.length].hidden = !own;
    groupBox.value = own ? 'own' : String(trend.limits.group);
    for (const [box, value] of [[alertBox, trend.limits.alert], [dangerBox, trend.limits.danger]])
      if (box === saved || document.activeElement !== box) box.value = figure(value);
  }

  function readingView() {
    if (!view) {
      view = createReadingView(t, db);
      view.onSetBaseline = setBaseline;
      viewPlace.replaceChildren(view.element);
    }
    return view;
  }

  async function setBaseline() {
    const shown = trend?.readings.find((r) => r.id === readingId);
    if (!shown) return;
    const outcome = await db.setBaseline(readingId);
    if (outcome.error) say(t(TEXT_NOT_DONE).replace('%1', outcome.error));
    else say(t(TEXT_BASELINE_SET).replace('%1', $(`tr.point[data-point="${pointId}"] td`, tree)?.textContent ?? '').replace('%2', shown.timeText));
    fillPoint();
  }

  function fill() {
    if (!db) return;
    fillTree();
    fillPoint();
  }

  function loadTexts() {
    caption.textContent = exerciseDatabase()?.caption ?? t(TEXT_MEASUREMENTS);
    close.textContent = t(TEXT_CLOSE);
    transferButton.textContent = t(TEXT_TRANSFER);
    downloadButton.textContent = t(TEXT_DOWNLOAD_DB);
    importButton.textContent = t(TEXT_IMPORT_DB);
    pointsTitle.textContent = t(TEXT_POINTS);
    groupLabel.textContent = t(TEXT_GROUP);
    groupBox.replaceChildren(...TEXT_GROUPS.map((id, i) => new Option(t(id), String(i))), new Option(t(TEXT_OWN_LIMITS), 'own'));
    alertLabel.textContent = t(TEXT_ALERT);
    dangerLabel.textContent = t(TEXT_DANGER);
    view?.loadTexts();
    csvButton.textContent = t(TEXT_EXPORT_CSV);
    uffButton.textContent = t(TEXT_EXPORT_UFF);
    wavButton.textContent = t(TEXT_EXPORT_WAV);
    db?.setLanguage(instrument.languageId());
    fill();
  }

  function exportAs(format, type, extension) {
    const bytes = format === 'wav' ? db.exportBytes('wav', 0, readingId) : db.exportBytes(format, pointId);
    if (!bytes) return;
    const name = format === 'wav' ? db.wavName(readingId) : `${$(`tr.point[data-point="${pointId}"] td`, tree)?.textContent ?? 'readings'}.${extension}`;
    download(bytes, name, type);
    const count = format === 'wav' ? 1 : trend.readings.length;
    say(t(TEXT_EXPORTED).replace('%1', count).replace('%2', name));
  }

  tree.addEventListener('click', (event) => {
    const tr = event.target.closest('tr.point');
    if (!tr) return;
    pointId = Number(tr.dataset.point);
    readingId = 0;
    fillPoint();
    tr.focus();
  });
  readings.addEventListener('click', (event) => {
    const tr = event.target.closest('tr.reading');
    if (tr) selectReading(Number(tr.dataset.reading), { focus: true });
  });
  // Up and Down move over the rows of the list that has the focus.
  for (const [list, rowClass, key, act] of [
    [tree, 'point', 'point', (id) => { pointId = id; readingId = 0; fillPoint(); $(`tr.point[data-point="${id}"]`, tree)?.focus(); }],
    [readings, 'reading', 'reading', (id) => selectReading(id, { focus: true })]]) {
    list.addEventListener('keydown', (event) => {
      const rows = [...list.querySelectorAll(`tr.${rowClass}`)];
      const at = rows.indexOf(document.activeElement);
      const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: rows.length - 1 }[event.key];
      if (to === undefined || !rows.length) return;
      event.preventDefault();
      act(Number(rows[Math.max(0, Math.min(rows.length - 1, to))].dataset[key]));
    });
  }
  trendCanvas.addEventListener('click', (event) => {
    const box = trendCanvas.getBoundingClientRect();
    const x = event.clientX - box.left;
    const y = event.clientY - box.top;
    let best = null;
    for (const p of placed) if (!best || Math.hypot(p.x - x, p.y - y) < Math.hypot(best.x - x, best.y - y)) best = p;
    if (best && Math.hypot(best.x - x, best.y - y) < 24) selectReading(best.id);
  });
  groupBox.addEventListener('change', async () => {
    if (groupBox.value === 'own') return;
    const outcome = await db.setLimits(pointId, Number(groupBox.value));
    if (outcome.error) say(t(TEXT_NOT_DONE).replace('%1', outcome.error));
    fillPoint();
  });
  // Typed limits are kept for the point when the user leaves the field (or
  // presses Enter); a pair that makes no sense is refused and shown again.
  for (const box of [alertBox, dangerBox]) box.addEventListener('change', async () => {
    const outcome = await db.setOwnLimits(pointId, -1, Number(alertBox.value), Number(dangerBox.value));
    if (outcome.error) say(t(TEXT_NOT_DONE).replace('%1', outcome.error));
    fillPoint(box);
  });
  transferButton.addEventListener('click', transfer);
  downloadButton.addEventListener('click', () => {
    download(db.fileBytes(), DB_FILE_NAME, 'application/vnd.sqlite3');
    say(t(TEXT_DOWNLOADED).replace('%1', DB_FILE_NAME));
  });
  importButton.addEventListener('click', () => importFile.click());
  importFile.addEventListener('change', async () => {
    const chosen = importFile.files[0];
    importFile.value = '';
    if (!chosen) return;
    const outcome = await db.importFile(chosen.name, new Uint8Array(await chosen.arrayBuffer()));
    if (outcome.error) say(outcome.error);
    else say(t(TEXT_IMPORTED).replace('%1', outcome.added).replace('%2', chosen.name));
    fill();
  });
  csvButton.addEventListener('click', () => exportAs('csv', 'text/csv', 'csv'));
  uffButton.addEventListener('click', () => exportAs('uff58', 'text/plain', 'uff'));
  wavButton.addEventListener('click', () => exportAs('wav', 'audio/wav', 'wav'));

  async function open() {
    opener = document.activeElement;
    panel.show();
    layoutChanged();
    loadTexts();
    try {
      await database();
    } catch (error) {
      say(t(TEXT_NO_STORAGE).replace('%1', error.message));
      return;
    }
    fill();
  }
  panel.addEventListener('close', () => {
    layoutChanged();
    if (opener?.isConnected && opener.getClientRects().length) opener.focus();
  });
  panel.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.preventDefault();
      panel.close();
    }
  });
  close.addEventListener('click', () => panel.close());

  return {
    isOpen: () => panel.open,
    transfer,
    open,
    // An exercise opened, moved on or closed: the panel shows the database
    // that now stands.
    async databaseChanged() {
      if (!panel.open) return;
      try {
        await database();
      } catch (error) {
        say(t(TEXT_NO_STORAGE).replace('%1', error.message));
        return;
      }
      loadTexts();
    },
    loadTexts() {
      if (panel.open) loadTexts();
    },
    resized: draw,
    // For tests and tools: the database module, once open.
    database,
  };
}
