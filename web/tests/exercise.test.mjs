// The page's exercise: a link opens it in a fresh browser and leaves the
// address bar, a damaged link is refused, and the same exercise answered the
// same way in the page and in orx700-sim gives the same submission but for
// its times.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import zlib from 'node:zlib';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { link, sim, timeless } from './exercise-sim.mjs';
import { MEASURE_NEXT, MEASURE_POINT_2, POWER_ON } from './state-page.mjs';

const site = useSiteInBrowser();

const SETUP = ['condition 2 imbalance rpm=1480 velocity=3.6', 'condition 3 bearing-outer rpm=1480 velocity=3.6 bearing=8,17.46,72.5,0'];
const MEASURE_2_AND_3 = [...POWER_ON, ...MEASURE_POINT_2, ...MEASURE_NEXT];
const ANSWERS = [[2, 'imbalance', 'C'], [3, 'bearing-inner', 'B']];

const exerciseText = sim([...SETUP, 'exercise-save $DIR/e.txt ask=2,3 what=both title=Three pumps, one bad bearing'], ['e.txt']).files['e.txt'];

test('an exercise link opens in a fresh browser profile and leaves the address bar; a damaged one is refused with a message', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url + link(exerciseText));
  try {
    await page.waitForSelector('#exercise-panel[open]');
    assert.equal(new URL(page.url()).hash, '');
    assert.match(await page.textContent('#exercise-caption'), /Three pumps, one bad bearing/);
    assert.deepEqual(await page.$$eval('#exercise-sheet > li', (rows) => rows.map((r) => r.dataset.point)), ['2', '3']);
    // Beside the window where the screen holds both, and as wide as the room
    // the window leaves it: it covered the keys and the tool bar's end.
    for (const width of [1280, 1366, 1920]) {
      await page.setViewportSize({ width, height: 800 });
      const [windowRight, panelLeft] = await page.evaluate(() => [
        document.getElementById('window').getBoundingClientRect().right,
        document.getElementById('exercise-panel').getBoundingClientRect().left]);
      assert.ok(windowRight <= panelLeft + 0.5, `at ${width}: the window ends at ${windowRight}, the panel starts at ${panelLeft}`);
    }
    // The asked points' conditions are hidden in the Machines panel.
    await page.click('#tool-machines');
    assert.equal(await page.textContent('#machines-list tr[data-source="3"] td:nth-child(2)'), 'hidden');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
  for (const [fragment, reason] of [[link(exerciseText).slice(0, 60), 'damaged'], [link(exerciseText, '2'), 'newer version']]) {
    const refused = await openPage(site.browser, site.url + fragment);
    try {
      await refused.page.waitForSelector('#dialog-message[open]');
      assert.match(await refused.page.textContent('#dialog-message-text'), new RegExp(`cannot be opened: .*${reason}`));
      assert.equal(new URL(refused.page.url()).hash, '');
      assert.equal(await refused.page.evaluate(() => document.querySelector('#exercise-panel').open), false);
    } finally {
      await refused.context.close();
    }
  }
});

test('the same exercise answered the same way in the page and in orx700-sim gives the same submission but for the times, and Close gives the own state back', async () => {
  const simulated = sim([...SETUP, 'exercise-save $DIR/e.txt ask=2,3 what=both title=Three pumps, one bad bearing',
    'condition 2 stored', 'condition 3 stored', 'exercise-open $DIR/e.txt', ...MEASURE_2_AND_3,
    ...ANSWERS.map((a) => `answer ${a.join(' ')}`), 'submit $DIR/s.txt name=Ann Lee'], ['s.txt']);
  assert.match(simulated.out, /^score 1\/2$/m);

  // The trainee's own state: a condition of their own at point 5.
  const own = sim(['condition 5 misalignment rpm=2950 velocity=3.8'], []).ini;
  const { context, page, errors } = await openPage(site.browser, site.url + link(exerciseText), { state: own });
  try {
    await page.waitForSelector('#exercise-panel[open]');
    await page.click('#tool-machines');
    assert.equal(await page.textContent('#machines-list tr[data-source="5"] td:nth-child(2)'), 'Stored waveform');
    await page.click('#machines-panel .close');
    // Nothing records the exercise's state, links to it or comes in over it.
    const locked = () => page.$$eval('#record, #play, #copy-link, #import-state', (all) => all.map((b) => b.disabled));
    assert.deepEqual(await locked(), [true, true, true, true]);
    // Export gives the own state, not the exercise's with its hidden answers.
    const [exported] = await Promise.all([page.waitForEvent('download'), page.click('#export-state')]);
    const exportedText = fs.readFileSync(await exported.path(), 'utf8');
    assert.match(exportedText, /^5=misalignment /m);
    assert.doesNotMatch(exportedText, /imbalance|bearing-outer/);
    assert.match(await page.textContent('#status'), /Export saved your own state/);
    await page.evaluate(() => document.activeElement?.blur());
    await play(page, MEASURE_2_AND_3);
    for (const [point, condition, zone] of ANSWERS) {
      await page.selectOption(`#exercise-sheet [data-point="${point}"][data-part="condition"]`, condition);
      await page.selectOption(`#exercise-sheet [data-point="${point}"][data-part="zone"]`, zone);
    }
    await page.fill('#exercise-name', 'Ann Lee');
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#exercise-submit')]);
    const submitted = fs.readFileSync(await download.path(), 'utf8');
    assert.deepEqual(timeless(submitted), timeless(simulated.files['s.txt']));
    assert.match(await page.textContent('#exercise-score'), /1 of 2/);
    await page.check('#exercise-only-wrong');
    assert.equal(await page.isVisible('#exercise-review li[data-point="2"]'), false);
    assert.equal(await page.isVisible('#exercise-review li[data-point="3"]'), true);
    // The review names the hidden condition, now revealed.
    assert.match(await page.textContent('#exercise-review li[data-point="3"]'), /Right answer: Bearing: outer race defect, [A-D]/);

    await page.click('#exercise-close');
    await page.waitForFunction(() => !document.querySelector('#exercise-panel').open);
    assert.deepEqual(await locked(), [false, false, false, false]);
    await page.click('#tool-machines');
    assert.equal(await page.textContent('#machines-list tr[data-source="3"] td:nth-child(2)'), 'Stored waveform');
    assert.equal(await page.textContent('#machines-list tr[data-source="5"] td:nth-child(2)'), 'Misalignment');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('a link made by orx700-sim opens in the page, and the page\'s Copy link gives a link orx700-sim opens as the same exercise', async () => {
  const made = sim([...SETUP, 'exercise-save $DIR/e.txt ask=2,3 what=both title=Three pumps, one bad bearing',
    `exercise-link $DIR/e.txt ${site.url}#old`], ['e.txt']);
  const simLink = made.out.trim();
  assert.ok(simLink.startsWith(`${site.url}#exercise=1.`), simLink);
  const { context, page, errors } = await openPage(site.browser, simLink);
  try {
    await context.grantPermissions(['clipboard-read', 'clipboard-write'], { origin: new URL(site.url).origin });
    await page.waitForSelector('#exercise-panel[open]');
    assert.equal(new URL(page.url()).hash, '');
    await page.click('#exercise-copy-link');
    await page.waitForSelector('#dialog-message[open]');
    const said = await page.textContent('#dialog-message-text');
    const pageLink = await page.evaluate(() => navigator.clipboard.readText());
    assert.ok(pageLink.startsWith(`${site.url}#exercise=1.`), pageLink);
    assert.ok(said.includes(pageLink) && said.includes(`(${pageLink.length} characters)`), said);
    // The page's link carries the file as the core writes it ...
    const data = pageLink.slice(pageLink.indexOf('.', site.url.length) + 1);
    assert.equal(zlib.inflateRawSync(Buffer.from(data, 'base64url')).toString('utf8'), made.files['e.txt']);
    // ... and orx700-sim opens it as the same exercise as the file.
    const fingerprint = (text) => text.split('\n').find((line) => line.startsWith('fingerprint='));
    const fromLink = sim([`exercise-open ${pageLink}`, 'submit $DIR/s.txt'], ['s.txt']);
    const fromFile = sim([`exercise-open ${simLink}`, 'submit $DIR/s.txt'], ['s.txt']);
    assert.ok(fingerprint(fromLink.files['s.txt']));
    assert.equal(fingerprint(fromLink.files['s.txt']), fingerprint(fromFile.files['s.txt']));
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('a timed exercise counts down in the page and at zero submits the answers as they stood', async () => {
  const timed = sim([...SETUP, 'exercise-save $DIR/t.txt ask=2,3 what=both time=60 title=Timed'], ['t.txt']).files['t.txt'];
  const { context, page, errors } = await openPage(site.browser, site.url + link(timed), { fakeClock: true });
  try {
    await page.waitForSelector('#exercise-panel[open]');
    assert.match(await page.textContent('#exercise-time'), /^Time left: (1:00|0:59)$/);
    await page.selectOption('#exercise-sheet [data-point="2"][data-part="condition"]', 'imbalance');
    await page.clock.fastForward(30000);
    assert.match(await page.textContent('#exercise-time'), /^Time left: 0:(29|30)$/);
    // Every second's tick runs, as in a tab in front.
    const [download] = await Promise.all([page.waitForEvent('download'), page.clock.runFor(31000)]);
    const submitted = fs.readFileSync(await download.path(), 'utf8');
    assert.match(submitted, /^point\.2\.answer=imbalance -$/m);
    assert.match(submitted, /^point\.3\.answer=- -$/m);
    assert.match(submitted, /^time-taken=60\nover-time=no$/m);
    assert.equal(await page.textContent('#exercise-time-up'), 'Time is up: your answers were submitted as they stood.');
    assert.equal(await page.textContent('#exercise-time'), '');
    assert.equal(await page.isVisible('#exercise-sheet'), false);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('two faults at once are answered in the page as in orx700-sim, in either order, and scored the same', async () => {
  const setup = ['condition 2 misalignment+looseness rpm=2950 velocity=5 shares=1,2', 'condition 3 imbalance rpm=1480 velocity=2'];
  const made = sim([...setup, 'exercise-save $DIR/two.txt ask=2,3 what=condition title=Two faults',
    'exercise-open $DIR/two.txt', 'answer 2 looseness+misalignment', 'answer 3 imbalance+looseness', 'submit $DIR/s.txt'], ['two.txt', 's.txt']);
  assert.match(made.out, /^score 1\/2$/m);
  const { context, page, errors } = await openPage(site.browser, site.url + link(made.files['two.txt']));
  try {
    await page.waitForSelector('#exercise-panel[open]');
    for (const [point, first, second] of [[2, 'looseness', 'misalignment'], [3, 'imbalance', 'looseness']]) {
      await page.selectOption(`#exercise-sheet [data-point="${point}"][data-part="condition"]`, first);
      await page.selectOption(`#exercise-sheet [data-point="${point}"][data-part="second"]`, second);
    }
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#exercise-submit')]);
    assert.deepEqual(timeless(fs.readFileSync(await download.path(), 'utf8')), timeless(made.files['s.txt']));
    assert.match(await page.textContent('#exercise-review li[data-point="2"]'), /Your answer: .+ \+ .+/);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
