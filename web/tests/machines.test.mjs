// The page's Machines panel against the headless instrument: a condition set
// in the panel is the one the instrument measures and the one the exported
// state holds, an ini written by orx700-sim opens with the same conditions,
// presets and their undo, and the refusals, in both languages.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { openPage, play, PROJECT, useSiteInBrowser } from './browser.mjs';
import { SIM, settledDifference, simulate } from './sim.mjs';
import { exportState, importText, MEASURE_POINT_2, POWER_ON } from './state-page.mjs';

const site = useSiteInBrowser();

// The [MachineConditions] section of a state's text, as key=value lines.
const conditions = (text) => (text.match(/\[MachineConditions\]\n([^[]*)/)?.[1] ?? '').trim().split('\n').filter(Boolean);

// The state orx700-sim keeps after script, from no state at all.
function simIni(script) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-machines-'));
  try {
    const ini = path.join(folder, 'state.ini');
    execFileSync(SIM, ['--clock', '2026-03-14 10:30', '--ini', ini, '-'], { input: `${script.join('\n')}\n`, encoding: 'utf8' });
    return fs.readFileSync(ini, 'utf8');
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

// A string table's text, %1.. replaced by args.
function tableText(language, id, ...args) {
  const table = fs.readFileSync(path.join(PROJECT, 'resources/strings', `${language}.txt`), 'utf8');
  const text = table.match(new RegExp(`^${id}(?: \\w+)? "(.*)"$`, 'm'))[1];
  return text.replace(/%(\d)/g, (_, n) => args[Number(n) - 1]);
}

// The tool bar's button opens the panel once its module has loaded.
async function openMachines(page) {
  await page.click('#tool-machines');
  await page.waitForSelector('#machines-panel[open]');
}
const row = (page, source) => page.$$eval(`#machines-list tr[data-source="${source}"] td`, (cells) => cells.map((c) => c.textContent));
const marked = (page) => page.$$eval('#machines-list tr.marked', (rows) => rows.map((r) => Number(r.dataset.source)));
// A field typed into and left, as a user does.
async function type(page, key, text) {
  await page.fill(`#machines-${key}`, text);
  await page.press(`#machines-${key}`, 'Tab');
}

test('a condition set in the panel is what the instrument measures and what the exported state holds, as orx700-sim keeps it', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    // By keyboard: the tool bar button opens the panel on the selected point.
    await page.focus('#tool-machines');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#machines-panel[open]');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.source), '1');
    await page.keyboard.press('ArrowDown');
    assert.equal(await page.evaluate(() => document.activeElement.dataset.source), '2');
    await page.selectOption('#machines-kind', 'imbalance');
    await type(page, 'rpm', '2950');
    await type(page, 'velocity', '7,1'); // a decimal comma, as a Russian keyboard gives
    assert.deepEqual((await row(page, 2)).slice(1, 4), ['Imbalance', '2950', '7.1']);
    assert.equal(await page.textContent('#machines-refusal'), '');
    // The preview marks the running speed's lines.
    assert.ok(JSON.parse(await page.getAttribute('#machines-spectrum', 'data-labels')).includes('1x'));
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'tool-machines');

    const set = ['condition 2 imbalance rpm=2950 velocity=7.1'];
    const exported = await exportState(page);
    assert.deepEqual(conditions(exported), conditions(simIni(set)));

    const script = [...POWER_ON, ...MEASURE_POINT_2];
    // The headless runs first: on a busy machine they take seconds, and the
    // page's backlight goes out 10 s after the last key.
    const expected = simulate([...set, ...script]).picture;
    const fromExported = simulate(script, { ini: exported }).picture;
    const fromStored = simulate(script).picture;
    await play(page, script);
    assert.equal(await settledDifference(page, expected), null);
    // The exported state, read by orx700-sim, measures the same.
    assert.equal(await settledDifference(page, fromExported), null);
    // The stored waveform would read otherwise: the comparisons can fail.
    assert.notEqual(await settledDifference(page, fromStored, 0), null);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('an ini orx700-sim wrote opens in the page with its conditions, and exports them unchanged', async () => {
  const written = simIni(['condition 5 bearing-outer rpm=1480 velocity=3.6 bearing=8,17.46,72.5,0 stage=3',
    'condition hf resonance rpm=2950 velocity=6 resonance=1200', 'condition 7 imbalance+misalignment shares=2,1']);
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    await importText(page, written);
    await page.waitForFunction(() => document.querySelector('#status').textContent !== '');
    await openMachines(page);
    assert.deepEqual(await row(page, 5), ['5  Coupl-HOR', 'Bearing: outer race defect', '1480', '3.6', 'N=8  d=17.46  D=72.5  0°']);
    assert.deepEqual(await row(page, -2), ['HF spectrum', 'Structural resonance', '2950', '6', '1200 Hz']);
    assert.deepEqual((await row(page, 7))[1], 'Imbalance + Misalignment');
    await page.click('#machines-list tr[data-source="5"]');
    assert.equal(await page.inputValue('#machines-stage'), '3');
    assert.equal(await page.inputValue('#machines-pitch'), '72.50');
    await page.click('#machines-list tr[data-source="7"]');
    assert.equal(await page.inputValue('#machines-share1'), '2.00');
    await page.keyboard.press('Escape');
    assert.deepEqual(conditions(await exportState(page)), conditions(written));
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('a whole machine sets its points in bold and is undone; another change ends the undo; a single preset sets its point alone', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, { contextOptions: { deviceScaleFactor: 2 } });
  try {
    await openMachines(page);
    const stored = await row(page, 1);
    const choose = (name) => page.selectOption('#machines-preset', { label: name });
    for (let round = 0; round < 2; ++round) {
      await choose('Motor and pump, 4 bearings (whole machine)');
      assert.deepEqual(await marked(page), [1, 2, 3, 4]);
      assert.equal((await row(page, 3))[1], 'Bearing: outer race defect');
      assert.match(await page.textContent('#machines-preset-note'), /has set machine 1: 1 Low-HOR \(motor drive end\)/);
      await page.click('#machines-undo');
      assert.deepEqual(await marked(page), []);
      assert.deepEqual(await row(page, 3), stored.map((text, i) => (i === 0 ? '3  Front-AXLE' : text)));
      assert.equal(await page.isVisible('#machines-undo'), false);
    }
    // A change of the trainer's own after a whole machine: no undo to overwrite it.
    await choose('Gearbox, both shafts (whole machine)');
    assert.deepEqual(await marked(page), [1, 2]);
    await type(page, 'velocity', '5');
    assert.deepEqual(await marked(page), []);
    assert.equal(await page.isVisible('#machines-undo'), false);
    assert.equal((await row(page, 2))[1], 'Gear mesh fault');
    // Off the route: a single preset sets WATCH alone, a whole machine is refused.
    await page.click('#machines-list tr[data-source="-1"]');
    await choose('Fan, imbalance, zone C');
    assert.deepEqual((await row(page, -1)).slice(1, 4), ['Imbalance', '1480', '3.6']);
    assert.equal(await page.inputValue('#machines-preset'), String(2));
    assert.match(await page.textContent('#machines-severity'), /zone C/);
    await choose('Motor and pump, 4 bearings (whole machine)');
    assert.equal(await page.textContent('#machines-refusal'),
      tableText('english', 1601, 'Motor and pump, 4 bearings (whole machine)'));
    // The plots are drawn at the screen's pixel ratio.
    const canvas = await page.$eval('#machines-spectrum', (c) => ({ width: c.width, css: c.clientWidth }));
    assert.equal(canvas.width, canvas.css * 2);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('figures out of range, not figures or against the bearing are refused with the reason, in either language, and nothing changes', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    await openMachines(page);
    await page.selectOption('#machines-kind', 'bearing-inner');
    const cases = [
      ['rpm', '30000.1', tableText('english', 1425, '30000.1', 'Running speed, rpm', '60', '30000')],
      ['rpm', '59', tableText('english', 1425, '59', 'Running speed, rpm', '60', '30000')],
      ['ball', '12', tableText('english', 1426, '12', '12')],
      ['elements', '100', tableText('english', 1591, '100', '2', '12')],
    ];
    for (const [key, text, message] of cases) {
      const before = await page.inputValue(`#machines-${key}`);
      await type(page, key, text);
      assert.equal(await page.textContent('#machines-refusal'), message);
      assert.equal(await page.inputValue(`#machines-${key}`), before);
    }
    await type(page, 'rpm', '30000');
    assert.equal(await page.isVisible('#machines-refusal'), false);
    assert.equal((await row(page, 1))[2], '30000');

    // Russian: the panel's texts follow at once, and so do its refusals.
    await page.selectOption('#language', 'RUS');
    assert.equal(await page.textContent('#machines-caption'), tableText('russian', 1200));
    await type(page, 'velocity', 'abc');
    assert.equal(await page.textContent('#machines-refusal'),
      tableText('russian', 1425, 'abc', tableText('russian', 1215), '0.01', '70'));
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
