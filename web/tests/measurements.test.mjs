// Readings on the PC in the browser: Transfer to PC twice in one page load
// adds each reading once, a new measurement is new; the database file the
// page downloads is one the desktop's core imports (orx700-dsp import) with
// the same readings, levels and samples; a file of another program is
// refused with nothing changed; a reload keeps the database.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { openPage, play, PROJECT, useSiteInBrowser } from './browser.mjs';
import { MEASURE_NEXT, MEASURE_POINT_2, POWER_ON } from './state-page.mjs';

const site = useSiteInBrowser();
const DSP = process.env.ORX_DSP ?? path.join(PROJECT, 'build/default/bin/orx700-dsp');
if (!fs.existsSync(DSP)) throw new Error(`no ${DSP}: build it with cmake --build --preset default --target orx700-dsp`);

function tableText(id, ...args) {
  const table = fs.readFileSync(path.join(PROJECT, 'resources/strings/english.txt'), 'utf8');
  const text = table.match(new RegExp(`^${id}(?: \\w+)? "(.*)"$`, 'm'))[1];
  return text.replace(/%(\d)/g, (_, n) => args[Number(n) - 1]).replace('%s', args[0]);
}

async function transfer(page) {
  const before = Number(await page.evaluate(() => document.body.dataset.transferred ?? 0));
  await page.click('#tool-transfer');
  await page.waitForFunction((n) => Number(document.body.dataset.transferred ?? 0) > n, before, { timeout: 20000 });
  await page.evaluate(() => document.activeElement?.blur()); // the keys go to the instrument again
  return page.textContent('#measurements-status');
}

async function downloaded(page, selector) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click(selector)]);
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
}

// CSV rows as objects by header, the numbers as numbers: the page's and the
// desktop's writers may spell a float differently, never its value.
function csvRows(text) {
  const [head, ...rows] = text.trim().split('\r\n');
  const names = head.split(',');
  return rows.map((row) => Object.fromEntries(row.split(',').map((cell, i) => [names[i], cell !== '' && !Number.isNaN(Number(cell)) ? Number(cell) : cell])));
}

const counts = (page) => page.$$eval('#measurements-tree td.count', (cells) => cells.map((c) => Number(c.textContent)));

test('transfers add each reading once, and the downloaded database gives the desktop the same readings', async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-pcweb-'));
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    assert.equal(await transfer(page), tableText(1758), 'nothing measured yet');

    await play(page, [...POWER_ON, ...MEASURE_POINT_2]);
    assert.equal(await transfer(page), tableText(1757, 1));
    assert.equal(await transfer(page), tableText(1757, 0), 'the same reading is not added twice');
    await play(page, MEASURE_NEXT); // point 3
    assert.equal(await transfer(page), tableText(1757, 1));
    assert.deepEqual(await counts(page), [1, 1]);
    assert.equal(await page.textContent('#status'), tableText(1757, 1), 'the window says it too');

    // The database file, into an empty desktop database by the native core.
    const file = await downloaded(page, '#measurements-download');
    assert.equal(file.name, 'measurements.sqlite');
    const pageFile = path.join(folder, 'page.sqlite');
    fs.writeFileSync(pageFile, file.bytes);
    const desk = path.join(folder, 'desk.sqlite');
    assert.equal(execFileSync(DSP, ['import', '--db', desk, pageFile], { encoding: 'utf8' }), 'imported 2 new readings\n');
    assert.equal(execFileSync(DSP, ['import', '--db', desk, pageFile], { encoding: 'utf8' }), 'imported 0 new readings\n');

    // The selected point (the first: point 2): its levels as the page
    // exports them against the desktop's export, and its samples (the WAV).
    const pageCsv = (await downloaded(page, '#measurements-csv')).bytes.toString('utf8');
    execFileSync(DSP, ['export', '--db', desk, '--format', 'csv', '--point', '2', path.join(folder, 'desk.csv')]);
    const deskRows = csvRows(fs.readFileSync(path.join(folder, 'desk.csv'), 'utf8'));
    assert.equal(deskRows.length, 1);
    assert.deepEqual(csvRows(pageCsv), deskRows);
    const pageWav = await downloaded(page, '#measurements-wav');
    execFileSync(DSP, ['export', '--db', desk, '--format', 'wav', '--point', '2', path.join(folder, 'wav')]);
    const deskWav = fs.readdirSync(path.join(folder, 'wav'));
    assert.deepEqual(deskWav, [pageWav.name]);
    assert.ok(pageWav.bytes.equals(fs.readFileSync(path.join(folder, 'wav', deskWav[0]))), 'the same samples and identity');
    // The trend's reading is the database's level.
    const level = deskRows[0][deskRows[0].kind === 1 ? 'crest [1]' : 'vel_rms [mm/s]'];
    assert.equal(Number(await page.textContent('#measurements-readings td.level')), Number(level.toPrecision(4)));

    // Another program's SQLite file (ours with another application id) and
    // a file that is not SQLite: refused with one message, nothing added.
    const foreign = Buffer.from(file.bytes);
    foreign.writeUInt32BE(0x12345678, 68);
    for (const [name, buffer, id] of [['other.sqlite', foreign, 1752], ['notes.sqlite', Buffer.from('just some text\n'.repeat(100)), 1751]]) {
      await page.setInputFiles('#measurements-import-file', { name, mimeType: 'application/octet-stream', buffer });
      await page.waitForFunction((text) => document.querySelector('#measurements-status').textContent === text, tableText(id, name));
      assert.deepEqual(await counts(page), [1, 1]);
    }
    // And the desktop's database back into the page: nothing new.
    await page.setInputFiles('#measurements-import-file', { name: 'desk.sqlite', mimeType: 'application/octet-stream', buffer: fs.readFileSync(desk) });
    await page.waitForFunction((text) => document.querySelector('#measurements-status').textContent === text, tableText(1788, 0, 'desk.sqlite'));

    // A reload keeps the database (the browser's private file system).
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await transfer(page), tableText(1757, 0));
    assert.deepEqual(await counts(page), [1, 1]);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
});
