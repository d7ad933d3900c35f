// The state in the browser: kept over a reload, moved out and in as the
// desktop's ini file, damaged data read as defaults; and the page's start on
// a host that sends no isolation headers, or none at all.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { test } from 'node:test';
import { lcdPixels, openPage, play, serve, SITE, useSiteInBrowser } from './browser.mjs';
import { pictureDifference, settledDifference, simulate } from './sim.mjs';

const site = useSiteInBrowser();

const POWER_ON = ['k1-long', 'wait 1500'];
// Point 2 measured; the route screen shows its level on the point line.
const MEASURED = [...POWER_ON, 'k2', 'k1', 'k2', 'wait 7000'];
const stored = (page) => page.evaluate(() => localStorage.getItem('orx700-demo.state'));

test('a reload resumes on the same screen and point with the same measurements', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    await play(page, [...MEASURED, 'k1', 'k1']);
    const before = await lcdPixels(page);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.match(await stored(page), /\[RoutePoints\][^[]*\n2=4\n/);
    await play(page, POWER_ON);
    assert.equal(await settledDifference(page, before), null);
    // And it is what the headless instrument resumes from the same file.
    assert.equal(pictureDifference(before, simulate(POWER_ON, { ini: await stored(page) }).picture), null);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('export then import in another browser carries the whole state; a file that is no state changes nothing', async () => {
  const first = await openPage(site.browser, site.url);
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-state-'));
  try {
    await play(first.page, [...MEASURED, 'lang RUS']);
    const measured = await lcdPixels(first.page);
    const [download] = await Promise.all([first.page.waitForEvent('download'), first.page.click('#export-state')]);
    const file = path.join(folder, download.suggestedFilename());
    await download.saveAs(file);
    const text = fs.readFileSync(file, 'utf8');
    assert.equal(text, await stored(first.page));
    assert.match(text, /\[Language\]\nName=RUS\n/);

    const second = await openPage(site.browser, site.url);
    try {
      await second.page.setInputFiles('#import-file', file);
      await second.page.waitForFunction(() => document.querySelector('#language').value === 'RUS');
      assert.equal(await stored(second.page), text);
      await play(second.page, POWER_ON);
      assert.equal(await settledDifference(second.page, measured), null);

      // A picture is no state: a message, and the state stays as it was.
      const picture = path.join(folder, 'picture.png');
      fs.writeFileSync(picture, Buffer.from([0x89, 0x50, 0x4e, 0x47, 0, 0, 0, 0x0d]));
      await second.page.setInputFiles('#import-file', picture);
      await second.page.waitForSelector('#dialog-message[open]');
      assert.match(await second.page.textContent('#dialog-message .text'), /ничего не изменено/);
      await second.page.click('#dialog-message .close');
      assert.equal(await stored(second.page), text);
      assert.deepEqual(second.errors, []);
    } finally {
      await second.context.close();
    }
    assert.deepEqual(first.errors, []);
  } finally {
    await first.context.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
});

test('a damaged stored state starts with the defaults', async () => {
  const state = '\u0001\u0002garbage\n[DeviceState\nActiveMenu=zz\nSelectedPoint=99999999999\n[RoutePoints]\n2=abc\n';
  const { context, page, errors } = await openPage(site.browser, site.url, { state });
  try {
    assert.equal(await page.inputValue('#language'), 'ENG');
    await play(page, POWER_ON);
    assert.equal(await settledDifference(page, simulate(POWER_ON).picture), null);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('on a host without the isolation headers the service worker makes the page work', async () => {
  const plain = await serve({ isolated: false });
  try {
    const { context, page, errors } = await openPage(site.browser, plain.url);
    try {
      assert.equal(await page.evaluate(() => crossOriginIsolated), true);
      await play(page, POWER_ON);
      assert.equal(await settledDifference(page, simulate(POWER_ON).picture), null);
      assert.deepEqual(errors, []);
    } finally {
      await context.close();
    }
  } finally {
    plain.server.close();
  }
});

test('Exit keeps the state and switches the instrument off, as closing the desktop window does', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    await play(page, [...POWER_ON, 'k2', 'k1']);
    await page.click('#tool-exit');
    await page.waitForFunction(() => /SelectedPoint=2\n/.test(localStorage.getItem('orx700-demo.state') ?? ''));
    assert.match(await stored(page), /\[DeviceState\][^[]*SelectedPoint=2\n[^[]*IsPointSelectMenu=1\n/);
    assert.match(await page.textContent('#status'), /switched off/);
    assert.match(await page.textContent('#balloon-k1'), /Long click: Device Power On/);
    assert.equal(await settledDifference(page, simulate([]).picture), null);
    await play(page, POWER_ON);
    assert.match(await page.textContent('#status'), /^Use <Left>/);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('once loaded, the page starts again without a network, and keeps every file of the site for it', async () => {
  const worker = fs.readFileSync(path.join(SITE, 'sw.js'), 'utf8');
  const kept = JSON.parse(worker.match(/const SITE = (\[[^\]]*\]);/)[1].replaceAll("'", '"').replace(/,\s*\]$/, ']'));
  const files = fs.readdirSync(SITE, { recursive: true, withFileTypes: true })
    .filter((entry) => entry.isFile())
    .map((entry) => path.relative(SITE, path.join(entry.parentPath ?? entry.path, entry.name)))
    .filter((name) => !name.startsWith('manuals'));
  assert.deepEqual(files.filter((name) => !kept.includes(name)), []);

  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    await context.setOffline(true);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    await play(page, POWER_ON);
    assert.equal(await settledDifference(page, simulate(POWER_ON).picture), null);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('opened as a file, the page says how to serve it', async () => {
  const context = await site.browser.newContext();
  try {
    const page = await context.newPage();
    await page.goto(pathToFileURL(path.join(SITE, 'index.html')).href);
    await page.waitForSelector('#no-isolation:not([hidden])');
    assert.match(await page.textContent('#no-isolation'), /\.\/run-web\.sh/);
    assert.equal(await page.isHidden('#window'), true);
  } finally {
    await context.close();
  }
});
