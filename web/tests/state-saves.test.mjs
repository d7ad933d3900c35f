// Saves in one page load: each holds what was measured before it, Export
// leaves the instrument on, and nothing blocks the page's thread (the
// runtime would say so on the console).
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { settledDifference, simulate } from './sim.mjs';
import { exportState, hide, importText, MEASURE_NEXT, MEASURE_POINT_2, POWER_ON, routeWords, stored } from './state-page.mjs';

const site = useSiteInBrowser();
// The points whose status word has the measured bit.
const measured = (text) => Object.entries(routeWords(text)).filter(([, word]) => word & 4).map(([point]) => Number(point));
const isOn = async (page) => !/off/.test(await page.textContent('#lcd-text'));

test('every save of one page load holds what was measured before it, and Export keeps the instrument on', async () => {
  const { context, page, errors, warnings } = await openPage(site.browser, site.url);
  try {
    await play(page, [...POWER_ON, ...MEASURE_POINT_2]);
    await hide(page);
    assert.deepEqual(measured(await stored(page)), [2]);

    await play(page, MEASURE_NEXT); // point 3
    const first = await exportState(page);
    assert.deepEqual(measured(first), [2, 3]);
    assert.equal(await stored(page), first);
    assert.equal(await isOn(page), true, 'Export switched the instrument off');

    // Export in the middle of a measurement waits for it and holds it.
    await play(page, ['k1', 'k2', 'wait 1000']); // point 4, acquiring
    const second = await exportState(page);
    assert.deepEqual(measured(second), [2, 3, 4]);
    assert.equal(await isOn(page), true);

    await page.click('#tool-exit');
    await page.waitForFunction(() => /\nSelectedPoint=4\n/.test(localStorage.getItem('orx700-demo.state')));
    await importText(page, first);
    await page.waitForFunction(() => document.querySelector('#undo-import').hidden === false);
    assert.equal(await stored(page), first);

    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await stored(page), first);
    await play(page, POWER_ON);
    assert.equal(await settledDifference(page, simulate(POWER_ON, { ini: first }).picture), null, 'resumes where the file says');
    assert.deepEqual(errors, []);
    assert.deepEqual(warnings, [], 'the console stays quiet through use, hiding, export, exit, import and reload');
  } finally {
    await context.close();
  }
});
