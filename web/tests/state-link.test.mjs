// Links that open a prepared instrument: a state goes from one page into a
// link, through orx700-sim's zlib (which must read the browser's deflate and
// make a link the browser reads) and into another page, after asking, with
// the user's own state kept for Undo import; a damaged or later-version
// link, and a link declined, leave the own state as it was.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { SIM } from './sim.mjs';
import { exportState, MEASURE_POINT_2, POWER_ON, stored, undoKept } from './state-page.mjs';

const site = useSiteInBrowser();

const messageShown = async (page) => {
  await page.waitForSelector('#dialog-message[open]');
  const text = await page.textContent('#dialog-message .text');
  await page.click('#dialog-message .close');
  return text;
};

// orx700-sim reads the link and makes its own of the same state.
function throughSim(link) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-link-'));
  try {
    fs.writeFileSync(path.join(folder, 'in.txt'), link);
    execFileSync(SIM, ['-'], { input: `link-in ${folder}/in.txt\nlink-out ${folder}/out.txt\n` });
    return fs.readFileSync(path.join(folder, 'out.txt'), 'utf8').trim();
  } finally {
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

async function pageState(keys) {
  const { context, page } = await openPage(site.browser, site.url);
  try {
    await play(page, keys);
    return await exportState(page);
  } finally {
    await context.close();
  }
}

// The link Copy link makes after keys.
async function pageLink(keys) {
  const { context, page } = await openPage(site.browser, site.url);
  try {
    await play(page, keys);
    await page.click('#copy-link');
    await page.waitForSelector('#dialog-link[open]');
    return await page.inputValue('#dialog-link .link');
  } finally {
    await context.close();
  }
}

test('a state goes through links made by the page and by orx700-sim into another page, after asking; Undo import gives the own back', async () => {
  const own = await pageState([]);
  const prepared = { context: null };
  let link;
  let sent;
  try {
    const opened = await openPage(site.browser, site.url, { contextOptions: { permissions: ['clipboard-read', 'clipboard-write'] } });
    prepared.context = opened.context;
    const { page, errors } = opened;
    await play(page, [...POWER_ON, ...MEASURE_POINT_2, 'lang RUS']);
    sent = await exportState(page);
    await page.click('#copy-link');
    await page.waitForSelector('#dialog-link[open]');
    link = await page.inputValue('#dialog-link .link');
    assert.match(link, new RegExp(`^${site.url}#state=1\\.[A-Za-z0-9_-]+$`));
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), link);
    assert.match(await page.textContent('#dialog-link .text'), new RegExp(`скопирована.*${link.length}`));
    assert.deepEqual(errors, []);
  } finally {
    await prepared.context?.close();
  }
  assert.notEqual(sent, own);

  const fromSim = throughSim(link);
  assert.match(fromSim, /^#state=1\./);
  for (const [name, fragment] of [['the page\'s link', link.slice(link.indexOf('#'))], ['orx700-sim\'s link', fromSim]]) {
    const { context, page, errors } = await openPage(site.browser, site.url + fragment, { state: own });
    try {
      await page.waitForSelector('#dialog-confirm[open]');
      assert.equal(await page.evaluate(() => location.hash), '', name);
      assert.match(await page.textContent('#dialog-confirm .text'), /prepared instrument/, name);
      await page.click('#dialog-confirm .accept');
      await page.waitForFunction(() => !document.querySelector('#undo-import').hidden);
      assert.equal(await stored(page), sent, name);
      assert.equal(await undoKept(page), own, name);
      // The state is in Russian, and the page with it.
      assert.match(await page.textContent('#status'), /из ссылки загружено/, name);
      await page.click('#undo-import');
      await page.waitForFunction(() => document.querySelector('#undo-import').hidden);
      assert.equal(await stored(page), own, name);
      assert.deepEqual(errors, [], name);
    } finally {
      await context.close();
    }
  }
});

test('a damaged, a later-version or a declined link leaves the own state as it was', async () => {
  const own = await pageState([]);
  const link = throughSim(await pageLink([...POWER_ON, ...MEASURE_POINT_2]));
  const data = link.slice('#state=1.'.length);
  const middle = Math.floor(data.length / 2);
  const cases = [
    { name: 'cut short', fragment: link.slice(0, -8), message: /damaged/ },
    { name: 'a character changed', fragment: `#state=1.${data.slice(0, middle)}${data[middle] === 'A' ? 'B' : 'A'}${data.slice(middle + 1)}`, message: /damaged/ },
    { name: 'not base64url', fragment: `#state=1.${data.slice(0, 20)}%20${data.slice(20)}`, message: /damaged/ },
    { name: 'a later version', fragment: `#state=2.${data}`, message: /later version/ },
    { name: 'declined', fragment: link, decline: true },
  ];
  for (const c of cases) {
    const { context, page, errors } = await openPage(site.browser, site.url + c.fragment, { state: own });
    try {
      if (c.decline) {
        await page.waitForSelector('#dialog-confirm[open]');
        await page.click('#dialog-confirm .close');
      } else {
        assert.match(await messageShown(page), c.message, c.name);
      }
      assert.equal(await page.evaluate(() => location.hash), '', c.name);
      assert.equal(await stored(page), own, c.name);
      assert.equal(await undoKept(page), null, c.name);
      assert.equal(await page.evaluate(() => document.querySelector('#undo-import').hidden), true, c.name);
      assert.deepEqual(errors, [], c.name);
    } finally {
      await context.close();
    }
  }
});
