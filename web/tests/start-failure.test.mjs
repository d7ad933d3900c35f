// What the page says when the instrument cannot start because a file of the
// folder is missing (an incomplete upload): a message naming it, not a page
// that stays on "Loading" for ever.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launch, SITE } from './browser.mjs';
import { startServer } from '../tools/serve.mjs';

const CASES = [
  { missing: 'orx700.worker.js', says: 'orx700.worker.js could not be loaded' },
  { missing: 'orx700.js', says: 'orx700.js could not be loaded' },
  { missing: 'orx700.wasm', says: 'orx700.wasm could not be loaded' },
];

let browser;
let close;
const folders = [];
before(async () => ({ browser, close } = await launch()));
after(async () => {
  await close();
  for (const folder of folders) fs.rmSync(folder, { recursive: true, force: true });
});

// The site without one file; the manuals are left out, as nothing here opens them.
function siteWithout(name) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-site-'));
  folders.push(folder);
  fs.cpSync(SITE, folder, {
    recursive: true,
    filter: (source) => !['manuals', name].includes(path.relative(SITE, source)),
  });
  return folder;
}

for (const { missing, says } of CASES) {
  test(`without ${missing} the page says the instrument could not start`, async () => {
    const server = await startServer({ root: siteWithout(missing), port: 0 });
    const context = await browser.newContext();
    try {
      const page = await context.newPage();
      await page.goto(`http://127.0.0.1:${server.address().port}/`);
      await page.waitForFunction(() => document.getElementById('loading').textContent.includes('could not start'));
      const text = await page.textContent('#loading');
      assert.match(text, /^The instrument could not start: /);
      assert.ok(text.includes(says), text);
      assert.equal(await page.isVisible('#loading'), true);
      assert.equal(await page.isHidden('#window'), true);
      assert.equal(await page.getAttribute('body', 'data-ready'), null);
    } finally {
      await context.close();
      server.close();
    }
  });
}
