// What the page says when the instrument cannot start because a file of the
// folder is missing or damaged (an incomplete upload): a message naming it
// and saying what to do, not a page that stays on "Loading" for ever. The
// page's string tables live in the WebAssembly module, which may be the file
// at fault: the message is the page's own, in both languages.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { launch, openPage, SITE } from './browser.mjs';
import { startServer } from '../tools/serve.mjs';

const MISSING = {
  english: (file) => `The file ${file} could not be loaded from the server. Check the network connection`,
  russian: (file) => `Не удалось загрузить с сервера файл ${file}. Проверьте подключение к сети`,
};
const DAMAGED = {
  english: (file) => `The file ${file} on the server is damaged`,
  russian: (file) => `Файл ${file} на сервере поврежден`,
};
const CASES = [
  { file: 'orx700.worker.js', fault: 'missing', says: MISSING },
  { file: 'orx700.js', fault: 'missing', says: MISSING },
  { file: 'orx700.wasm', fault: 'missing', says: MISSING },
  { file: 'orx700.wasm', fault: 'cut in half', says: DAMAGED },
  { file: 'js/load-module.js', fault: 'missing', says: MISSING },
  { file: 'js/view.js', fault: 'missing', says: MISSING }, // a module the page's modules import
];

let browser;
let close;
const folders = [];
before(async () => ({ browser, close } = await launch()));
after(async () => {
  await close();
  for (const folder of folders) fs.rmSync(folder, { recursive: true, force: true });
});

// The site with one file missing or cut short; the manuals are left out, as
// nothing here opens them.
function siteWith(file, fault) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orx700-site-'));
  folders.push(folder);
  fs.cpSync(SITE, folder, {
    recursive: true,
    filter: (source) => !['manuals', fault === 'missing' ? file : null].includes(path.relative(SITE, source)),
  });
  if (fault === 'cut in half') {
    const data = fs.readFileSync(path.join(folder, file));
    fs.writeFileSync(path.join(folder, file), data.subarray(0, data.length >> 1));
  }
  return folder;
}

for (const { file, fault, says } of CASES) {
  test(`with ${file} ${fault} the page names it, in English and Russian, and says what to do`, async () => {
    const server = await startServer({ root: siteWith(file, fault), port: 0 });
    const context = await browser.newContext();
    try {
      const page = await context.newPage();
      await page.goto(`http://127.0.0.1:${server.address().port}/`);
      await page.waitForSelector('#start-failure:not([hidden])');
      const shown = await page.locator('#start-failure p:visible').allInnerTexts();
      assert.equal(shown.length, 2, shown.join('\n'));
      assert.ok(shown[0].startsWith(says.english(file)), shown[0]);
      assert.match(shown[0], /copy the whole folder to the server again/);
      assert.ok(shown[1].startsWith(says.russian(file)), shown[1]);
      assert.match(shown[1], /скопируйте на сервер всю папку заново/);
      // Not the module's own abort text, meant for its developers.
      assert.doesNotMatch(await page.textContent('body'), /Aborted|ASSERTIONS/);
      assert.equal(await page.isHidden('#loading'), true);
      assert.equal(await page.isHidden('#window'), true);
      assert.equal(await page.getAttribute('body', 'data-ready'), null);
    } finally {
      await context.close();
      server.close();
    }
  });
}

// A panel's module is loaded when the panel is first used: the page starts
// without it, and using the panel names the missing file.
const PANELS = [
  { file: 'js/machines.js', use: (page) => page.click('#tool-machines') },
  { file: 'js/exercise.js', fragment: '#exercise=1.AAAA' }, // a link opens it at start
];
test('a panel\'s module missing from the server leaves the start alone and is named when the panel is used', async () => {
  for (const { file, fragment = '', use } of PANELS) {
    const server = await startServer({ root: siteWith(file, 'missing'), port: 0 });
    const { context, page } = await openPage(browser, `http://127.0.0.1:${server.address().port}/${fragment}`);
    try {
      await use?.(page);
      await page.waitForSelector('#dialog-message[open]');
      const text = await page.textContent('#dialog-message-text');
      assert.ok(text.startsWith(`The file ${file} could not be loaded from the server.`), text);
    } finally {
      await context.close();
      server.close();
    }
  }
});
