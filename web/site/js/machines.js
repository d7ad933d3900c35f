// The page's Machines panel: the machine condition each route point, WATCH,
// the off-route points and HF SP. measure, an editor of the selected one's
// condition (ready-made machines with the whole machines' undo), and the
// preview of what that condition gives, drawn on canvases, with the ISO
// zone and the notes on what the instrument will not show. Everything it
// shows and every rule it applies comes from the instrument's own core
// (the Machines window's): the page only lays it out. A change applies from
// the next measurement and is kept in the state as the window keeps it.
//
// Not modal: the instrument stays usable beside it. On a wide screen it
// takes the right side and the window moves over; on a small or portrait
// one it covers the page until closed.
import { element } from './dom.js';
import { drawPlot } from './signal-plot.js';

const $ = (selector, root = document) => root.querySelector(selector);

const TEXT_MACHINES = 1200;
const TEXT_COLUMNS = [1202, 1203, 1204, 1205, 1206];
const TEXT_PRESET = 1211;
const TEXT_CHOOSE_PRESET = 1212;
const TEXT_CONDITION = 1213;
const TEXT_BEARING = 1218;
const TEXT_MACHINE_GROUP = 1224;
const TEXT_GROUPS = [1225, 1226, 1227, 1228];
const TEXT_FREQUENCY_UNIT = 1229;
const TEXT_FREQUENCY_HZ = 1231;
const TEXT_FREQUENCY_RPM = 1232;
const TEXT_PREVIEW = 1429;
const TEXT_LINE_FREQUENCY = 1580;
const TEXT_LINE_HZ = 1581;
const TEXT_SECOND_CONDITION = 1586;
const TEXT_SECOND_NONE = 1587;
const TEXT_UNDO_PRESET = 1602;
const TEXT_CLOSE = 309;
const TEXT_CONDITION_HIDDEN = 1681;
const TEXT_OPEN_EXERCISE = 1702;
const ZONE_COLOURS = { A: '#2e7d32', B: '#9e9d24', C: '#ef6c00', D: '#c62828' };
const BEARING_KEYS = ['elements', 'ball', 'pitch', 'angle', 'stage'];


// hooks.layoutChanged(): the panel opened, closed or changed its side;
// openExercise(): the head's Open exercise button.
export function attachMachines(instrument, { layoutChanged, openExercise }) {
  const t = (id) => instrument.text(id);
  const json = (text) => JSON.parse(text);
  const panel = $('#machines-panel');
  const button = $('#tool-machines');
  let source = 1;
  let group = 0;
  let rpm = false;
  let opener = null;

  // The panel's parts, made once; their texts come at each fill.
  const caption = element('h2', { id: 'machines-caption' });
  const close = element('button', { type: 'button', class: 'close' });
  const exercise = element('button', { type: 'button', id: 'open-exercise' });
  const list = element('table', { id: 'machines-list', role: 'grid', 'aria-labelledby': 'machines-caption' });
  const editor = element('fieldset', { id: 'machines-editor' });
  const refusal = element('p', { id: 'machines-refusal', role: 'alert', hidden: '' });
  const wholeNote = element('span', { id: 'machines-preset-note' });
  const undo = element('button', { type: 'button', id: 'machines-undo' });
  const whole = element('p', { class: 'whole-machine' }, [wholeNote, ' ', undo]);
  const shows = element('p', { id: 'machines-shows' });
  const groupLabel = element('label', { for: 'machines-group' });
  const groupBox = element('select', { id: 'machines-group' });
  const severity = element('p', { id: 'machines-severity' });
  const notes = element('div', { id: 'machines-notes' });
  const summary = element('summary');
  const unitLabel = element('label', { for: 'machines-unit' });
  const unitBox = element('select', { id: 'machines-unit' });
  const waveform = element('canvas', { id: 'machines-waveform' });
  const spectrum = element('canvas', { id: 'machines-spectrum' });
  const preview = element('details', { open: '' }, [summary, element('p', {}, [unitLabel, ' ', unitBox]), waveform, spectrum]);
  panel.append(element('div', { class: 'head' }, [caption, element('span', {}, [exercise, ' ', close])]),
    element('div', { class: 'body' }, [element('div', { class: 'list-scroll' }, [list]), editor, refusal, whole, shows, groupLabel, groupBox, severity, notes, preview]));

  function refuse(text) {
    refusal.textContent = text;
    refusal.hidden = !text;
  }

  function fillList() {
    const rows = json(instrument.machineRows());
    const head = element('tr', {}, TEXT_COLUMNS.map((id) => element('th', { scope: 'col' }, [t(id)])));
    const body = [];
    let machine = null;
    for (const row of rows) {
      if (row.machine !== machine) {
        machine = row.machine;
        body.push(element('tr', { class: 'machine' }, [element('th', { colspan: '5', scope: 'rowgroup' }, [machine])]));
      }
      const cells = [row.name, row.condition, row.speed, row.severity, row.details].map((text) => element('td', {}, [text]));
      const tr = element('tr', { class: 'point', 'data-source': String(row.source), tabindex: row.source === source ? '0' : '-1',
        'aria-selected': String(row.source === source) }, cells);
      if (row.marked) tr.classList.add('marked');
      body.push(tr);
    }
    list.replaceChildren(element('thead', {}, [head]), element('tbody', {}, body));
  }

  const selectedRow = () => $(`tr.point[data-source="${source}"]`, list);

  function select(newSource, { focus = false } = {}) {
    source = newSource;
    refuse('');
    for (const tr of list.querySelectorAll('tr.point')) {
      const on = Number(tr.dataset.source) === source;
      tr.setAttribute('aria-selected', String(on));
      tr.tabIndex = on ? 0 : -1;
    }
    if (focus) selectedRow()?.focus();
    fillEditor();
    fillPreview();
  }

  function option(value, text) {
    return new Option(text, value);
  }

  // The editor's controls by key, made at each language's texts; a change
  // only sets their values, so that the focus stays where the user is.
  let controls = {};
  function buildEditor(e) {
    controls = {};
    const select = (key, options) => {
      const box = element('select', { id: `machines-${key}`, 'data-key': key });
      box.append(...options);
      controls[key] = box;
      return box;
    };
    const field = (f) => {
      const input = element('input', { id: `machines-${f.key}`, type: 'text', inputmode: 'decimal', 'data-key': f.key,
        autocomplete: 'off', spellcheck: 'false' });
      controls[f.key] = input;
      return labelled(f.label, input);
    };
    const byKey = Object.fromEntries(e.fields.map((f) => [f.key, f]));
    const bearing = element('fieldset', { class: 'bearing' }, [element('legend', {}, [t(TEXT_BEARING)])]);
    bearing.append(...BEARING_KEYS.map((key) => field(byKey[key])));
    controls.bearing = bearing;
    const lineHz = (hz) => option(hz, t(TEXT_LINE_HZ).replace('%1', hz));
    editor.replaceChildren(element('legend', {}, [t(TEXT_CONDITION)]),
      labelled(t(TEXT_PRESET), select('preset', [option('0', t(TEXT_CHOOSE_PRESET)), ...e.presets.map((p, i) => option(String(i + 1), p.name))])),
      labelled(t(TEXT_CONDITION), select('kind', e.kinds.map((k) => option(k.name, k.text)))),
      ...['rpm', 'velocity', 'noise', 'seed', 'speed-jitter'].map((key) => field(byKey[key])),
      bearing,
      field(byKey.teeth),
      labelled(t(TEXT_LINE_FREQUENCY), select('line', [lineHz('50'), lineHz('60')])),
      field(byKey.blades),
      field(byKey.resonance),
      labelled(t(TEXT_SECOND_CONDITION), select('second', e.kinds.map((k, i) => option(k.name, i === 0 ? t(TEXT_SECOND_NONE) : k.text)))),
      field(byKey.share1),
      field(byKey.share2));
  }

  function fillEditor() {
    const e = json(instrument.machineEditor(source)) ?? json(instrument.machineEditor(1));
    // An exercise's asked point: nothing of its condition shows, nothing changes it.
    editor.disabled = json(instrument.machineEditor(source)) === null;
    if (!controls.kind) buildEditor(e);
    controls.preset.value = String(e.preset);
    controls.kind.value = e.kind;
    controls.second.value = e.second;
    controls.second.disabled = e.kind === 'stored';
    controls.line.value = String(e.line);
    controls.line.disabled = !e.lineUsed;
    for (const f of e.fields) {
      controls[f.key].value = f.value;
      controls[f.key].disabled = !f.used;
    }
    controls.bearing.disabled = !e.fields.find((f) => f.key === 'elements').used;
    wholeNote.textContent = e.presetNote;
    undo.textContent = t(TEXT_UNDO_PRESET);
    undo.hidden = !e.undo;
    whole.hidden = !e.presetNote;
    return e;
  }

  function labelled(text, control) {
    return element('div', { class: 'field' }, [element('label', { for: control.id }, [text]), control]);
  }

  function fillPreview() {
    const p = json(instrument.machinePreview(source, group, rpm ? 1 : 0));
    preview.hidden = p === null;
    severity.hidden = p === null;
    if (p === null) {
      shows.textContent = t(TEXT_CONDITION_HIDDEN);
      notes.replaceChildren();
      lastPreview = null;
      return;
    }
    shows.textContent = p.shows;
    severity.textContent = p.severity;
    severity.dataset.zone = p.zone;
    severity.style.background = ZONE_COLOURS[p.zone];
    notes.replaceChildren(...p.notes.map((n) => element('p', { class: n.warning ? 'warning' : '' }, [n.text])));
    lastPreview = p;
    drawPreview();
  }

  let lastPreview = null;
  function drawPreview() {
    if (!lastPreview || panel.hidden || !panel.open || !preview.open) return;
    drawPlot(waveform, lastPreview.waveform);
    spectrum.dataset.labels = JSON.stringify(drawPlot(spectrum, lastPreview.spectrum)?.labelled ?? []);
  }

  // Every change goes through the core; a refusal says why, and the fields
  // show what the condition holds.
  function change(key, value) {
    const refused = instrument.setMachineField(source, key, value);
    refuse(refused);
    afterChange();
  }

  function afterChange() {
    fillList();
    fillEditor();
    fillPreview();
  }

  editor.addEventListener('change', (event) => {
    const key = event.target.dataset.key;
    if (!key) return;
    if (key !== 'preset') return change(key, event.target.value);
    const index = Number(event.target.value);
    if (!index) return undefined;
    const presets = json(instrument.machineEditor(source)).presets;
    const refused = instrument.setMachinePreset(source, index - 1);
    refuse(refused);
    if (!refused) {
      group = presets[index - 1].group;
      groupBox.value = String(group);
    }
    afterChange();
    return undefined;
  });
  undo.addEventListener('click', () => {
    instrument.undoMachinePreset();
    refuse('');
    afterChange();
    undo.focus();
  });
  groupBox.addEventListener('change', () => { group = Number(groupBox.value); fillPreview(); });
  unitBox.addEventListener('change', () => { rpm = unitBox.value === 'rpm'; fillPreview(); });
  preview.addEventListener('toggle', drawPreview);

  list.addEventListener('click', (event) => {
    const tr = event.target.closest('tr.point');
    if (tr) select(Number(tr.dataset.source), { focus: true });
  });
  // The list's cursor: Up and Down move over the points, passing the
  // machines' rows, Home and End go to the first and last.
  list.addEventListener('keydown', (event) => {
    const rows = [...list.querySelectorAll('tr.point')];
    const at = rows.findIndex((tr) => Number(tr.dataset.source) === source);
    const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: rows.length - 1 }[event.key];
    if (to === undefined) return;
    event.preventDefault();
    const row = rows[Math.max(0, Math.min(rows.length - 1, to))];
    select(Number(row.dataset.source), { focus: true });
  });

  function loadTexts() {
    controls = {};
    caption.textContent = t(TEXT_MACHINES);
    close.textContent = t(TEXT_CLOSE);
    exercise.textContent = t(TEXT_OPEN_EXERCISE);
    groupLabel.textContent = t(TEXT_MACHINE_GROUP);
    groupBox.replaceChildren(...TEXT_GROUPS.map((id, i) => option(String(i), t(id))));
    groupBox.value = String(group);
    summary.textContent = t(TEXT_PREVIEW);
    unitLabel.textContent = t(TEXT_FREQUENCY_UNIT);
    unitBox.replaceChildren(option('hz', t(TEXT_FREQUENCY_HZ)), option('rpm', t(TEXT_FREQUENCY_RPM)));
    unitBox.value = rpm ? 'rpm' : 'hz';
    fillList();
    fillEditor();
    fillPreview();
  }

  function open() {
    opener = document.activeElement;
    panel.show();
    button.setAttribute('aria-pressed', 'true');
    layoutChanged();
    loadTexts();
    selectedRow()?.focus();
  }

  function shut() {
    panel.close();
  }
  panel.addEventListener('close', () => {
    button.setAttribute('aria-pressed', 'false');
    layoutChanged();
    if (opener?.isConnected && opener.getClientRects().length) opener.focus();
    else button.focus();
  });
  panel.addEventListener('keydown', (event) => {
    if (event.key === 'Escape') {
      event.preventDefault();
      shut();
    }
  });
  close.addEventListener('click', shut);
  exercise.addEventListener('click', () => openExercise());

  return {
    isOpen: () => panel.open,
    // The tool bar's Machines button (the page's, which loads this module).
    toggle: () => (panel.open ? shut() : open()),
    // The texts follow the language; the plots, a new size.
    loadTexts() {
      if (panel.open) loadTexts();
    },
    resized: drawPreview,
    // A state imported or given back: the list shows what it holds.
    stateChanged() {
      if (panel.open) loadTexts();
    },
  };
}
