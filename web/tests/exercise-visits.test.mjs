// The page's trend exercise: three visits, the bearing wearing into zone C.
// Answered in the page as in orx700-sim, it gives the same submission but
// for the times; Transfer to PC and the trend go to the exercise's own
// database; and after two Next visits and Close, the trainee's own state and
// own database are as they were, across a reload too.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { sim, timeless } from './exercise-sim.mjs';
import { MEASURE_POINT_2, POWER_ON, stored } from './state-page.mjs';

const site = useSiteInBrowser();

const WEAR = ['condition 2 bearing-outer rpm=1480 velocity=1 stage=1',
  'visit 2 2 bearing-outer rpm=1480 velocity=2.2 stage=2', 'visit 3 2 bearing-outer rpm=1480 velocity=3.6 stage=3',
  'exercise-save $DIR/wear.txt ask=2 what=visit zone=C visits=2026-01-05,2026-02-05,2026-03-05 title=Pump bearing wear'];
const MEASURE = [...POWER_ON, ...MEASURE_POINT_2];

// The page's own measurement database file as stored, in hexadecimal.
const storedDb = (page) => page.evaluate(async () => {
  const file = await (await (await navigator.storage.getDirectory()).getFileHandle('measurements.sqlite')).getFile();
  return [...new Uint8Array(await file.arrayBuffer())].map((b) => b.toString(16).padStart(2, '0')).join('');
});

async function transfer(page) {
  const before = Number(await page.evaluate(() => document.body.dataset.transferred ?? 0));
  await page.click('#tool-transfer');
  await page.waitForFunction((n) => Number(document.body.dataset.transferred ?? 0) > n, before, { timeout: 20000 });
  await page.evaluate(() => document.activeElement?.blur());
  return page.textContent('#measurements-status');
}

const counts = (page) => page.$$eval('#measurements-tree td.count', (cells) => cells.map((c) => Number(c.textContent)));

test('a trend exercise answered the same way in the page and in orx700-sim gives the same submission; its readings stay out of the own database', async () => {
  const simulated = sim([...WEAR, 'exercise-open $DIR/wear.txt', ...MEASURE, 'next-visit', ...MEASURE, 'next-visit', ...MEASURE,
    'answer 2 visit=3', 'submit $DIR/s.txt name=Ann Lee'], ['wear.txt', 's.txt']);
  assert.match(simulated.out, /^visit 3 of 3, 2026-03-05 00:00$/m);
  assert.match(simulated.out, /^score 1\/1$/m);

  const own = sim(['condition 5 misalignment rpm=2950 velocity=3.8'], []).ini;
  const { context, page, errors } = await openPage(site.browser, site.url, { state: own });
  try {
    // The trainee's own reading, in their own database.
    await play(page, MEASURE);
    assert.match(await transfer(page), /: 1 new/);
    const ownDb = await storedDb(page);

    await page.click('#measurements-panel .close');
    await page.click('#tool-machines');
    await page.click('#open-exercise');
    const chooser = page.locator('input[type="file"][accept^=".txt"]');
    await chooser.waitFor({ state: 'attached' });
    await chooser.setInputFiles({ name: 'wear.txt', mimeType: 'text/plain', buffer: Buffer.from(simulated.files['wear.txt'], 'utf8') });
    await page.waitForSelector('#exercise-panel[open]');
    await page.click('#machines-panel .close');
    const ownState = await stored(page);
    assert.deepEqual(await page.$$eval('#exercise-sheet select[data-part="visit"] option', (o) => o.map((x) => x.textContent)),
      ['—', 'visit 1 (2026-01-05 00:00)', 'visit 2 (2026-02-05 00:00)', 'visit 3 (2026-03-05 00:00)', 'never']);

    for (const visit of [1, 2, 3]) {
      assert.match(await page.textContent('#exercise-visit'), new RegExp(`^Visit ${visit} of 3: 2026-0${visit}-05 00:00`));
      assert.equal(await page.isDisabled('#exercise-next-visit'), visit === 3);
      await page.evaluate(() => document.activeElement?.blur());
      await play(page, MEASURE);
      if (visit === 1) {
        // Transfer to PC goes to the exercise's database, and the panel shows it.
        assert.match(await transfer(page), /: 1 new/);
        assert.match(await page.textContent('#measurements-caption'), /^Trend of the visits - Pump bearing wear$/);
        assert.deepEqual(await counts(page), [1]);
        await page.click('#measurements-panel .close'); // it covers the sheet, as the Machines panel does
      }
      if (visit < 3) {
        await page.click('#exercise-next-visit');
        await page.waitForFunction((v) => document.querySelector('#exercise-visit')?.textContent.startsWith(`Visit ${v} of 3`), visit + 1);
      }
    }
    assert.match(await page.textContent('#exercise-visit'), /This is the last visit/);
    // The trend: this visit's reading joins the two kept by Next visit.
    await page.click('#exercise-visit-trend');
    await page.waitForFunction(() => document.querySelector('#measurements-tree td.count')?.textContent === '3');
    const levels = await page.$$eval('#measurements-readings td.level', (cells) => cells.map((c) => Number.parseFloat(c.textContent)).reverse());
    assert.equal(levels.length, 3);
    assert.ok(levels[0] < levels[1] && levels[1] < levels[2], `rising levels: ${levels}`);
    await page.click('#measurements-panel .close');

    await page.selectOption('#exercise-sheet [data-point="2"][data-part="visit"]', '3');
    await page.fill('#exercise-name', 'Ann Lee');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#exercise-submit')]);
    assert.deepEqual(timeless(fs.readFileSync(await download.path(), 'utf8')), timeless(simulated.files['s.txt']));
    assert.match(await page.textContent('#exercise-review li[data-point="2"]'), /Right answer: visit 3 \(2026-03-05 00:00\)/);

    await page.click('#exercise-close');
    await page.waitForFunction(() => !document.querySelector('#exercise-panel').open);
    // Transfers go to the own database again: the own reading is in it
    // already, and nothing of the exercise is.
    assert.match(await transfer(page), /: 0 new/);
    assert.equal(await page.textContent('#measurements-caption'), 'Measurements');
    assert.deepEqual(await counts(page), [1]);
    assert.equal(await storedDb(page), ownDb);
    assert.deepEqual(errors, []);

    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await stored(page), ownState);
    assert.equal(await storedDb(page), ownDb);
    await page.click('#tool-machines');
    assert.equal(await page.textContent('#machines-list tr[data-source="5"] td:nth-child(2)'), 'Misalignment');
    assert.equal(await page.textContent('#machines-list tr[data-source="2"] td:nth-child(2)'), 'Stored waveform');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
