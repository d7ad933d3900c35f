// The window around the LCD: tooltips, the live language switch, touch keys.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { lcdPixels, openPage, play, useSiteInBrowser } from './browser.mjs';
import { pictureDifference, settledDifference, simulate } from './sim.mjs';

const site = useSiteInBrowser();

const POWER_ON = ['k1-long', 'wait 1500'];

// A point of the LCD picture (254 x 68) in page coordinates.
async function lcdPoint(page, x, y) {
  const box = await page.locator('#lcd').boundingBox();
  return { x: box.x + ((x + 0.5) * box.width) / 254, y: box.y + ((y + 0.5) * box.height) / 68 };
}

test('a tooltip explains the point label under the pointer and goes when the pointer leaves the LCD', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    await play(page, POWER_ON);
    // LCD column 60, row 12: the measured point's name on the route screen.
    const label = await lcdPoint(page, 7 + 2 * 60, 2 + 2 * 12);
    await page.mouse.move(label.x, label.y);
    await page.waitForSelector('#tooltip:not([hidden])');
    assert.equal(await page.textContent('#tooltip'), 'name of the measured point');
    assert.equal(await page.$eval('#lcd', (lcd) => getComputedStyle(lcd).cursor), 'help');
    // Between two regions there is nothing to explain.
    const gap = await lcdPoint(page, 7 + 2 * 20, 2 + 2 * 10);
    await page.mouse.move(gap.x, gap.y);
    assert.equal(await page.isHidden('#tooltip'), true);
    await page.mouse.move(label.x, label.y);
    await page.waitForSelector('#tooltip:not([hidden])');
    await page.mouse.move(label.x, label.y + 200);
    assert.equal(await page.isHidden('#tooltip'), true);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('the language switch is live: window texts, LCD and balloons, and back', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    assert.deepEqual(await page.$$eval('#language option', (options) => options.map((o) => o.textContent)), ['ENG', 'RUS']);
    await play(page, POWER_ON);
    await play(page, ['lang RUS']);
    const shown = await lcdPixels(page);
    const expected = simulate([...POWER_ON, 'lang RUS']);
    assert.equal(pictureDifference(shown, expected.picture), null);
    assert.equal(shown.k1, expected.state.k1);
    assert.equal(shown.k2, expected.state.k2);
    assert.equal(await page.textContent('#tool-exit'), 'Выход');
    assert.equal(await page.textContent('#language-label'), 'Язык');
    assert.match(await page.textContent('#status'), /^Используйте клавиши/);
    // The arrows still reach the instrument after the box was used.
    await play(page, ['k1', 'lang ENG']);
    const back = simulate([...POWER_ON, 'lang RUS', 'k1', 'lang ENG']);
    assert.equal(await settledDifference(page, back.picture), null);
    assert.equal(await page.textContent('#tool-exit'), 'Exit');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('touching the on-screen keys works as on a tablet: hold, tap, both', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, { contextOptions: { hasTouch: true } });
  try {
    const cdp = await context.newCDPSession(page);
    const centre = async (selector) => {
      const box = await page.locator(selector).boundingBox();
      return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
    };
    const k1 = await centre('#key-k1');
    const k2 = await centre('#key-k2');
    const touch = (type, points) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: points });
    // Hold K1 to switch on, tap K2 to open the machine's points.
    await touch('touchStart', [k1]);
    await page.waitForTimeout(450);
    assert.equal(await page.$eval('#key-k1', (key) => key.classList.contains('pressed')), true);
    await touch('touchEnd', []);
    await page.waitForTimeout(1600);
    await touch('touchStart', [k2]);
    await page.waitForTimeout(60);
    await touch('touchEnd', []);
    await page.waitForTimeout(250);
    assert.equal(await settledDifference(page, simulate([...POWER_ON, 'k2']).picture), null);
    // Both keys touched together (the second press comes well within 300 ms
    // of the first): back to the main menu.
    await touch('touchStart', [k1, k2]);
    await page.waitForTimeout(60);
    await touch('touchEnd', []);
    await page.waitForTimeout(250);
    assert.equal(await settledDifference(page, simulate([...POWER_ON, 'k2', 'both']).picture), null);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('mouse buttons over the instrument press the keys (right K1, left K2) with no context menu, and keyboard repeats are no new presses', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    const device = await page.locator('#device').boundingBox();
    const x = device.x + 100;
    const y = device.y + 70;
    await page.evaluate(() => {
      window.contextMenus = 0;
      document.addEventListener('contextmenu', (event) => { if (!event.defaultPrevented) ++window.contextMenus; });
    });
    // The keyboard's own repeat within 300 ms of the press would make a
    // "both keys" press (which does nothing while off) if it counted.
    await page.keyboard.down('ArrowRight');
    await page.waitForTimeout(100);
    await page.keyboard.down('ArrowRight');
    await page.waitForTimeout(100);
    await page.keyboard.down('ArrowRight');
    await page.waitForTimeout(250);
    await page.keyboard.up('ArrowRight');
    await page.waitForTimeout(1600);
    assert.equal(await settledDifference(page, simulate(['k1-long', 'wait 1500']).picture), null);
    // Left button: K2 enters the machine's points; right: K1 the next point.
    await page.mouse.move(x, y);
    for (const button of ['left', 'right']) {
      await page.mouse.down({ button });
      await page.waitForTimeout(60);
      await page.mouse.up({ button });
      await page.waitForTimeout(150);
    }
    assert.equal(await settledDifference(page, simulate(['k1-long', 'wait 1500', 'k2', 'k1']).picture), null);
    assert.equal(await page.evaluate(() => window.contextMenus), 0);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('the Quick Start note shows once per browser; hidden balloons come back in the language chosen meanwhile', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, { quickStartSeen: false });
  try {
    await page.waitForSelector('#dialog-quick-start[open]');
    assert.match(await page.textContent('#dialog-quick-start .caption'), /^Quick Start/);
    await page.click('#dialog-quick-start .close');
    await page.reload();
    await page.waitForSelector('body[data-ready="true"]');
    assert.equal(await page.isVisible('#dialog-quick-start'), false);

    await page.click('#tool-hints');
    assert.equal(await page.isVisible('#balloon-k1 .lines'), false);
    await play(page, ['lang RUS']);
    await page.click('#tool-hints');
    assert.equal(await page.isVisible('#balloon-k1 .lines'), true);
    assert.equal(await page.textContent('#balloon-k1'), 'Короткий клик: Нет действий\nДлинный  клик: Включение прибора\nОбе клавиши: Нет действий');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
