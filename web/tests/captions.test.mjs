// Key captions in the page: off by default; the toggle shows each key event
// the instrument receives as a caption in the page's language, and the
// choice is kept in the state (so it comes back after a reload).
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { hide, POWER_ON, stored } from './state-page.mjs';

const site = useSiteInBrowser();
const captions = (page) => page.$$eval('#captions span', (spans) => spans.map((s) => s.textContent));

test('captions follow the keys in both languages and stay on across a reload', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    assert.equal(await page.getAttribute('#tool-captions', 'aria-pressed'), 'false');
    assert.equal(await page.isHidden('#captions'), true);
    await page.click('#tool-captions');
    await page.evaluate(() => document.activeElement.blur());
    assert.equal(await page.getAttribute('#tool-captions', 'aria-pressed'), 'true');
    await play(page, [...POWER_ON, 'both', 'k1', 'k1']);
    assert.deepEqual(await captions(page), ['K1 long', 'both keys', 'K1 short ×2']);
    await play(page, ['lang RUS', 'k2']);
    assert.deepEqual((await captions(page)).slice(-1), ['K2 коротко']);
    await hide(page);
    assert.match(await stored(page), /KeyCaptions=1/);

    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await page.getAttribute('#tool-captions', 'aria-pressed'), 'true');
    assert.deepEqual(await captions(page), [], 'a new page starts with none');
    await play(page, ['k1']);
    assert.deepEqual(await captions(page), ['K1 коротко']);
    await page.click('#tool-captions');
    assert.equal(await page.isHidden('#captions'), true);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
