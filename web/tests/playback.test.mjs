// Play in the page: a recording made by orx700-sim plays in real time from
// its own starting state to the runner's last LCD, the language following
// it; it plays on
// a copy, so the user's kept state is untouched and Own state brings it
// back; a key during the playback takes the instrument over.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { settledDifference, SIM, simulate } from './sim.mjs';
import { exportState, hide, POWER_ON, stored } from './state-page.mjs';

const site = useSiteInBrowser();
// The power-on screen stays 1500 ms: a key sent at that very moment would
// race its end in real time, so the first comes later.
const SCRIPT = ['k1-long', 'wait 2000', 'k1', 'wait 300', 'k1', 'wait 300', 'k2', 'wait 300', 'lang RUS', 'wait 500'];

function recording() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-play-'));
  try {
    execFileSync(SIM, ['--record', path.join(folder, 'out.txt'), '-'], { input: `${SCRIPT.join('\n')}\n` });
    return fs.readFileSync(path.join(folder, 'out.txt'));
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

async function choose(page, buffer) {
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#play')]);
  await chooser.setFiles({ name: 'tour.txt', mimeType: 'text/plain', buffer });
}

test('a recording plays to the runner\'s last LCD on a copy of the state; a key takes over; Own state comes back', async () => {
  const buffer = recording();
  const { picture } = simulate(SCRIPT);
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    await play(page, [...POWER_ON, 'k2']);
    const own = await exportState(page);

    await choose(page, buffer);
    await page.waitForFunction(() => /Воспроизвед|Playing/.test(document.querySelector('#status').textContent));
    await page.waitForFunction(() => /закончено/.test(document.querySelector('#status').textContent), null, { timeout: 15000 });
    assert.equal(await settledDifference(page, picture), null, 'the runner\'s last LCD');
    assert.equal(await page.inputValue('#language'), 'RUS');
    await hide(page);
    assert.equal(await stored(page), own, 'the saves leave the own state alone');

    await choose(page, buffer);
    await page.waitForFunction(() => /Воспроизвод|Playing/.test(document.querySelector('#status').textContent));
    await page.keyboard.press('ArrowLeft');
    await page.waitForFunction(() => /взяли|took over/.test(document.querySelector('#status').textContent));
    const status = await page.textContent('#status');
    await page.waitForTimeout(600);
    assert.equal(await page.textContent('#status'), status, 'the playback has stopped');

    await page.click('#own-state');
    await page.waitForFunction(() => document.querySelector('#own-state').hidden);
    await hide(page);
    assert.equal(await stored(page), own);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
