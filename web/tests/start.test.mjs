// The page's start as a user meets it: a console without warnings or errors,
// and both user manuals kept for use without a network once the page has run.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { play, SITE, useSiteInBrowser } from './browser.mjs';

const site = useSiteInBrowser();

// A page of a new context (its own storage and service worker) with every
// console message of the page and its workers from the very first one.
async function openWatched() {
  const context = await site.browser.newContext({ viewport: { width: 1280, height: 800 } });
  await context.addInitScript(() => localStorage.setItem('orx700-demo.quick-start-shown', '1'));
  const messages = [];
  const page = await context.newPage();
  page.on('console', (message) => messages.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', (error) => messages.push(`page error: ${error}`));
  await page.goto(site.url);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 20000 });
  return { context, page, noise: () => messages.filter((m) => /^(warning|error|page error)/.test(m)) };
}

test('a load and a power-on log no warning and no error', async () => {
  const { context, page, noise } = await openWatched();
  try {
    assert.equal(await page.evaluate(() => performance.getEntriesByName('orx700-first-frame').length), 1);
    await play(page, ['k1-long', 'wait 1500', 'k1']);
    assert.equal(await page.evaluate(() => document.getElementById('lcd').getContext('2d')
      .getImageData(0, 0, 254, 68).data.some((value, i) => i % 4 === 0 && value < 100)), true, 'the LCD shows something');
    // A preload the page did not use is reported seconds after the load.
    await page.waitForTimeout(3500);
    assert.deepEqual(noise(), []);
  } finally {
    await context.close();
  }
});

test('saves and power cycles run on the one worker made at start, never waiting for a new one', async () => {
  const context = await site.browser.newContext();
  try {
    // A thread that found the pool empty would get a worker still loading,
    // and a page stopping that thread would wait for it for ever.
    await context.addInitScript(() => {
      window.workersMade = 0;
      const PageWorker = window.Worker;
      window.Worker = class extends PageWorker {
        constructor(url, options) {
          super(url, options);
          ++window.workersMade;
        }
      };
    });
    const page = await context.newPage();
    await page.goto(site.url);
    await page.waitForSelector('body[data-ready="true"]', { timeout: 20000 });
    await page.keyboard.press('Escape'); // the Quick Start note
    for (let i = 0; i < 3; ++i) {
      await play(page, ['k1-long', 'wait 1500']);
      assert.match(await page.textContent('#balloon-k1'), /Short click/, `power-on ${i + 1}`);
      await page.evaluate(() => {
        Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });
        document.dispatchEvent(new Event('visibilitychange'));
      });
      await page.click('#tool-exit');
    }
    assert.equal(await page.evaluate(() => window.workersMade), 1);
  } finally {
    await context.close();
  }
});

const MANUALS = fs.existsSync(path.join(SITE, 'manuals')) ? fs.readdirSync(path.join(SITE, 'manuals')) : [];

test('both manuals, never opened, open without a network', { skip: MANUALS.length < 2 && 'the site has no manuals (build the default preset first)' }, async () => {
  const { context, page } = await openWatched();
  try {
    // The service worker keeps them once the page runs.
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 20000 });
    await page.waitForFunction(async (names) => {
      const cache = await caches.open('orx700-demo');
      const kept = await Promise.all(names.map((name) => cache.match(`manuals/${encodeURIComponent(name)}`)));
      return kept.every(Boolean);
    }, MANUALS, { polling: 200, timeout: 20000 });
    await context.setOffline(true);
    for (const language of ['ENG', 'RUS']) {
      await page.selectOption('#language', language);
      const href = await page.getAttribute('#tool-manual', 'href');
      const name = decodeURIComponent(href.split('/').pop());
      const got = await page.evaluate(async (url) => {
        const response = await fetch(url);
        return { status: response.status, type: response.headers.get('Content-Type'), size: (await response.arrayBuffer()).byteLength };
      }, href);
      assert.deepEqual(got, { status: 200, type: 'application/pdf', size: fs.statSync(path.join(SITE, 'manuals', name)).size }, language);
    }
  } finally {
    await context.close();
  }
});
