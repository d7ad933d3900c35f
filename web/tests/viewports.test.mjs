// The page on phones, tablets, laptops and projectors: at each viewport the
// LCD's pixels fall on whole screen pixels, the keys are targets a finger can
// hit, the tool bar is reachable, and nothing leaves the screen.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { cutLabels, openPage, play, useSiteInBrowser } from './browser.mjs';

const site = useSiteInBrowser();

const MIN_TARGET = 44; // CSS pixels, the smallest touch target
const VIEWPORTS = [
  { name: 'phone', width: 390, height: 844, dpr: 3, touch: true, compact: true },
  { name: 'tablet in portrait', width: 768, height: 1024, dpr: 2, touch: true, compact: true },
  { name: 'large tablet in portrait', width: 820, height: 1180, dpr: 2, touch: true, compact: true },
  { name: 'small laptop', width: 1024, height: 768, dpr: 1, touch: false, compact: false },
  { name: 'laptop', width: 1366, height: 768, dpr: 1, touch: false, compact: false },
  { name: 'projector', width: 1920, height: 1080, dpr: 1, touch: false, compact: false },
];

// What a user gets to see, measured in the page.
function measure() {
  const rect = (selector) => {
    const element = document.querySelector(selector);
    const box = element.getBoundingClientRect();
    const shown = getComputedStyle(element).display !== 'none' && box.width > 0;
    return { left: box.left, top: box.top, right: box.right, bottom: box.bottom, width: box.width, height: box.height, shown };
  };
  const lcd = rect('#lcd');
  const ratio = devicePixelRatio;
  const lines = document.querySelector('#balloon-k1 .lines');
  return {
    viewport: { width: innerWidth, height: innerHeight },
    scroll: { width: document.documentElement.scrollWidth, height: document.documentElement.scrollHeight },
    // Screen pixels per LCD pixel (2 picture pixels), and where LCD pixel 0 starts.
    lcdStep: (lcd.width / 254) * 2 * ratio,
    lcdOrigin: { x: (lcd.left + (7 * lcd.width) / 254) * ratio, y: (lcd.top + (2 * lcd.height) / 68) * ratio },
    boxes: {
      lcd, k1: rect('#key-k1'), k2: rect('#key-k2'), status: rect('#status'),
      toolbar: rect('#toolbar'), menu: rect('#menu-button'), balloonK1: rect('#balloon-k1'), balloonK2: rect('#balloon-k2'),
    },
    // The balloon text's size on the screen, in CSS pixels.
    balloonText: parseFloat(getComputedStyle(lines).fontSize) * (lines.getBoundingClientRect().height / lines.offsetHeight),
  };
}

const inside = (box, viewport) =>
  box.left >= -0.01 && box.top >= -0.01 && box.right <= viewport.width + 0.01 && box.bottom <= viewport.height + 0.01;
const whole = (value) => Math.abs(value - Math.round(value)) < 0.01;

for (const v of VIEWPORTS) {
  test(`${v.name} (${v.width} x ${v.height}, ${v.dpr}x${v.touch ? ', touch' : ''}): whole LCD pixels, 44-pixel keys, nothing off the screen`, async () => {
    const { context, page, errors } = await openPage(site.browser, site.url, {
      contextOptions: { viewport: { width: v.width, height: v.height }, deviceScaleFactor: v.dpr, hasTouch: v.touch, isMobile: v.touch },
    });
    try {
      const m = await page.evaluate(measure);
      const where = JSON.stringify(m);
      assert.ok(m.lcdStep >= 2 && whole(m.lcdStep), `LCD pixel of ${m.lcdStep} screen pixels: ${where}`);
      assert.ok(whole(m.lcdOrigin.x) && whole(m.lcdOrigin.y), `LCD grid off the screen's pixels: ${where}`);
      for (const key of ['k1', 'k2']) {
        const box = m.boxes[key];
        assert.ok(box.width >= MIN_TARGET && box.height >= MIN_TARGET, `${key} target ${box.width} x ${box.height}`);
      }
      assert.ok(m.boxes.k2.right <= m.boxes.k1.left, 'the key targets overlap');
      assert.ok(m.scroll.width <= v.width && m.scroll.height <= v.height, `the page scrolls: ${where}`);
      for (const [name, box] of Object.entries(m.boxes))
        if (box.shown) assert.ok(inside(box, m.viewport), `${name} leaves the screen: ${JSON.stringify(box)}`);
      assert.ok(m.boxes.balloonK1.shown && m.boxes.balloonK2.shown, 'the balloons are not shown');
      assert.ok(m.balloonText >= 11, `balloon text of ${m.balloonText} pixels`);
      assert.equal(m.boxes.menu.shown, v.compact, 'the menu button');
      assert.equal(m.boxes.toolbar.shown, !v.compact, 'the tool bar');
      if (v.compact) {
        // The folded tool bar opens on the screen, and its items are large enough to touch.
        await page.click('#menu-button');
        const menu = await page.evaluate(measure);
        assert.ok(menu.boxes.toolbar.shown && inside(menu.boxes.toolbar, menu.viewport), JSON.stringify(menu.boxes.toolbar));
        const heights = await page.$$eval('#toolbar .tool', (tools) => tools.map((t) => t.getBoundingClientRect().height));
        assert.ok(heights.every((h) => h >= MIN_TARGET), `menu items of ${heights}`);
        assert.deepEqual(await cutLabels(page), [], 'labels cut in the menu');
        await page.click('#tool-hints');
        assert.equal(await page.isVisible('#toolbar'), false, 'the menu stays open after a choice');
        assert.equal(await page.isVisible('#balloon-k1'), false, 'the balloons do not hide');
        // With the Machines panel covering the page, the menu still opens
        // over it and the language changes, the panel's texts with it.
        await page.click('#menu-button');
        await page.click('#tool-machines');
        await page.waitForSelector('#machines-panel[open]');
        const caption = await page.textContent('#machines-caption');
        await page.click('#menu-button');
        await page.selectOption('#language', 'RUS');
        assert.equal(await page.evaluate(() => document.documentElement.lang), 'ru');
        assert.notEqual(await page.textContent('#machines-caption'), caption, 'the panel keeps its language');
        assert.ok(await page.isVisible('#machines-panel'), 'the panel closed');
        assert.deepEqual(await cutLabels(page), [], 'labels cut in the menu in Russian');
        assert.ok(inside((await page.evaluate(measure)).boxes.menu, m.viewport), 'the menu button left the screen');
        await page.click('#machines-panel .close');
        await page.click('#menu-button');
        await page.selectOption('#language', 'ENG');
      } else {
        // Each tool's label on one line, in both languages, and the tool bar
        // holds them all.
        for (const language of ['RUS', 'ENG']) {
          await page.selectOption('#language', language);
          const labels = await page.$$eval('#toolbar .tool span', (spans) => spans.map((s) => [s.textContent, s.offsetHeight / parseFloat(getComputedStyle(s).lineHeight === 'normal' ? getComputedStyle(s).fontSize : getComputedStyle(s).lineHeight)]));
          for (const [text, lines] of labels) assert.ok(lines < 1.7, `${language}: "${text}" takes ${lines.toFixed(2)} lines`);
          assert.ok(await page.$eval('#toolbar', (bar) => bar.scrollWidth <= bar.clientWidth + 0.5), `${language}: the tool bar overflows`);
          assert.deepEqual(await cutLabels(page), [], `${language}: labels cut`);
        }
      }
      if (v.touch) {
        // A finger on the edge of K1's target, off the key drawn: a hold switches the instrument on.
        const k1 = m.boxes.k1;
        const cdp = await context.newCDPSession(page);
        await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x: k1.left + 3, y: k1.top + 3 }] });
        await page.waitForTimeout(450);
        await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
        await page.waitForFunction(() => document.getElementById('lcd-text').textContent.includes('ORX-700'));
      } else {
        await play(page, ['k1-long']);
        await page.waitForFunction(() => document.getElementById('lcd-text').textContent.includes('ORX-700'));
      }
      assert.deepEqual(errors, []);
    } finally {
      await context.close();
    }
  });
}

test('projector: the dialogs and the tooltip grow with the window, and the tooltip stands below the LCD, level with the pointer', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, { contextOptions: { viewport: { width: 1920, height: 1080 } } });
  try {
    const scale = await page.evaluate(() => document.getElementById('lcd').getBoundingClientRect().width / 254);
    assert.equal(scale, 2);
    await page.click('#tool-about');
    assert.equal(await page.$eval('#dialog-about', (d) => getComputedStyle(d).fontSize), '22px');
    await page.keyboard.press('Escape');
    await play(page, ['k1-long', 'wait 1500']);
    // LCD column 60, row 12: the point's name; the tooltip stands below the LCD, level with the pointer.
    const lcd = await page.locator('#lcd').boundingBox();
    const x = lcd.x + ((7 + 2 * 60 + 0.5) * lcd.width) / 254;
    const y = lcd.y + ((2 + 2 * 12 + 0.5) * lcd.height) / 68;
    await page.mouse.move(x, y);
    await page.waitForSelector('#tooltip:not([hidden])');
    const tip = await page.locator('#tooltip').boundingBox();
    assert.equal(await page.$eval('#tooltip', (t) => getComputedStyle(t).fontSize), '22px');
    assert.ok(tip.y >= lcd.y + lcd.height, `tooltip at ${tip.y}, LCD bottom ${lcd.y + lcd.height}`);
    assert.ok(Math.abs(tip.x - x) <= 4, `tooltip at ${tip.x}, pointer at ${x}`);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
