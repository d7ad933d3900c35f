// The page's exercise: one opened from a file or from a link
// (#exercise=1.<deflate-raw, base64url> in the address's fragment, taken out
// of the address bar once read), run on a state of its own, answered on the
// sheet and submitted: the score, the review and the submission file, which
// is downloaded. The core (training/) holds the exercise, scores it and
// words the sheet; this module lays it out. The trainee's own state is set
// aside while it runs and comes back at Close exercise; the page's saves
// leave the kept state alone meanwhile.
import { download, element } from './dom.js';
import { until } from './state-actions.js';

const $ = (selector, root = document) => root.querySelector(selector);

export const LINK_PREFIX = '#exercise=';
export const LINK_VERSION = '1';
const PARK_LIMIT_MS = 15000;

const TEXT_CONDITION = 1213;
const TEXT_GROUPS = { '2-rigid': 1225, '2-flexible': 1226, '1-rigid': 1227, '1-flexible': 1228 };
const TEXT_EXERCISE_OPEN_FAILED = 1650;
const TEXT_EXERCISE = 1703;
const TEXT_TRAINEE_NAME = 1704;
const TEXT_SUBMIT = 1705;
const TEXT_CLOSE_EXERCISE = 1706;
const TEXT_SCORE = 1707;
const TEXT_NOT_MEASURED_YET = 1708;
const TEXT_MEASURED = 1709;
const TEXT_ZONE = 1710;
const TEXT_NOTE = 1711;
const TEXT_ONLY_WRONG = 1713;
const TEXT_YOUR_ANSWER = 1714;
const TEXT_RIGHT_ANSWER = 1715;
const TEXT_RIGHT = 1716;
const TEXT_WRONG = 1717;
const TEXT_LINK_REFUSED = 1718;
const TEXT_NOT_ANSWERED = 1720;
const TEXT_DOWNLOAD = 1721;
const TEXT_HINT = 1722;
const TEXT_LINK_DAMAGED = 1725;
const TEXT_LINK_FUTURE = 1726;
const TEXT_NOT_SWITCHED_OFF = 1307;
const TEXT_COPY_LINK = 1862;
const TEXT_LINK_COPIED = 1863;
const TEXT_LINK_NOT_COPIED = 1864;
const TEXT_LINK_LONG = 1865;
const TEXT_SECOND_CONDITION = 1586;
const TEXT_SECOND_NONE = 1587;
const TEXT_TIME_LEFT = 1869;
const TEXT_TIME_UP = 1870;
const TEXT_VISIT_NEXT = 2142;
const TEXT_VISIT_TREND = 2143;
const TEXT_VISIT_OF = 2144;
const TEXT_VISIT_LAST = 2145;
const TEXT_VISIT_NEVER = 2147;
const TEXT_VISIT_CHOICE = 2148;
const TEXT_VISIT_NOT_DONE = 2149;
const TEXT_VISIT_TREND_TITLE = 2156;
const TEXT_VISIT_QUESTION = 2240;
const TEXT_EXERCISE_MEASUREMENTS = 2241;
// Past this length some mail and chat programs cut a link.
const LINK_SAFE_LENGTH = 2000;
const SUBMISSION_FILE_NAME = 'orx700-submission.txt';

const format = (text, ...args) => text.replace(/%(\d)/g, (whole, n) => args[Number(n) - 1] ?? whole);


// The exercise file's text of a link's fragment; throws 'future' or 'damaged'.
export async function readLink(fragment) {
  const body = fragment.slice(LINK_PREFIX.length);
  const dot = body.indexOf('.');
  if (dot < 0) throw new Error('damaged');
  if (body.slice(0, dot) !== LINK_VERSION) throw new Error(/^\d+$/.test(body.slice(0, dot)) ? 'future' : 'damaged');
  try {
    const base64 = body.slice(dot + 1).replace(/-/g, '+').replace(/_/g, '/');
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    return await new Response(stream).text();
  } catch {
    throw new Error('damaged');
  }
}

// The link to address (its fragment dropped) that opens the exercise file's
// text: the same codec as the desktop's (raw deflate, base64url, unpadded).
export async function makeLink(address, text) {
  const stream = new Blob([new TextEncoder().encode(text)]).stream().pipeThrough(new CompressionStream('deflate-raw'));
  const bytes = new Uint8Array(await new Response(stream).arrayBuffer());
  let binary = '';
  for (const byte of bytes) binary += String.fromCharCode(byte);
  const data = btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  return `${address.split('#')[0]}${LINK_PREFIX}${LINK_VERSION}.${data}`;
}


// hooks: stateSwapped() once the exercise's state or the own one is in,
// message(text) for a refusal, kinds() the conditions' names and texts,
// saveOwn() to keep the own state as it is before it is set aside,
// beforeOpen() to free the instrument of a recording or a playback first
// (resolves false when the user would rather not), showMeasurements() to
// open the Measurements panel (on the exercise's database while it runs).
export function attachExercise(instrument, { stateSwapped, message, kinds, layoutChanged, saveOwn, beforeOpen, showMeasurements }) {
  const t = (id) => instrument.text(id);
  const panel = $('#exercise-panel');
  let submission = null; // the last submission's file and review
  let sheet = null; // the answer sheet as last shown
  // The exercise's own measurement database: what is transferred while it
  // runs, and each visit's readings for the trend. Made on first use, in the
  // page's memory only, and dropped with the rest of the exercise's state;
  // the trainee's own database is never opened for it.
  let exerciseDb = null;
  let moving = false; // a Next visit under way
  const database = () => (exerciseDb ??= import('./measurement-db.js')
    .then((module) => module.openMeasurementDb(instrument.languageId(), { kept: false }))
    .catch((error) => {
      exerciseDb = null;
      throw error;
    }));

  async function park() {
    const parked = () => { instrument.powerOff(); return instrument.isParked(); };
    if (await until(parked, PARK_LIMIT_MS)) return true;
    message(t(TEXT_NOT_SWITCHED_OFF));
    return false;
  }

  async function open(text, refusedText) {
    const refusal = instrument.exerciseRefusal(text);
    if (refusal) return message(refusedText(refusal));
    if (!(await beforeOpen())) return undefined;
    if (!instrument.exerciseIsOpen()) saveOwn();
    if (!(await park())) return undefined;
    instrument.exerciseOpen(text);
    instrument.forgetMachinePreset();
    submission = null;
    exerciseDb = null;
    stateSwapped();
    panel.show();
    layoutChanged();
    fill();
    $('select, input', panel)?.focus();
    return undefined;
  }

  async function close() {
    if (!(await park())) return;
    instrument.exerciseClose();
    instrument.forgetMachinePreset();
    submission = null;
    exerciseDb = null;
    panel.close();
    stateSwapped();
  }

  function answerOf(row) {
    const value = (name) => $(`[data-point="${row.point}"][data-part="${name}"]`, panel)?.value ?? '';
    // Two faults of one machine are named "first+second", as the core names them.
    const condition = [value('condition'), value('second')].filter(Boolean).join('+');
    return { condition, zone: value('zone'), note: value('note'), visit: value('visit') };
  }

  // "visit 3 (2026-03-05 00:00)", "never", or none given.
  function visitText(visit) {
    if (visit < 0) return '—';
    if (visit === 0 || visit > sheet.visitDates.length) return t(TEXT_VISIT_NEVER);
    return format(t(TEXT_VISIT_CHOICE), String(visit), sheet.visitDates[visit - 1]);
  }

  // A visit question: one list of the visits and never, and the note.
  function visitControls(row) {
    const box = element('select', { 'data-point': String(row.point), 'data-part': 'visit', 'aria-label': `${row.label} ${format(t(TEXT_VISIT_QUESTION), row.reach)}` });
    const visits = sheet.visitDates.map((date, i) => i + 1);
    box.append(...[-1, ...visits, 0].map((v) => new Option(visitText(v), String(v))));
    box.value = String(row.answer.visit);
    return element('label', {}, [format(t(TEXT_VISIT_QUESTION), row.reach), ' ', box]);
  }

  function sheetRow(row) {
    const asksCondition = row.asks === 'condition' || row.asks === 'both';
    const asksZone = row.asks === 'zone' || row.asks === 'both';
    const controls = row.asks === 'visit' ? [visitControls(row)] : [];
    if (asksCondition) {
      const [first = '', second = ''] = row.answer.condition.split('+');
      const faults = kinds().filter((k) => k.name !== 'stored');
      const box = element('select', { 'data-point': String(row.point), 'data-part': 'condition', 'aria-label': `${row.label} ${t(TEXT_CONDITION)}` });
      box.append(new Option('—', ''), ...faults.map((k) => new Option(k.text, k.name)));
      box.value = first;
      const other = element('select', { 'data-point': String(row.point), 'data-part': 'second', 'aria-label': `${row.label} ${t(TEXT_SECOND_CONDITION)}` });
      other.append(new Option(t(TEXT_SECOND_NONE), ''), ...faults.filter((k) => k.name !== 'good').map((k) => new Option(k.text, k.name)));
      other.value = second;
      controls.push(element('label', {}, [t(TEXT_CONDITION), ' ', box]), element('label', {}, ['+ ', other]));
    }
    if (asksZone) {
      const box = element('select', { 'data-point': String(row.point), 'data-part': 'zone', 'aria-label': `${row.label} ${t(TEXT_ZONE)}` });
      box.append(new Option('—', ''), ...['A', 'B', 'C', 'D'].map((z) => new Option(z, z)));
      box.value = row.answer.zone;
      controls.push(element('label', {}, [t(TEXT_ZONE), ' ', box]));
    }
    const note = element('input', { type: 'text', 'data-point': String(row.point), 'data-part': 'note', 'aria-label': `${row.label} ${t(TEXT_NOTE)}` });
    note.value = row.answer.note;
    controls.push(element('label', {}, [t(TEXT_NOTE), ' ', note]));
    return element('li', { 'data-point': String(row.point) }, [
      element('strong', {}, [`${row.machine} · ${row.label}`]), ' ',
      element('span', { class: row.measured ? 'measured' : 'not-measured' }, [t(row.measured ? TEXT_MEASURED : TEXT_NOT_MEASURED_YET)]),
      element('div', { class: 'group' }, [t(TEXT_GROUPS[row.group] ?? 1225)]),
      element('div', { class: 'answers' }, controls)]);
  }

  function reviewRow(p) {
    const named = (name) => kinds().find((k) => k.name === name)?.text ?? name;
    const said = (a) => (p.asks === 'visit' ? (a.visit < 0 ? '' : visitText(a.visit))
      : [a.condition ? a.condition.split('+').map(named).join(' + ') : '', a.zone].filter(Boolean).join(', ')) || t(TEXT_NOT_ANSWERED);
    return element('li', { 'data-point': String(p.point), class: p.pointRight ? 'right' : 'wrong' }, [
      element('strong', {}, [`${p.machine} · ${p.label}: ${t(p.pointRight ? TEXT_RIGHT : TEXT_WRONG)}`]),
      element('div', {}, [format(t(TEXT_YOUR_ANSWER), said(p.answer))]),
      element('div', {}, [format(t(TEXT_RIGHT_ANSWER), said(p.right))]),
      ...(p.hint ? [element('div', { class: 'hint' }, [format(t(TEXT_HINT), p.hint)])] : [])]);
  }

  // An exercise of visits: which visit this is, Next visit (greyed out at
  // the last) and the trend of the visits measured so far.
  function visitPart() {
    if (sheet.visits < 2) return [];
    const last = sheet.visit >= sheet.visits;
    const said = format(t(TEXT_VISIT_OF), String(sheet.visit), String(sheet.visits), sheet.visitDate);
    const next = element('button', { type: 'button', id: 'exercise-next-visit' }, [t(TEXT_VISIT_NEXT)]);
    next.disabled = last || moving || Boolean(submission);
    return [element('p', { id: 'exercise-visit' }, [
      element('strong', {}, [said]), last ? ` ${t(TEXT_VISIT_LAST)}` : '', ' ', next, ' ',
      element('button', { type: 'button', id: 'exercise-visit-trend' }, [t(TEXT_VISIT_TREND)])])];
  }

  // This visit's readings into the exercise's database, then the next visit:
  // a fresh route at the next date and conditions, the instrument off. When
  // the readings cannot be kept, the visit stays as it was.
  async function nextVisit() {
    if (moving) return;
    moving = true;
    fill();
    try {
      if (!(await park())) return;
      let outcome;
      try {
        const db = await database();
        db.setLanguage(instrument.languageId());
        outcome = await db.transfer(instrument.transferBundle());
      } catch (error) {
        outcome = { error: error.message };
      }
      if (outcome.error) {
        message(format(t(TEXT_VISIT_NOT_DONE), outcome.error));
        return;
      }
      instrument.exerciseNextVisit();
      instrument.forgetMachinePreset();
      stateSwapped();
    } finally {
      moving = false;
      if (panel.open) fill();
    }
  }

  function fill() {
    sheet = JSON.parse(instrument.exerciseSheet());
    const head = element('div', { class: 'head' }, [
      element('h2', { id: 'exercise-caption' }, [`${t(TEXT_EXERCISE)}: ${sheet.title}`]),
      element('span', { id: 'exercise-time', role: 'timer' }),
      element('span', {}, [
        element('button', { type: 'button', id: 'exercise-copy-link' }, [t(TEXT_COPY_LINK)]), ' ',
        element('button', { type: 'button', id: 'exercise-close' }, [t(TEXT_CLOSE_EXERCISE)])])]);
    const body = element('div', { class: 'body' }, [element('p', { id: 'exercise-instructions' }, [sheet.instructions]), ...visitPart()]);
    if (!submission) {
      body.append(element('ol', { id: 'exercise-sheet' }, sheet.points.map(sheetRow)),
        element('label', {}, [t(TEXT_TRAINEE_NAME), ' ', element('input', { type: 'text', id: 'exercise-name' })]), ' ',
        element('button', { type: 'button', id: 'exercise-submit' }, [t(TEXT_SUBMIT)]));
    } else {
      const review = submission.review;
      const only = element('input', { type: 'checkbox', id: 'exercise-only-wrong' });
      if (submission.timeUp) body.append(element('p', { id: 'exercise-time-up', role: 'alert' }, [t(TEXT_TIME_UP)]));
      body.append(element('p', { id: 'exercise-score' }, [format(t(TEXT_SCORE), String(review.score), String(review.asked))]),
        element('label', {}, [only, ' ', t(TEXT_ONLY_WRONG)]),
        element('ol', { id: 'exercise-review' }, review.points.map(reviewRow)),
        element('button', { type: 'button', id: 'exercise-download' }, [t(TEXT_DOWNLOAD)]));
      only.addEventListener('change', () => $('#exercise-review', panel).classList.toggle('only-wrong', only.checked));
    }
    panel.replaceChildren(head, body);
    showTime();
  }

  // The answers as they stand: scored, downloaded, and the review shown.
  function submit({ timeUp = false } = {}) {
    submission = JSON.parse(instrument.exerciseSubmit($('#exercise-name', panel)?.value ?? ''));
    submission.timeUp = timeUp;
    download(submission.file, SUBMISSION_FILE_NAME);
    fill();
    stateSwapped(); // the Machines panel shows the conditions now
  }

  // The time limit's countdown; at zero the core has locked the answers and
  // they are submitted as they stood, as a trainer's timed test is.
  function showTime() {
    const clock = $('#exercise-time', panel);
    const left = submission ? -1 : instrument.exerciseSecondsLeft();
    if (!clock) return;
    clock.textContent = left < 0 ? '' : format(t(TEXT_TIME_LEFT), `${Math.floor(left / 60)}:${String(left % 60).padStart(2, '0')}`);
    if (left === 0) submit({ timeUp: true });
  }

  panel.addEventListener('change', (event) => {
    const point = Number(event.target.dataset.point);
    if (!point) return;
    const row = { point };
    const a = answerOf(row);
    if ($(`[data-point="${point}"][data-part="visit"]`, panel)) instrument.exerciseAnswerVisit(point, Number(a.visit), a.note);
    else instrument.exerciseAnswer(point, a.condition, a.zone, a.note);
  });
  // The link goes on the clipboard and shows, so that it can be checked or
  // copied by hand where the clipboard is closed to the page.
  async function copyLink() {
    const link = await makeLink(location.href, instrument.exerciseText());
    let copied = true;
    try {
      await navigator.clipboard.writeText(link);
    } catch {
      copied = false;
    }
    const said = format(t(copied ? TEXT_LINK_COPIED : TEXT_LINK_NOT_COPIED), String(link.length), link);
    message(link.length > LINK_SAFE_LENGTH ? `${said}\n${t(TEXT_LINK_LONG)}` : said);
  }

  panel.addEventListener('click', (event) => {
    const id = event.target.id;
    if (id === 'exercise-close') close();
    else if (id === 'exercise-copy-link') copyLink();
    else if (id === 'exercise-submit') submit();
    else if (id === 'exercise-download') download(submission.file, SUBMISSION_FILE_NAME);
    else if (id === 'exercise-next-visit') nextVisit();
    else if (id === 'exercise-visit-trend') showMeasurements();
  });
  // The sheet says which points have been measured, as they are, and how
  // long is left.
  setInterval(() => {
    if (!panel.open || submission) return;
    showTime();
    if (submission) return;
    const sheet = JSON.parse(instrument.exerciseSheet());
    for (const row of sheet.points) {
      const mark = $(`li[data-point="${row.point}"] > span`, panel);
      if (mark && mark.className !== (row.measured ? 'measured' : 'not-measured')) {
        mark.className = row.measured ? 'measured' : 'not-measured';
        mark.textContent = t(row.measured ? TEXT_MEASURED : TEXT_NOT_MEASURED_YET);
      }
    }
  }, 1000);

  const fileInput = element('input', { type: 'file', accept: '.txt,.orx700-exercise,text/plain', hidden: '' });
  document.body.append(fileInput);
  fileInput.addEventListener('change', async () => {
    const chosen = fileInput.files[0];
    fileInput.value = '';
    if (!chosen) return;
    const text = chosen.size > 256 * 1024 ? '' : await chosen.text();
    await open(text, (reason) => format(t(TEXT_EXERCISE_OPEN_FAILED), chosen.name, reason));
  });

  return {
    isOpen: () => panel.open,
    choose: () => fileInput.click(),
    // The link the page was opened with, if it holds an exercise: read,
    // taken out of the address bar, and opened.
    async openLink() {
      if (!location.hash.startsWith(LINK_PREFIX)) return;
      const fragment = location.hash;
      history.replaceState(null, '', location.pathname + location.search);
      let text;
      try {
        text = await readLink(fragment);
      } catch (error) {
        message(format(t(TEXT_LINK_REFUSED), t(error.message === 'future' ? TEXT_LINK_FUTURE : TEXT_LINK_DAMAGED)));
        return;
      }
      await open(text, (reason) => format(t(TEXT_LINK_REFUSED), reason));
    },
    loadTexts() {
      if (panel.open) fill();
    },
    // While an exercise runs, its own measurement database for the
    // Measurements panel: { caption, database() (a promise) }; else null.
    database() {
      if (!instrument.exerciseIsOpen() || !sheet) return null;
      const caption = format(t(sheet.visits > 1 ? TEXT_VISIT_TREND_TITLE : TEXT_EXERCISE_MEASUREMENTS), sheet.title);
      return { caption, database };
    },
  };
}
