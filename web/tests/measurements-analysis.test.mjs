// The Measurements panel as an analyst's tool, on a point measured at
// 1200 rpm (its baseline) and again at 1500 rpm by the headless runner and
// imported into the page: in orders the baseline's 1x stands at today's 1x;
// Set as baseline is kept in the database file, over a reload, in the
// file the page downloads and in the desktop's database that imports it; typed limits are kept, nonsense refused; zoom
// and the cursor follow the mouse and the keys.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { openPage, PROJECT, useSiteInBrowser } from './browser.mjs';
import { SIM } from './sim.mjs';
import { MEASURE_POINT_2, POWER_ON } from './state-page.mjs';

const site = useSiteInBrowser();
const DSP = process.env.ORX_DSP ?? path.join(PROJECT, 'build/default/bin/orx700-dsp');

function tableText(id, ...args) {
  const table = fs.readFileSync(path.join(PROJECT, 'resources/strings/english.txt'), 'utf8');
  const text = table.match(new RegExp(`^${id}(?: \\w+)? "(.*)"$`, 'm'))[1];
  return text.replace(/%(\d)/g, (_, n) => args[Number(n) - 1]);
}

// Point 2 at 1200 rpm, transferred, then at 1500 rpm, transferred.
function twoSpeeds(folder) {
  const db = path.join(folder, 'made.sqlite');
  const script = ['condition 2 imbalance rpm=1200 velocity=2', ...POWER_ON, ...MEASURE_POINT_2, `transfer ${db}`,
    'condition 2 imbalance rpm=1500 velocity=5', 'k2', 'k2', 'wait 7000', `transfer ${db}`];
  execFileSync(SIM, ['--clock', '2026-03-14 10:30', '--ini', path.join(folder, 'state.ini'), '-'], { input: `${script.join('\n')}\n`, encoding: 'utf8' });
  return db;
}

const sql = (file, query) => execFileSync('sqlite3', [file, query], { encoding: 'utf8' }).trim();
const status = (page) => page.textContent('#measurements-status');
const harmonics = (page) => page.$$eval('#measurements-harmonics-table tbody tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));

async function importDb(page, file) {
  await page.setInputFiles('#measurements-import-file', { name: path.basename(file), mimeType: 'application/octet-stream', buffer: fs.readFileSync(file) });
  await page.waitForFunction(() => /\d/.test(document.querySelector('#measurements-status').textContent));
}

test('orders line up readings at two speeds, the baseline and typed limits are kept, zoom and cursor follow mouse and keys', async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-analysis-'));
  const { context, page, errors } = await openPage(site.browser, site.url, { contextOptions: { viewport: { width: 1366, height: 768 } } });
  try {
    const made = twoSpeeds(folder);
    await page.click('#tool-transfer'); // nothing measured: opens the panel
    await page.waitForSelector('#measurements-panel[open]');
    await importDb(page, made);
    assert.equal(await status(page), tableText(1788, 2, 'made.sqlite'));
    await page.waitForSelector('#measurements-signal');
    const times = await page.$$eval('#measurements-readings tr.reading', (rows) => rows.map((r) => r.cells[0].textContent));
    assert.equal(times.length, 2);
    // Until the user sets one, the point's first reading is its baseline.
    assert.match(times[1], /\(baseline\)$/);

    // Orders, over the baseline, harmonic cursors at a click near 1x: the
    // baseline's level at 1x is its own 1x (about 2 mm/s), not the floor
    // its 20 Hz spectrum has at 25 Hz. In Hz the same row reads the floor.
    await page.selectOption('#measurements-compare', '1');
    await page.check('#measurements-harmonics');
    const legend = await page.textContent('#measurements-legend');
    assert.ok(legend.includes(times[0].slice(0, 16)) && legend.includes(times[1].slice(0, 16)), legend);
    const clickAt = async (x) => {
      await page.locator('#measurements-signal').scrollIntoViewIfNeeded();
      const box = await page.locator('#measurements-signal').boundingBox();
      const range = (await page.getAttribute('#measurements-signal', 'data-range')).split(',').map(Number);
      const left = 48;
      const width = box.width - 48 - 14;
      await page.mouse.click(box.x + left + ((x - range[0]) / (range[1] - range[0])) * width, box.y + box.height / 2);
    };
    for (const [axis, near1x, baseFloor] of [['orders', 1, false], ['hz', 25, true]]) {
      await page.selectOption('#measurements-axis', axis);
      await page.click('#measurements-zoom-reset');
      await clickAt(near1x);
      const rows = await harmonics(page);
      assert.equal(rows[0][0], '1x', axis);
      assert.ok(Math.abs(Number(rows[0][1]) - 25) < 0.2, `${axis}: 1x at ${rows[0][1]} Hz`);
      assert.ok(Number(rows[0][2]) > 4, `${axis}: today's 1x ${rows[0][2]}`);
      const base = Number(rows[0][3]);
      assert.ok(baseFloor ? base < 0.5 : base > 1.5, `${axis}: the baseline at 1x reads ${base}`);
    }

    // Zoom: the wheel narrows the span about the pointer, a drag takes the
    // dragged span, Whole band gives it all back; keys move the cursor one line.
    await page.selectOption('#measurements-axis', 'hz');
    await page.uncheck('#measurements-harmonics');
    const span = async () => (await page.getAttribute('#measurements-signal', 'data-range')).split(',').map(Number);
    await page.click('#measurements-zoom-reset');
    assert.deepEqual(await span(), [0, 1000]);
    await page.locator('#measurements-signal').scrollIntoViewIfNeeded();
    const box = await page.locator('#measurements-signal').boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
    await page.mouse.wheel(0, -100);
    const wheeled = await span();
    assert.ok(wheeled[1] - wheeled[0] < 900 && wheeled[0] > 0, String(wheeled));
    await page.click('#measurements-zoom-reset');
    await page.mouse.move(box.x + 48 + (box.width - 62) * 0.1, box.y + 100);
    await page.mouse.down();
    await page.mouse.move(box.x + 48 + (box.width - 62) * 0.2, box.y + 100, { steps: 4 });
    await page.mouse.up();
    const dragged = await span();
    assert.ok(Math.abs(dragged[0] - 100) < 5 && Math.abs(dragged[1] - 200) < 5, String(dragged));
    await clickAt(150);
    const before = Number((await page.textContent('#measurements-cursor')).match(/([\d.]+) Hz/)[1]);
    await page.focus('#measurements-signal');
    await page.keyboard.press('ArrowRight');
    const after = Number((await page.textContent('#measurements-cursor')).match(/([\d.]+) Hz/)[1]);
    assert.ok(Math.abs(after - before - 0.3125) < 1e-6, `${before} -> ${after}`);
    await page.keyboard.press('0');
    assert.deepEqual(await span(), [0, 1000]);

    // The newest reading as the baseline: in the file, after a reload, and
    // in the file the page downloads.
    await page.click('#measurements-readings tr.reading >> nth=0');
    await page.click('#measurements-set-baseline');
    await page.waitForFunction(() => /\(baseline\)$/.test(document.querySelector('#measurements-readings tr.reading td').textContent));
    // Typed limits: kept; an alert above danger is refused, nothing changed.
    await page.fill('#measurements-alert', '3.3');
    await page.fill('#measurements-danger', '6.6');
    await page.press('#measurements-danger', 'Enter');
    await page.waitForFunction(() => document.querySelector('#measurements-group').value === 'own');
    await page.fill('#measurements-alert', '9');
    await page.press('#measurements-alert', 'Enter');
    await page.waitForFunction((text) => document.querySelector('#measurements-status').textContent.includes(text), tableText(2204));
    assert.equal(await page.inputValue('#measurements-alert'), '3.3');

    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    await page.click('#tool-transfer');
    await page.waitForSelector('#measurements-readings tr.reading');
    const kept = await page.$$eval('#measurements-readings tr.reading', (rows) => rows.map((r) => r.cells[0].textContent));
    assert.match(kept[0], /\(baseline\)$/);
    assert.doesNotMatch(kept[1], /baseline/);
    assert.equal(await page.inputValue('#measurements-danger'), '6.6');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#measurements-download')]);
    const file = await download.path();
    assert.equal(sql(file, 'SELECT r.measured = (SELECT max(measured) FROM readings) FROM point_baselines b JOIN readings r ON r.id = b.reading_id'), '1');
    assert.equal(sql(file, 'SELECT machine_group, alert, danger FROM point_limits'), '-1|3.3|6.6');
    // The desktop's core imports the file with its baseline.
    const desk = path.join(folder, 'desk.sqlite');
    execFileSync(DSP, ['import', '--db', desk, file]);
    assert.equal(sql(desk, 'SELECT r.measured = (SELECT max(measured) FROM readings) FROM point_baselines b JOIN readings r ON r.id = b.reading_id'), '1');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
});
