// Shared by the state tests: the page's stored state, and what a user does
// with it (hide the page, export, import a file).
import fs from 'node:fs';

export const POWER_ON = ['k1-long', 'wait 1500'];
// From the route screen's machine line at point 1: point 2 measured.
export const MEASURE_POINT_2 = ['k2', 'k1', 'k2', 'wait 7000'];
// From the point line after a measurement: the next point measured.
export const MEASURE_NEXT = ['k1', 'k2', 'wait 7000'];

export const stored = (page) => page.evaluate(() => localStorage.getItem('orx700-demo.state'));
export const undoKept = (page) => page.evaluate(() => localStorage.getItem('orx700-demo.state-before-import'));

// The status words of the route points in a state's text, by point number.
export function routeWords(text) {
  const section = text.match(/\[RoutePoints\]\n([^[]*)/)?.[1] ?? '';
  return Object.fromEntries([...section.matchAll(/^(\d+)=(-?\d+)$/gm)].map((m) => [Number(m[1]), Number(m[2])]));
}

// As switching to another tab does.
export async function hide(page) {
  await page.evaluate(() => {
    Object.defineProperty(document, 'visibilityState', { value: 'hidden', configurable: true });
    document.dispatchEvent(new Event('visibilitychange'));
    delete document.visibilityState;
  });
}

// Clicks Export and returns the downloaded file's text.
export async function exportState(page) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#export-state')]);
  return fs.readFileSync(await download.path(), 'utf8');
}

export async function importText(page, text, name = 'orx700-demo.ini') {
  await page.setInputFiles('#import-file', { name, mimeType: 'text/plain', buffer: Buffer.from(text, 'utf8') });
}

