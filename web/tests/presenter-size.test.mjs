// The presenter size in the page: 1x is the page's usual fitting to the
// browser's window; 1.5x and 2x the whole window at that much of its design
// size, every LCD pixel on whole screen pixels, fitted (and the status line
// saying so) where the browser's window does not hold it; kept in the state
// across a reload, in the desktop's words.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { cutLabels, openPage, useSiteInBrowser } from './browser.mjs';
import { hide, stored } from './state-page.mjs';

const site = useSiteInBrowser();

// The window's scale (CSS pixels per design pixel), screen pixels per LCD
// pixel and where its first one starts, and the status line.
const measure = (page) => page.evaluate(() => {
  const lcd = document.getElementById('lcd').getBoundingClientRect();
  const ratio = devicePixelRatio;
  return {
    scale: lcd.width / 254,
    step: (lcd.width / 254) * 2 * ratio,
    origin: [(lcd.left + (7 * lcd.width) / 254) * ratio, (lcd.top + (2 * lcd.height) / 68) * ratio],
    status: document.getElementById('status').textContent,
  };
});
// Layout places boxes on 1/64 CSS pixel: at 1.25 screen pixels to the CSS
// pixel, up to 0.02 screen pixels off.
const whole = (value) => Math.abs(value - Math.round(value)) < 0.025;

// [screen pixel ratio, viewport, the scale of each size: 1x, 1.5x, 2x]
const CASES = [
  [1, [1366, 768], [1.5, 1.5, 1.5]],
  [2, [1366, 768], [1.5, 1.5, 1.5]],
  [1.25, [1366, 768], [1.2, 1.2, 1.2]], // 3 screen pixels an LCD pixel
  [1, [1920, 1080], [2, 1.5, 2]],
  [1, [900, 600], [1, 1, 1]],
];

test('each presenter size at several screens: whole LCD pixels, fitted and said where it does not fit', async () => {
  for (const [ratio, [width, height], scales] of CASES) {
    const { context, page, errors } = await openPage(site.browser, site.url, {
      contextOptions: { viewport: { width, height }, deviceScaleFactor: ratio },
    });
    try {
      const usage = (await measure(page)).status;
      for (const [i, size] of ['2', '3', '4'].entries()) {
        await page.selectOption('#presenter-size', size);
        const m = await measure(page);
        const where = `${size} at ${width} x ${height}, ${ratio}x: ${JSON.stringify(m)}`;
        assert.ok(Math.abs(m.scale - scales[i]) < 0.001, where);
        assert.ok(whole(m.step) && whole(m.origin[0]) && whole(m.origin[1]), where);
        for (const language of ['RUS', 'ENG']) {
          await page.selectOption('#language', language);
          assert.deepEqual(await cutLabels(page), [], `${language}, ${where}`);
        }
        const fits = size === '2' || Math.abs(m.scale - Math.floor((Number(size) / 2) * 2 * ratio + 1e-9) / (2 * ratio)) < 0.001;
        if (fits) assert.equal(m.status, usage, where);
        else assert.match(m.status, new RegExp(`^The instrument at ${size === '4' ? '2' : '1\\.5'}× does not fit this window: shown at ${Math.round(m.scale * 100)} %\\.`), where);
      }
      assert.deepEqual(errors, []);
    } finally {
      await context.close();
    }
  }
});

test('a presenter size is kept in the state, says in the page\'s language that it does not fit, and fits again when the window grows', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, { contextOptions: { viewport: { width: 1366, height: 768 } } });
  try {
    await page.selectOption('#presenter-size', '4');
    await page.selectOption('#language', 'RUS');
    assert.match((await measure(page)).status, /^Прибор в размере 2× не помещается в окне: показан в размере 150 %\./);
    await hide(page);
    assert.match(await stored(page), /\[Presenter\][^[]*Size=2x/);
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await page.inputValue('#presenter-size'), '4');
    assert.equal((await measure(page)).scale, 1.5);
    await page.setViewportSize({ width: 1920, height: 1080 });
    await page.waitForFunction(() => document.getElementById('lcd').getBoundingClientRect().width === 508);
    assert.doesNotMatch((await measure(page)).status, /не помещается/);
    await page.selectOption('#presenter-size', '2');
    await hide(page);
    assert.doesNotMatch(await stored(page), /Size=/);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
