// The page as a kiosk (?kiosk=SCRIPT): the tour plays and comes round
// again, Exit and Import are hidden, a key hands the instrument over, and
// the state the browser keeps is the user's own after the session. (The
// idle return and the held time-outs run under virtual time in the core's
// tests.)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { SIM } from './sim.mjs';
import { exportState, hide, POWER_ON, stored } from './state-page.mjs';

const site = useSiteInBrowser();
// The first key well after the 1500 ms power-on screen, which it would race.
const TOUR = ['k1-long', 'wait 2000', 'k1', 'wait 300', 'k1', 'wait 300', 'k2', 'wait 500'];

function tour() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-tour-'));
  try {
    execFileSync(SIM, ['--record', path.join(folder, 'tour.txt'), '-'], { input: `${TOUR.join('\n')}\n` });
    return fs.readFileSync(path.join(folder, 'tour.txt')).toString('base64');
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

test('the tour loops with Exit and Import hidden, a key hands over, and the kept state is the own one', async () => {
  const own = await (async () => {
    const { context, page } = await openPage(site.browser, site.url);
    try {
      await play(page, [...POWER_ON, 'k2']);
      return await exportState(page);
    } finally {
      await context.close();
    }
  })();
  const url = `${site.url}?kiosk=${encodeURIComponent(`data:text/plain;base64,${tour()}`)}`;
  const { context, page, errors } = await openPage(site.browser, url, { state: own });
  try {
    await page.waitForFunction(() => document.body.dataset.kiosk === 'touring');
    for (const id of ['#tool-exit', '#import-state']) assert.equal(await page.isVisible(id), false, id);
    // The audience reads the tour's keys, whatever the kept state says of captions.
    await page.waitForFunction(() => /K1/.test(document.querySelector('#captions:not([hidden])')?.textContent ?? ''), null, { timeout: 10000 });
    await page.waitForFunction(() => /machine 3/.test(document.querySelector('#lcd-text').textContent), null, { timeout: 10000 });
    await page.waitForFunction(() => document.body.dataset.kiosk === 'restarting', null, { timeout: 10000 });
    await page.waitForFunction(() => document.body.dataset.kiosk === 'touring', null, { timeout: 10000 });
    await page.keyboard.press('ArrowLeft');
    await page.waitForFunction(() => document.body.dataset.kiosk === 'live');
    assert.match(await page.textContent('#status'), /yours/);
    await hide(page);
    assert.equal(await stored(page), own);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('?kiosk without a script plays the tour built into the module, Transfer hidden too', async () => {
  const { context, page, errors } = await openPage(site.browser, `${site.url}?kiosk`);
  try {
    await page.waitForFunction(() => document.body.dataset.kiosk === 'touring');
    assert.equal(await page.isVisible('#tool-transfer'), false);
    // The tour switches the instrument on: its first screen leaves the blank LCD.
    await page.waitForFunction(() => document.querySelector('#lcd-text').textContent.trim() !== '', null, { timeout: 10000 });
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
