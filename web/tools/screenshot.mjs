// Makes the README's picture of the web edition: the page at 1280 x 800 in
// headless Chromium, the instrument in its spectrum view zoomed in on Y.
// usage: node web/tools/screenshot.mjs OUT.png   (after the web build)
import { launch, openPage, play, serve } from '../tests/browser.mjs';

const out = process.argv[2];
if (!out) {
  console.error('usage: node screenshot.mjs OUT.png');
  process.exit(2);
}
const { server, url } = await serve();
const { browser, close } = await launch();
try {
  const { page } = await openPage(browser, url);
  await play(page, ['k1-long', 'wait 1500', 'k2', 'k1', 'k2', 'wait 7000', 'both', 'both', 'k1', 'k1',
    'k2', 'k2', 'k2', 'k1', 'k1', 'k2', 'k1', 'k1']);
  await page.mouse.move(5, 5);
  await page.screenshot({ path: out });
} finally {
  await close();
  server.close();
}
