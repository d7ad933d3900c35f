// Import: a file that is not a state of the program is refused with one
// message and nothing changed; one of ours with values the program cannot
// read asks first; Undo import brings the replaced state back, also after a
// reload. And the one size limit, at it and past it, for an import, a save
// and the state the page loads.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { exportState, hide, importText, MEASURE_POINT_2, POWER_ON, stored, undoKept } from './state-page.mjs';

const site = useSiteInBrowser();
const MAX_BYTES = 256 * 1024;

const messageShown = async (page) => {
  await page.waitForSelector('#dialog-message[open]');
  const text = await page.textContent('#dialog-message .text');
  await page.click('#dialog-message .close');
  return text;
};

// A state exported by the page: point 2 measured, on the point line.
async function measuredState() {
  const { context, page } = await openPage(site.browser, site.url);
  try {
    await play(page, [...POWER_ON, ...MEASURE_POINT_2]);
    return await exportState(page);
  } finally {
    await context.close();
  }
}

// text as the page stores it once imported.
async function importedState(text) {
  const { context, page } = await openPage(site.browser, site.url);
  try {
    await importText(page, text);
    await page.waitForFunction(() => !document.querySelector('#undo-import').hidden);
    return await stored(page);
  } finally {
    await context.close();
  }
}

test('a file that is not a state is refused, a damaged one asks first, and Undo import takes an import back', async () => {
  const earlier = await measuredState();
  const { context, page, errors } = await openPage(site.browser, site.url, { state: earlier });
  try {
    const refused = {
      'hello world': ['hello world\n', /not a saved state/],
      'an empty file': ['', /not a saved state/],
      'a file cut in half': [earlier.slice(0, earlier.length / 2), /not a saved state/],
      'another program\'s ini': ['[General]\nGeometry=1\n', /not a saved state/],
    };
    for (const [name, [text, message]] of Object.entries(refused)) {
      await importText(page, text);
      assert.match(await messageShown(page), message, name);
      assert.equal(await stored(page), earlier, name);
      assert.equal(await undoKept(page), null, name);
    }

    // A value the program cannot read: the question names it; Cancel keeps all.
    const damaged = earlier.replace('MeasureUnit=0', 'MeasureUnit=zz').replace(/^2=\d+$/m, '2=0');
    await importText(page, damaged);
    await page.waitForSelector('#dialog-confirm[open]');
    assert.match(await page.textContent('#dialog-confirm .text'), /\[DeviceState\] MeasureUnit=zz/);
    assert.equal(await page.evaluate(() => document.activeElement.className), 'close', 'the focus is on Cancel');
    await page.keyboard.press('Enter');
    assert.equal(await stored(page), earlier);

    // Replace: the file is the state, and the state before it can come back.
    await importText(page, damaged);
    await page.waitForSelector('#dialog-confirm[open]');
    await page.click('#dialog-confirm .accept');
    await page.waitForFunction(() => !document.querySelector('#undo-import').hidden);
    assert.match(await stored(page), /\n2=0\n/);
    assert.equal(await undoKept(page), earlier);
    assert.match(await page.textContent('#status'), /imported/);

    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    await page.click('#undo-import');
    await page.waitForFunction(() => document.querySelector('#undo-import').hidden);
    assert.equal(await stored(page), earlier);
    assert.equal(await undoKept(page), null);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('one size limit: a state at it is imported, saved and loaded; past it, each is refused and the kept state stays', async () => {
  // A state with a section of the user's, as the page keeps it (a save
  // then writes it back as it is), padded to exactly size bytes.
  const kept = (await importedState(`${await measuredState()}[Notes]\npad=\n`)).replace('SelectedPoint=2\n', 'SelectedPoint=9\n');
  const sized = (size) => kept.replace('pad=', `pad=${'x'.repeat(size - kept.length)}`);
  const cases = [
    { name: 'import at the limit', stored: kept, imported: sized(MAX_BYTES), keeps: false },
    { name: 'import past the limit', stored: kept, imported: sized(MAX_BYTES + 1), keeps: true, message: /larger than 256 KiB/ },
    // The point line moves from point 9 to point 10: the save is one byte longer.
    { name: 'a save that reaches the limit', stored: sized(MAX_BYTES - 1), keys: true, keeps: false },
    { name: 'a save that would pass the limit', stored: sized(MAX_BYTES), keys: true, keeps: true, status: /not saved/ },
    { name: 'a stored state at the limit', stored: sized(MAX_BYTES), keeps: false },
    { name: 'a stored state past the limit', stored: sized(MAX_BYTES + 1), keeps: true, message: /larger than 256 KiB/ },
  ];
  for (const c of cases) {
    const { context, page, errors } = await openPage(site.browser, site.url, { state: c.stored });
    try {
      if (c.imported) {
        await importText(page, c.imported);
        if (!c.keeps) await page.waitForFunction(() => !document.querySelector('#undo-import').hidden);
      }
      if (c.message) assert.match(await messageShown(page), c.message, c.name);
      if (c.keys) await play(page, [...POWER_ON, 'k1']);
      await hide(page);
      const after = await stored(page);
      if (c.keeps) assert.equal(after, c.stored, c.name);
      else assert.equal(Buffer.byteLength(after), MAX_BYTES, c.name);
      if (c.status) assert.match(await page.textContent('#status'), c.status, c.name);
      if (!c.message) assert.equal(await page.evaluate(() => document.querySelector('#dialog-message').open), false, c.name);
      assert.deepEqual(errors, [], c.name);
    } finally {
      await context.close();
    }
  }
});
