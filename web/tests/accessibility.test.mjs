// The page for keyboard and screen-reader users, and for touch users: named
// keys that press on Space and Enter, an LCD whose text follows the screen,
// named dialogs that open on their Close button and give the focus back, a
// status line that is announced, usage texts that fit the input at hand.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { openPage, play, useSiteInBrowser } from './browser.mjs';
import { settledDifference, simulate } from './sim.mjs';

const site = useSiteInBrowser();

// Chromium's accessibility tree, as a screen reader gets it: the nodes that
// are not ignored, each with its role, name and the text of its descendants.
async function accessibilityTree(page) {
  const cdp = await page.context().newCDPSession(page);
  const { nodes } = await cdp.send('Accessibility.getFullAXTree');
  await cdp.detach();
  const byId = new Map(nodes.map((node) => [node.nodeId, node]));
  const text = (node) =>
    node.role?.value === 'StaticText' ? node.name?.value ?? '' : (node.childIds ?? []).map((id) => text(byId.get(id))).filter(Boolean).join('\n');
  return nodes
    .filter((node) => !node.ignored)
    .map((node) => ({ role: node.role?.value, name: node.name?.value ?? '', text: text(node) }));
}

const find = (tree, role, name) => tree.filter((node) => node.role === role && (name === undefined || node.name === name));

// The LCD's text as the tree holds it, once it differs from before (the
// firmware draws on its own thread: a screen comes a moment after its key).
async function lcdTextAfter(page, before) {
  for (let i = 0; i < 30; ++i) {
    const [screen] = find(await accessibilityTree(page), 'region', 'ORX-700 screen');
    assert.ok(screen, 'no LCD named "ORX-700 screen"');
    if (screen.text !== before) return screen.text;
    await page.waitForTimeout(100);
  }
  return before;
}

test('a screen reader finds two named keys, a named LCD whose text follows the screen, a status line; both languages', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    let tree = await accessibilityTree(page);
    assert.equal(find(tree, 'button', 'K1, right key').length, 1);
    assert.equal(find(tree, 'button', 'K2, left key').length, 1);
    assert.equal(find(tree, 'status').length, 1);
    assert.match(find(tree, 'status')[0].text, /^Use <Left> \/ <Right> key buttons/);
    const off = await lcdTextAfter(page, null);
    assert.equal(off, 'The instrument is off');
    // The keys press from the keyboard alone: hold Space on K1 to switch on...
    await page.focus('#key-k1');
    await page.keyboard.down(' ');
    await page.waitForTimeout(150);
    await page.keyboard.down(' '); // the keyboard's own repeat: no new press
    await page.waitForTimeout(300);
    await page.keyboard.up(' ');
    await page.waitForTimeout(1600);
    const route = await lcdTextAfter(page, off);
    assert.equal(route.split('\n')[0], 'machine 1 (selected)');
    // ...Enter on K1 selects the next machine, Enter on K2 enters its points.
    await page.keyboard.press('Enter');
    const next = await lcdTextAfter(page, route);
    assert.equal(next.split('\n')[0], 'machine 2 (selected)');
    await page.focus('#key-k2');
    await page.keyboard.press('Enter');
    await page.waitForTimeout(250);
    assert.equal(await settledDifference(page, simulate(['k1-long', 'wait 1500', 'k1', 'k2']).picture), null);
    // A screen reader's own "press" (a click without a pointer) is a short click.
    await page.evaluate(() => document.getElementById('key-k1').click());
    await page.waitForTimeout(250);
    assert.equal(await settledDifference(page, simulate(['k1-long', 'wait 1500', 'k1', 'k2', 'k1']).picture), null);

    await play(page, ['lang RUS']);
    tree = await accessibilityTree(page);
    assert.equal(find(tree, 'button', 'K1, правая клавиша').length, 1);
    assert.equal(find(tree, 'button', 'K2, левая клавиша').length, 1);
    const [screen] = find(tree, 'region', 'Экран прибора ORX-700');
    assert.ok(screen, 'no LCD named in Russian');
    assert.match(screen.text, /Агрегат 2/);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('dialogs opened from the keyboard are named, open on Close, and give the focus back to their button', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url);
  try {
    for (const [tool, caption] of [['#tool-about', 'About'], ['#tool-overview', 'Talvor FFT'], ['#tool-about', 'About']]) {
      await page.focus(tool);
      await page.keyboard.press('Enter');
      await page.waitForSelector('dialog[open]');
      const tree = await accessibilityTree(page);
      assert.equal(find(tree, 'dialog', caption).length, 1, `no dialog named ${caption}`);
      assert.equal(await page.evaluate(() => document.activeElement.className), 'close');
      // Enter closes the dialog; a second Enter opens it again rather than leaving the site.
      await page.keyboard.press('Enter');
      await page.waitForSelector('dialog[open]', { state: 'detached' }).catch(() => {});
      assert.equal(await page.evaluate(() => document.querySelector('dialog[open]')), null);
      assert.equal(await page.evaluate(() => `#${document.activeElement.id}`), tool);
    }
    assert.equal(context.pages().length, 1);
    assert.equal(new URL(page.url()).pathname, '/');
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});

test('on a touch screen the usage line and the Quick Start speak of the keys on the screen, in both languages', async () => {
  const { context, page, errors } = await openPage(site.browser, site.url, {
    quickStartSeen: false,
    contextOptions: { viewport: { width: 820, height: 1180 }, deviceScaleFactor: 2, hasTouch: true, isMobile: true },
  });
  try {
    await page.waitForSelector('#dialog-quick-start[open]');
    assert.match(await page.textContent('#dialog-quick-start .text'), /^Hold the instrument's keys on the screen:/);
    assert.match(await page.textContent('#status'), /hold the instrument's keys on the screen/);
    await page.click('#dialog-quick-start .close');
    await page.click('#menu-button');
    await page.selectOption('#language', 'RUS');
    assert.match(await page.textContent('#status'), /^Касайтесь клавиш прибора на экране/);
    assert.doesNotMatch(await page.textContent('#status'), /Left|Right/);
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
  }
});
