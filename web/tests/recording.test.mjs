// Record in the page: a session recorded in Chromium (keys, a language
// change) replays in orx700-sim to "verified"; the same recording with one
// key changed is "diverged" at that key's release. A session with a
// condition changed in the Machines panel, pointer moves and a measurement
// taken in real time replays to "verified" too.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { SIM } from './sim.mjs';
import { MEASURE_POINT_2, POWER_ON } from './state-page.mjs';

const site = useSiteInBrowser();

function replay(script) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-recording-'));
  try {
    fs.writeFileSync(path.join(folder, 'recording.txt'), script);
    const run = spawnSync(SIM, [path.join(folder, 'recording.txt')], { encoding: 'utf8' });
    return { status: run.status, out: run.stdout.trim(), err: run.stderr };
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

test('a session recorded in the page replays in orx700-sim to verified, and one key changed diverges there', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  let script;
  try {
    await play(page, [...POWER_ON, 'k1']); // on: Record switches it off first
    await page.click('#record');
    await page.waitForFunction(() => document.querySelector('#record').getAttribute('aria-pressed') === 'true');
    assert.equal(await page.evaluate(() => document.querySelector('#record').textContent), 'Stop recording');
    await play(page, [...POWER_ON, 'k2', 'k1', 'both', 'k1', 'lang RUS', 'k1', 'k1-long', 'k1', 'k2']);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#record')]);
    script = fs.readFileSync(await download.path(), 'utf8');
    assert.match(await page.textContent('#status'), /orx700-recording\.txt/);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
  const lines = script.split('\n');
  assert.ok(lines.filter((l) => l.startsWith('check ')).length >= 6, 'a check before key presses and at the end');
  assert.ok(lines.includes('lang RUS'));
  assert.deepEqual(replay(script), { status: 0, out: 'verified', err: '' });

  // The K1 press after the language change becomes a K2 press.
  const changed = lines.findIndex((l, i) => l === 'down k1' && i > lines.indexOf('lang RUS'));
  assert.ok(changed > 0);
  const released = lines.findIndex((l, i) => i > changed && l === 'up');
  const edited = lines.map((l, i) => (i === changed ? 'down k2' : l)).join('\n');
  const run = replay(edited);
  assert.equal(run.status, 1);
  assert.equal(run.out, `diverged at line ${released + 1}`);
});

test('a condition set in the Machines panel, pointer moves and a real-time measurement replay to verified', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  let script;
  try {
    await page.click('#record');
    await page.waitForFunction(() => document.querySelector('#record').getAttribute('aria-pressed') === 'true');
    await page.focus('#tool-machines');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#machines-panel[open]');
    await page.keyboard.press('ArrowDown'); // point 2
    await page.selectOption('#machines-kind', 'imbalance');
    await page.fill('#machines-rpm', '2950');
    await page.press('#machines-rpm', 'Tab');
    await page.keyboard.press('Escape');
    await play(page, POWER_ON);
    const lcd = await page.locator('#lcd').boundingBox();
    for (let i = 0; i < 5; ++i) await page.mouse.move(lcd.x + 10 + 8 * i, lcd.y + lcd.height / 2);
    await play(page, MEASURE_POINT_2);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#record')]);
    script = fs.readFileSync(await download.path(), 'utf8');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
  const lines = script.split('\n');
  assert.ok(lines.some((l) => /^condition 2 imbalance rpm=2950\b/.test(l)), script);
  assert.ok(lines.includes('keep-alive'), script);
  assert.ok(lines.some((l) => l.startsWith('measured 2 ')), script);
  assert.deepEqual(replay(script), { status: 0, out: 'verified', err: '' });
  // Without its condition line the replay measures another machine.
  assert.equal(replay(lines.filter((l) => !l.startsWith('condition ')).join('\n')).status, 1);
});

test('an import or an exercise chosen during a recording asks first: no keeps recording, yes downloads the recording (it replays verified) and then the exercise comes in', async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-recording-'));
  let exercise;
  let stateText;
  try {
    const ini = path.join(folder, 'state.ini');
    execFileSync(SIM, ['--ini', ini, '-'], {
      input: `condition 2 imbalance rpm=1480 velocity=3.6\nexercise-save ${folder}/e.txt ask=2 what=both title=Pump\n`,
    });
    exercise = fs.readFileSync(path.join(folder, 'e.txt'));
    stateText = fs.readFileSync(ini);
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    const recording = () => page.evaluate(() => document.querySelector('#record').getAttribute('aria-pressed') === 'true');
    const answer = async (button) => {
      await page.waitForSelector('#dialog-confirm[open]');
      assert.match(await page.textContent('#dialog-confirm-text'), /^A recording is under way/);
      await page.click(`#dialog-confirm .${button}`);
    };
    const chooseExercise = async () => {
      const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#open-exercise')]);
      await chooser.setFiles({ name: 'e.txt', mimeType: 'text/plain', buffer: exercise });
    };
    await page.click('#record');
    await page.waitForFunction(() => document.querySelector('#record').getAttribute('aria-pressed') === 'true');
    await play(page, [...POWER_ON, 'k2']);

    await page.setInputFiles('#import-file', { name: 'state.ini', mimeType: 'text/plain', buffer: stateText });
    await answer('close');
    await page.click('#tool-machines');
    await page.waitForSelector('#machines-panel[open]');
    await chooseExercise();
    await answer('close');
    assert.ok(await recording(), 'declined: still recording');
    assert.equal(await page.evaluate(() => document.querySelector('#exercise-panel').open), false);

    await play(page, ['k1', 'wait 500']);
    await chooseExercise();
    const [download] = await Promise.all([page.waitForEvent('download'), answer('accept')]);
    const script = fs.readFileSync(await download.path(), 'utf8');
    await page.waitForSelector('#exercise-panel[open]');
    assert.equal(await recording(), false);
    assert.deepEqual(replay(script), { status: 0, out: 'verified', err: '' });
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
