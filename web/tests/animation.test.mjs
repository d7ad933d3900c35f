// Record animation in the page: a known key sequence captured under the
// test's clock comes out as a GIF whose frames are the screens the page
// showed, in order, equal neighbours merged, no delay under 20 ms, lasting
// as long as the capture did (the last frame held to its end), the last
// frame the LCD's picture pixel for pixel. Decoded by a decoder of its own
// (npm's omggif), not the page's encoder.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import omggif from 'omggif';
import { lcdPixels, openPage, play, useSiteInBrowser } from './browser.mjs';
import { POWER_ON } from './state-page.mjs';

const site = useSiteInBrowser();
const SCALE = 2;

// A picture as a text of its dark pixels ('#') among the lit or unlit
// background ('.'), from RGBA bytes at scale times the LCD picture's size.
function darkPixels(rgba, width, height, scale) {
  let text = '';
  for (let y = 0; y < height; y += scale)
    for (let x = 0; x < width; x += scale) {
      const i = 4 * (y * width + x);
      text += rgba[i] + rgba[i + 1] + rgba[i + 2] === 0 ? '#' : '.';
    }
  return text;
}

function decode(bytes) {
  const reader = new omggif.GifReader(new Uint8Array(bytes));
  const frames = [];
  const rgba = new Uint8Array(reader.width * reader.height * 4);
  for (let i = 0; i < reader.numFrames(); ++i) {
    reader.decodeAndBlitFrameRGBA(i, rgba);
    frames.push({ delayCs: reader.frameInfo(i).delay, rgba: rgba.slice(), dark: darkPixels(rgba, reader.width, reader.height, SCALE) });
  }
  return { width: reader.width, height: reader.height, frames };
}

// Whether every item of part appears in whole, in order.
const inOrder = (part, whole) => {
  let at = 0;
  for (const item of part) {
    at = whole.indexOf(item, at);
    if (at < 0) return false;
    at += 1;
  }
  return true;
};

test('an animation recorded in the page has the screens it showed with their true timing', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, { fakeClock: true });
  let gif;
  let seen;
  let last;
  let startedAt;
  let stoppedAt;
  try {
    await play(page, POWER_ON);
    // Every screen the page shows from here on, with the page's time.
    await page.evaluate(() => {
      window.shown = [];
      document.addEventListener('lcdrefresh', () => {
        const canvas = document.getElementById('lcd');
        const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
        let dark = '';
        for (let i = 0; i < data.length; i += 4) dark += data[i] + data[i + 1] + data[i + 2] === 0 ? '#' : '.';
        window.shown.push({ at: performance.now(), dark });
      });
    });
    // The clock stands still while the capture starts and stops, so that
    // its length is known to the millisecond.
    startedAt = (await page.evaluate(() => Date.now())) + 1000;
    await page.clock.pauseAt(startedAt);
    await page.click('#record-animation');
    await page.waitForFunction(() => document.querySelector('#record-animation').getAttribute('aria-pressed') === 'true');
    assert.equal(await page.textContent('#record-animation'), 'Stop animation');
    const first = await lcdPixels(page);
    await page.clock.resume();
    await play(page, ['k2', 'k1', 'k2', 'k2', 'both', 'k1']);
    stoppedAt = (await page.evaluate(() => Date.now())) + 1500; // the last screen held 1.5 s more
    await page.clock.pauseAt(stoppedAt);
    last = await lcdPixels(page);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#record-animation')]);
    assert.equal(download.suggestedFilename(), 'orx700-animation.gif');
    gif = decode(fs.readFileSync(await download.path()));
    seen = await page.evaluate(() => window.shown);
    seen.unshift({ at: -Infinity, dark: darkPixels(first.rgba, first.width, first.height, 1) });
    assert.match(await page.textContent('#status'), new RegExp(`orx700-animation\\.gif \\(\\d+\\.\\d s, ${gif.frames.length} frames\\)`));
    assert.equal(await page.textContent('#record-animation'), 'Record animation');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }

  assert.equal(gif.width, 254 * SCALE);
  assert.equal(gif.height, 68 * SCALE);
  const frames = gif.frames.map((f) => f.dark);
  assert.ok(frames.length >= 4, `${frames.length} frames: the keys changed the screen several times`);
  for (let i = 1; i < frames.length; ++i) assert.notEqual(frames[i], frames[i - 1], `frame ${i} repeats the one before`);
  for (const [i, frame] of gif.frames.entries()) assert.ok(frame.delayCs >= 2, `frame ${i}: ${frame.delayCs} cs`);
  const total = gif.frames.reduce((sum, f) => sum + 10 * f.delayCs, 0);
  const duration = stoppedAt - startedAt;
  assert.ok(total <= duration && total > duration - 10, `${total} ms of animation for a ${duration} ms capture`);
  assert.ok(gif.frames.at(-1).delayCs >= 150, 'the last screen is held to the end');

  // The frames are the screens shown, in order: each lasting a while is
  // one, and none is anything the page did not show.
  const screens = seen.filter((s, i) => i === 0 || s.dark !== seen[i - 1].dark);
  const lasting = screens.filter((s, i) => i + 1 === screens.length || screens[i + 1].at - s.at >= 40).map((s) => s.dark);
  assert.ok(inOrder(frames, screens.map((s) => s.dark)), 'every frame is a screen the page showed, in order');
  assert.ok(inOrder(lasting.filter((s, i) => i === 0 || s !== lasting[i - 1]), frames), 'every lasting screen is a frame');
  // The last frame is the LCD picture pixel for pixel, each pixel a square of SCALE.
  const end = gif.frames.at(-1).rgba;
  let differing = 0;
  for (let y = 0; y < gif.height; ++y)
    for (let x = 0; x < gif.width; ++x) {
      const g = 4 * (y * gif.width + x);
      const l = 4 * (Math.floor(y / SCALE) * last.width + Math.floor(x / SCALE));
      if (end[g] !== last.rgba[l] || end[g + 1] !== last.rgba[l + 1] || end[g + 2] !== last.rgba[l + 2]) ++differing;
    }
  assert.equal(differing, 0);
});
