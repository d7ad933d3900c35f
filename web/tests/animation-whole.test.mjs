// Record animation of the whole instrument in the page: with Whole
// instrument chosen, the GIF has the instrument's size, more than one frame,
// the key captions in it while they are shown, and its last frame's LCD is
// the LCD canvas's picture where the page shows it. Decoded by a decoder of
// its own (npm's omggif), not the page's encoder.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { test } from 'node:test';
import omggif from 'omggif';
import { lcdPixels, openPage, play, useSiteInBrowser } from './browser.mjs';
import { POWER_ON } from './state-page.mjs';

const site = useSiteInBrowser();
// The instrument below the tool bar, and where the LCD and the captions
// stand in it.
const WIDTH = 873;
const HEIGHT = 309;
const LCD = { x: 220, y: 121 };
const CAPTIONS = { x: 24, y: 236, width: 384, height: 64 };

function decode(bytes) {
  const reader = new omggif.GifReader(new Uint8Array(bytes));
  const frames = [];
  const rgba = new Uint8Array(reader.width * reader.height * 4);
  for (let i = 0; i < reader.numFrames(); ++i) {
    reader.decodeAndBlitFrameRGBA(i, rgba);
    frames.push({ delayCs: reader.frameInfo(i).delay, rgba: rgba.slice() });
  }
  return { width: reader.width, height: reader.height, frames };
}

// A caption's box is the one dark patch under the instrument.
function captionPixels(rgba) {
  let dark = 0;
  for (let y = CAPTIONS.y; y < CAPTIONS.y + CAPTIONS.height; ++y)
    for (let x = CAPTIONS.x; x < CAPTIONS.x + CAPTIONS.width; ++x) {
      const i = 4 * (y * WIDTH + x);
      if (rgba[i] < 64 && rgba[i + 1] < 64 && rgba[i + 2] < 64) ++dark;
    }
  return dark;
}

test('an animation of the whole instrument has its size, its key captions and its LCD', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, { fakeClock: true });
  let gif;
  let last;
  try {
    await play(page, POWER_ON);
    await page.click('#tool-captions');
    await page.click('#animation-whole');
    assert.equal(await page.getAttribute('#animation-whole', 'aria-pressed'), 'true');
    await page.click('#record-animation');
    await page.waitForFunction(() => document.querySelector('#record-animation').getAttribute('aria-pressed') === 'true');
    assert.match(await page.textContent('#status'), /whole instrument/);
    await play(page, ['k2', 'k1']);
    // Held still a second after the last key, while its caption is shown.
    await page.clock.pauseAt((await page.evaluate(() => Date.now())) + 1000);
    last = await lcdPixels(page);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#record-animation')]);
    gif = decode(fs.readFileSync(await download.path()));
    assert.match(await page.textContent('#status'), new RegExp(`\\(\\d+\\.\\d s, ${gif.frames.length} frames\\)`));
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }

  assert.equal(gif.width, WIDTH);
  assert.equal(gif.height, HEIGHT);
  assert.ok(gif.frames.length > 2, `${gif.frames.length} frames`);
  for (const [i, frame] of gif.frames.entries()) assert.ok(frame.delayCs >= 2, `frame ${i}: ${frame.delayCs} cs`);
  // The strip starts empty when shown; the two keys bring their captions.
  const withCaptions = gif.frames.map((f) => captionPixels(f.rgba));
  assert.equal(withCaptions[0], 0, `captions ${withCaptions}: none at the start`);
  assert.ok(withCaptions.at(-1) > 500, `captions ${withCaptions}: the keys' captions at the end`);
  // The LCD where the page shows it, within the colours a frame holds.
  const end = gif.frames.at(-1).rgba;
  let worst = 0;
  for (let y = 0; y < last.height; ++y)
    for (let x = 0; x < last.width; ++x) {
      const g = 4 * ((LCD.y + y) * WIDTH + LCD.x + x);
      const l = 4 * (y * last.width + x);
      for (let c = 0; c < 3; ++c) worst = Math.max(worst, Math.abs(end[g + c] - last.rgba[l + c]));
    }
  assert.ok(worst <= 8, `the LCD differs by ${worst}`);
});
