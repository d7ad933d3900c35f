// Shared by the browser tests: the site served on a free loopback port,
// Debian's Chromium driven headless, and a page that collects its errors.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';
import { startServer } from '../tools/serve.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
export const PROJECT = path.resolve(here, '../..');
export const SITE = process.env.ORX_WEB_SITE ?? path.join(PROJECT, 'build/web/site');
export const CHROMIUM = process.env.ORX_CHROMIUM ?? '/usr/bin/chromium';

if (!fs.existsSync(path.join(SITE, 'orx700.wasm')))
  throw new Error(`no web build in ${SITE}: build it with cmake --preset web && cmake --build --preset web`);
if (!fs.existsSync(CHROMIUM)) throw new Error(`no Chromium at ${CHROMIUM}: scripts/install-deps.sh installs it`);

export async function serve({ isolated = true } = {}) {
  const server = await startServer({ root: SITE, port: 0, isolated });
  return { server, url: `http://127.0.0.1:${server.address().port}/` };
}

// Chromium without its background services: on a closed network their
// connections fail, and nothing of the test needs them. Playwright gives it a
// fresh profile of its own.
export async function launch() {
  const browser = await chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  return { browser, close: () => browser.close() };
}

// For a test file: the site served and Chromium launched before its tests,
// both ended after them. The returned object's url and browser are set once
// the tests run.
export function useSiteInBrowser() {
  const site = { url: null, browser: null };
  let server;
  let close;
  before(async () => {
    ({ server, url: site.url } = await serve());
    ({ browser: site.browser, close } = await launch());
  });
  after(async () => {
    await close();
    server.close();
  });
  return site;
}

// A page of a new context (its own storage), with the Quick Start note
// already seen unless asked for; errors collects console errors and page
// errors, warnings the console's warnings (from the page's first line on).
// fakeClock puts the page's time under the test's control (context.clock):
// it runs as usual until the test moves it.
export async function openPage(browser, url, { quickStartSeen = true, state = null, contextOptions = {}, fakeClock = false } = {}) {
  const context = await browser.newContext({ viewport: { width: 1280, height: 800 }, ...contextOptions });
  if (fakeClock) await context.clock.install();
  await context.addInitScript(({ seen, stored }) => {
    if (sessionStorage.getItem('orx700-test.init')) return;
    sessionStorage.setItem('orx700-test.init', '1');
    if (seen) localStorage.setItem('orx700-demo.quick-start-shown', '1');
    if (stored !== null) localStorage.setItem('orx700-demo.state', stored);
  }, { seen: quickStartSeen, stored: state });
  const page = await context.newPage();
  const errors = [];
  const warnings = [];
  page.on('console', (message) => {
    if (message.type() === 'error') errors.push(message.text());
    if (message.type() === 'warning') warnings.push(message.text());
  });
  page.on('pageerror', (error) => errors.push(String(error)));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]', { timeout: 20000 });
  return { context, page, errors, warnings };
}

// The LCD canvas's backing store as RGBA bytes, and the balloons' texts
// taken at the same moment.
export async function lcdPixels(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('lcd');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    return {
      width: canvas.width,
      height: canvas.height,
      rgba: Array.from(data.data),
      k1: document.getElementById('balloon-k1').textContent,
      k2: document.getElementById('balloon-k2').textContent,
    };
  });
}

const pause = (page, ms) => page.waitForTimeout(ms);

async function press(page, key, holdMs) {
  await page.keyboard.down(key);
  await pause(page, holdMs);
  await page.keyboard.up(key);
}

// Plays the sim's commands on the page as a user would: a short click is a
// 60 ms press, a long one 450 ms; after each the firmware gets time to take
// the key and redraw (its mailbox holds one key).
export async function play(page, lines) {
  for (const line of lines) {
    const [command, argument] = line.trim().split(/\s+/);
    if (command === 'k1') await press(page, 'ArrowRight', 60);
    else if (command === 'k2') await press(page, 'ArrowLeft', 60);
    else if (command === 'k1-long') await press(page, 'ArrowRight', 450);
    else if (command === 'k2-long') await press(page, 'ArrowLeft', 450);
    else if (command === 'both') {
      await page.keyboard.down('ArrowRight');
      await page.keyboard.down('ArrowLeft');
      await pause(page, 60);
      await page.keyboard.up('ArrowLeft');
      await page.keyboard.up('ArrowRight');
    } else if (command === 'wait') await pause(page, Number(argument));
    else if (command === 'lang') {
      await page.selectOption('#language', argument);
      await page.evaluate(() => document.activeElement?.blur());
    } else throw new Error(`not a script command: ${line}`);
    await pause(page, 100);
  }
}

// The tool bar's and the presenter bar's texts that their boxes cut or let
// run out: each as "id: text". A label wider than its box shows cut
// ("Languag") or runs under the control beside it.
export function cutLabels(page) {
  return page.evaluate(() => [...document.querySelectorAll(
    '#toolbar label, #toolbar button:not(.tool), #toolbar .tool span, #presenter-bar button, #menu-button .label')]
    .filter((e) => e.getClientRects().length && e.textContent)
    .filter((e) => {
      const range = document.createRange();
      range.selectNodeContents(e);
      const text = range.getBoundingClientRect();
      const box = (e.matches('.tool span') ? e.parentElement : e).getBoundingClientRect();
      return (e.clientWidth > 0 && e.scrollWidth > e.clientWidth) || text.left < box.left - 0.5 || text.right > box.right + 0.5;
    })
    .map((e) => `${e.id || e.parentElement.id}: ${e.textContent}`));
}
